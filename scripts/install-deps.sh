#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(g++ cmake python3 g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 libz-mingw-w64-dev
          g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 fonts-wine xvfb xauth googletest libgtest-dev libbenchmark-dev
          clang libclang-rt-14-dev
          zlib1g-dev imagemagick netpbm python3-pil pngcheck unrtf
          ghostscript poppler-utils libxml2-utils librsvg2-bin chromium-headless-shell hp2xx python3-ezdxf
          python3-matplotlib
          libwmf-bin emf2svg libreoffice-impress
          cups cups-bsd printer-driver-cups-pdf libcups2:i386)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" dpkg --add-architecture i386
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
