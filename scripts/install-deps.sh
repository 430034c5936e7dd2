#!/usr/bin/env bash
# Installs what building, running and testing Quillora needs on Debian 12,
# and only what is missing. Safe to run again.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ googletest
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # the release zip and its test
  unzip
  # fuzz targets: libFuzzer and the sanitizer run-times come with libclang-rt
  clang-14 libclang-rt-14-dev
  # Wine for both builds. 64-bit Wine runs on every machine; the 32-bit one
  # only where the kernel runs 32-bit programs (scripts/session.sh tells).
  # Without libxxf86vm1 every gamma call fails, without libxrandr2
  # ChangeDisplaySettings cannot switch modes.
  wine wine64 libxxf86vm1 libxrandr2
  wine32:i386 libxxf86vm1:i386 libxrandr2:i386
  # where the kernel runs no 32-bit programs, the 32-bit loader runs under
  # user-mode emulation, registered in a private namespace only
  qemu-user-static
  # an X server whose VidMode extension takes gamma ramps (Xvfb's does not)
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils xdotool imagemagick
  # Japanese texts
  locales fonts-ipafont-gothic
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  [ "$(id -u)" = 0 ] || { echo "install-deps: missing ${missing[*]}; run as root" >&2; exit 1; }
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -ix 'ja_JP.utf8' >/dev/null; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
