# Cross build of the Windows binaries with MinGW-w64 (posix threads, for std::mutex), for the
# target that cmake/mingw32.cmake or cmake/mingw64.cmake names before including this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VELLO_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLO_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELLO_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELLO_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
