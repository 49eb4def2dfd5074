#!/usr/bin/env bash
# Installs, as root with apt-get, whatever of Tapsel's build, run and test needs is missing.
set -euo pipefail

packages=(
    # build
    build-essential cmake pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev
    libx11-dev libxtst-dev libx11-xcb-dev libxcb1-dev libxkbcommon-dev libcups2
    googletest libgtest-dev
    # run: printing and fonts
    cups cups-client cups-bsd cups-filters fonts-dejavu-core
    # test: a virtual desktop, an editor, keys, clipboard, PDF, pictures
    xvfb openbox trayer dbus-x11 x11-utils xdotool xclip mousepad xterm poppler-utils imagemagick
    # benchmark
    enscript paps ghostscript
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this script as root (or with sudo)." >&2
    exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
