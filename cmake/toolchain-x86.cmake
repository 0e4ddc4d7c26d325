# 32-bit Windows build with MinGW-w64: the release build users get.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(VELTRANE_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
