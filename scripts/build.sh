# Sourced by the project's commands: configures and builds one architecture's
# build folder (build/x86 or build/x64) with its MinGW-w64 toolchain. Of the build's
# output only the installers' size and carried-files lines are shown, and the errors
# when it fails.
veltrane_build() {
  local arch=$1 top output status
  shift
  top=$(pwd)
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
  output=$(mktemp)
  cmake --build "build/$arch" -j "$(nproc)" "$@" -- --no-print-directory >"$output" 2>&1
  status=$?
  grep -E 'without resources|carries [0-9]+ file' "$output"
  if [ "$status" -ne 0 ]; then
    cmake --build "build/$arch" "$@" -- --no-print-directory 2>&1 | grep -E 'error|Error|budget' | head -40
  fi
  rm -f "$output"
  return "$status"
}
