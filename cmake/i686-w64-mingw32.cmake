# Cross build of the Windows DLL and its tests with mingw-w64 for i686 (posix
# thread model, which GoogleTest needs; everything is linked statically).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(MIREL_MINGW_PREFIX i686-w64-mingw32)
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
