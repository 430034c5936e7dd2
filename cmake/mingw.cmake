# The part of the two MinGW-w64 toolchain files that does not depend on the
# target: Debian's -posix compilers (the win32-thread flavour lacks
# std::mutex, which GoogleTest uses) and Wine as the emulator that runs the
# tests. The including file sets QUIL_MINGW (the target triplet) and
# QUIL_WINE (the Wine loader that runs programs of that architecture).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUIL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUIL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUIL_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUIL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and test discovery run the built programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${QUIL_WINE})
