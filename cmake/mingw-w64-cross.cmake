# Shared part of the mingw-w64 cross toolchains: the including file sets
# CMAKE_SYSTEM_PROCESSOR (i686 or x86_64). The posix thread model is the one
# GoogleTest needs; everything is linked statically.
set(CMAKE_SYSTEM_NAME Windows)

set(MIREL_MINGW_PREFIX ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${MIREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MIREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MIREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MIREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
