# The 64-bit Windows binaries (build/win64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELLO_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
