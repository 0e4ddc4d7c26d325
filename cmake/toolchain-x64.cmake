# 64-bit Windows build with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(VELTRANE_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
