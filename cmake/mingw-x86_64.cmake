# Cross-compiles the same program for 64-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUIL_MINGW x86_64-w64-mingw32)
set(QUIL_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
