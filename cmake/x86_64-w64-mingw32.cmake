# Cross build of the Windows DLLs and tests for x86_64: the tests run under
# 64-bit Wine on machines that cannot run 32-bit programs (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MIREL_MINGW_PREFIX x86_64-w64-mingw32)
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
