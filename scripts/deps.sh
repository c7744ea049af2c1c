#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

packages=(
  build-essential cmake g++ clang libclang-rt-14-dev libfuzzer-14-dev
  googletest libgtest-dev libwxgtk3.2-dev pkg-config
  zlib1g-dev libisal-dev libdeflate-dev libbz2-dev liblzma-dev libzstd-dev
  zip unzip p7zip-full libarchive-tools zstd python3 default-jdk-headless
  xvfb xauth imagemagick
  scdoc man-db dpkg-dev fakeroot lintian desktop-file-utils appstream bash-completion
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
