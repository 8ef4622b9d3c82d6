# The 32-bit Windows binaries (build/win32).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELLO_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
