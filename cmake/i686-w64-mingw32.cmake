# Cross build of the Windows DLLs (the product) and their tests for i686.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-cross.cmake)
