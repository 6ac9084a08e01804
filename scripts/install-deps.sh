#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its start under Xvfb need.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-translations-l10n
          libzint-dev poppler-utils fonts-dejavu-core xvfb xauth sqlite3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
