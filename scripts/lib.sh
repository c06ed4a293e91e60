# Shared by scripts/run, scripts/test and scripts/package: install what is
# missing, configure, build.
# shellcheck shell=bash
set -euo pipefail

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_BUILD=${QV_BUILD:-$QV_ROOT/build}
QV_SANITIZE_BUILD=${QV_SANITIZE_BUILD:-$QV_ROOT/build-sanitize}
QV_THREAD_BUILD=${QV_THREAD_BUILD:-$QV_ROOT/build-tsan}

QV_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libswe-dev swe-standard-data
  libsleef-dev
  fonts-dejavu-core
  poppler-utils
  libgeonames-dev libgeonames-common libicu-dev tzdata libabsl-dev libxxhash-dev
  clang-format
  # the validators tests/package runs on the package's files
  desktop-file-utils appstream shared-mime-info
)

qv_install_missing() {
  local missing=()
  for p in "${QV_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Warnings are errors in the project's own test builds: scripts/test sets
# QV_WERROR=ON (and turns it on in a build folder configured without it). A
# user's build (scripts/run, scripts/package) never fails on a warning.
qv_configure() {  # build folder, then CMake options
  local dir=$1
  shift
  local werror=${QV_WERROR:-OFF}
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$QV_ROOT" -B "$dir" -G Ninja -DQUORVANE_WERROR="$werror" "$@"
  elif [ "$werror" = ON ] && ! grep -qx 'QUORVANE_WERROR:BOOL=ON' "$dir/CMakeCache.txt"; then
    cmake -S "$QV_ROOT" -B "$dir" -DQUORVANE_WERROR=ON >/dev/null
  fi
}

qv_build() {
  qv_configure "$QV_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$QV_BUILD" "$@"
}

# The core without the windows, built with AddressSanitizer and
# UndefinedBehaviorSanitizer for its tests.
qv_build_sanitized() {
  qv_configure "$QV_SANITIZE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVANE_GUI=OFF -DQUORVANE_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
    "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
  cmake --build "$QV_SANITIZE_BUILD" "$@"
}

# The same under ThreadSanitizer, for the batch's threaded pipeline: only
# the targets asked for are built.
qv_build_thread_sanitized() {
  qv_configure "$QV_THREAD_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVANE_GUI=OFF -DQUORVANE_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=-fsanitize=thread -fno-omit-frame-pointer" \
    "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread"
  cmake --build "$QV_THREAD_BUILD" --target "$@"
}
