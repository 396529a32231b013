#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Orvela need,
# and the Japanese locale that gives Wine the ANSI code page 932.
# Does nothing when everything is already there.
set -euo pipefail

packages=(g++-mingw-w64-x86-64 wine wine64 xvfb cmake doctest-dev locales fonts-noto-cjk
          imagemagick xdotool clang libclang-rt-14-dev make fonts-wine fonts-ipafont-gothic
          nsis python3)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "install-deps: generating the ja_JP.UTF-8 locale"
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
