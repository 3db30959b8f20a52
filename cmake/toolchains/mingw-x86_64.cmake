# 64-bit Windows (x86_64) with Debian's mingw-w64 (SSE2 is the baseline there).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NIMBREL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
