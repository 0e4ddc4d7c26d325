# Sourced by the project's commands: configures and builds one architecture's
# build folder (build/x86 or build/x64) with its MinGW-w64 toolchain.
veltrane_build() {
  local arch=$1 top
  shift
  top=$(pwd)
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
  cmake --build "build/$arch" -j "$(nproc)" "$@" -- --no-print-directory >/dev/null 2>&1 || {
    cmake --build "build/$arch" "$@" -- --no-print-directory 2>&1 | grep -E 'error|Error' | head -40
    return 1
  }
}
