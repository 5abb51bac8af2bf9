#!/usr/bin/env bash
# Installs what the Windows cross-build, its packages and their tests under Wine need, and the
# Japanese locale that gives Wine code page 932; does nothing when all is there.
set -euo pipefail

packages=(
    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine
    xvfb openbox xdotool locales fonts-ipafont-gothic nsis imagemagick unzip
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
locale_missing=false
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || locale_missing=true

if [ ${#missing[@]} -eq 0 ] && ! $locale_missing; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing: ${missing[*]} $($locale_missing && echo 'the ja_JP.UTF-8 locale')" >&2
    echo "Run as root (or install them with apt-get and locale-gen) and try again." >&2
    exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if $locale_missing; then
    # Without it Wine's code page is 1252, whatever LANG says.
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen ja_JP.UTF-8 >/dev/null
fi
