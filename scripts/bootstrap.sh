#!/usr/bin/env bash
# Installs the Debian 12 packages Morvane needs to build, run and test, if any is missing.
# Idempotent: does nothing (and needs no network) when everything is already there.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  # user interface
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-l10n-tools libgl-dev
  fonts-inter fonts-dejavu-core
  # audio: decoding, encoding, CD, devices, transforms
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libcdio-dev libcdio-paranoia-dev libcdio-cdda-dev
  libsdl2-dev libfftw3-dev libebur128-dev
  # settings and patterns
  libxml2-dev libboost-regex-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg sox dbus python3 python3-dbusmock python3-dbus python3-gi desktop-file-utils
  # the phone tests: a real KDE Connect daemon on a private bus
  kdeconnect
  # the Debian package: icons drawn from the SVG, the package made and checked, the manual
  # pages rendered, the shell completion run
  librsvg2-bin dpkg-dev lintian appstream man-db groff-base bash-completion zsh
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: all packages present"
  exit 0
fi

echo "bootstrap: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
