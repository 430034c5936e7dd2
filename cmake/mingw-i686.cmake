# Cross-compiles the program for 32-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUIL_MINGW i686-w64-mingw32)
set(QUIL_WINE /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
