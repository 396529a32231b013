#!/usr/bin/env bash
# build.sh win|native|all|app|installer: installs what is missing, configures and builds into
# $BUILD (app: only the program and the demo's sample programs; installer: the program and
# $BUILD/Orvela-setup.exe; all: everything, the installer included).
set -euo pipefail
unset MAKEFLAGS MFLAGS MAKELEVEL
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$repo/build}
what=${1:-all}
bash "$repo/scripts/install-deps.sh"
jobs=$(nproc)

# Build output without the progress lines: warnings and errors stand out.
quiet() {
  set +e
  "$@" 2>&1 | grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler|^Scanning dependencies'
  local rc=${PIPESTATUS[0]}
  set -e
  return "$rc"
}

if [ "$what" = native ] || [ "$what" = all ]; then
  quiet cmake -S "$repo" -B "$build/native" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  quiet cmake --build "$build/native" -j"$jobs"
fi
if [ "$what" = win ] || [ "$what" = all ] || [ "$what" = app ] || [ "$what" = installer ]; then
  native_arg=()
  [ "$what" = all ] && native_arg=(-DORVELA_NATIVE_BUILD="$build/native")
  quiet cmake -S "$repo" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELA_WINE_DIR="$build/wine/test" "${native_arg[@]}" >/dev/null
  targets=()
  [ "$what" = app ] && targets=(--target Orvela seed-demo)
  [ "$what" = installer ] && targets=(--target Orvela)
  quiet cmake --build "$build/win" -j"$jobs" "${targets[@]}"
fi
if [ "$what" = installer ] || [ "$what" = all ]; then
  BUILD="$build" bash "$repo/scripts/make-installer.sh"
fi
