#!/usr/bin/env bash
# Installs what building and testing Tapwren needs, and only what is missing. Arguments: further
# packages a command needs besides (the benchmark's plotting library).
set -euo pipefail

# Both Windows builds' compilers and Wines: where 32-bit programs cannot run, the x86-64 build is the one
# tested, and the x86 one is still compiled.
packages=(g++ make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth cmake googletest
          clang-format fonts-wqy-microhei imagemagick x11-utils zip unzip python3 procps strace "$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
