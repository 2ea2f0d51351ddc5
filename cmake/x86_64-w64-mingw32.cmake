# Cross build of the Windows DLLs and tests for x86_64: the tests run under
# 64-bit Wine on machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-cross.cmake)
