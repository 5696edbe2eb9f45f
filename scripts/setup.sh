#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds into build/.
# Usage: scripts/setup.sh [--fuzz] [BUILD_DIR [CMAKE_ARGS...]]; --fuzz adds clang and libFuzzer.
# MELOTRA_BUILD_TARGET names the one target to build (all of them when unset).
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz=0
if [ "${1:-}" = "--fuzz" ]; then
  fuzz=1
  shift
fi

packages=(cmake g++ make pkg-config qt6-base-dev qt6-translations-l10n libmpg123-dev libsdl2-dev libpulse-dev
          libx11-dev libgtest-dev libbenchmark-dev libmp3lame-dev
          fonts-liberation fonts-comic-neue fonts-dejavu-core)
[ "$fuzz" -eq 0 ] || packages+=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

build_dir=${1:-build}
shift || true
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build_dir" "${launcher[@]}" "$@" >/dev/null
target=()
[ -z "${MELOTRA_BUILD_TARGET:-}" ] || target=(--target "$MELOTRA_BUILD_TARGET")
cmake --build "$build_dir" -j"${MELOTRA_BUILD_JOBS:-$(nproc)}" "${target[@]}"
