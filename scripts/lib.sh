# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# shellcheck shell=bash
set -euo pipefail

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_BUILD=${QV_BUILD:-$QV_ROOT/build}

QV_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libswe-dev swe-standard-data
  libsleef-dev
  fonts-dejavu-core
  poppler-utils
  libgeonames-dev libicu-dev tzdata libabsl-dev
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
