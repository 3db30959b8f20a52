# 32-bit Windows (i686) with Debian's mingw-w64. float and double go through
# SSE2, so that only `extended` is computed by the x87 unit and every rounding
# point of the numerics is the one the source names.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NIMBREL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
string(APPEND CMAKE_C_FLAGS_INIT " -msse2 -mfpmath=sse")
string(APPEND CMAKE_CXX_FLAGS_INIT " -msse2 -mfpmath=sse")
