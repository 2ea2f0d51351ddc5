# Cross build of the Windows DLLs (the product) and their tests for i686.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-cross.cmake)

# Every processor that runs a supported Windows has SSE2: the byte scans of
# find use it, and floating point uses its registers as in the x86_64 build
# (no x87 excess precision, so both trees round alike). With SSE the compiler
# also realigns the stack in the functions that keep 16-byte values there,
# since 32-bit Windows and its callers align it to 4 bytes only. The top-level
# CMakeLists.txt applies these to everything the tree compiles.
set(MIREL_TARGET_ARCH_OPTIONS -msse2 -mfpmath=sse)
