# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# shellcheck shell=bash
set -euo pipefail

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_BUILD=${QV_BUILD:-$QV_ROOT/build}
QV_SANITIZE_BUILD=${QV_SANITIZE_BUILD:-$QV_ROOT/build-sanitize}

QV_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
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

qv_build() {
  if [ ! -f "$QV_BUILD/build.ninja" ]; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build "$QV_BUILD" "$@"
}

# The core without the windows, built with AddressSanitizer and
# UndefinedBehaviorSanitizer for its tests.
qv_build_sanitized() {
  if [ ! -f "$QV_SANITIZE_BUILD/build.ninja" ]; then
    cmake -S "$QV_ROOT" -B "$QV_SANITIZE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUORVANE_GUI=OFF -DQUORVANE_BENCH=OFF \
      "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
      "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
  fi
  cmake --build "$QV_SANITIZE_BUILD" "$@"
}
