#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its start under Xvfb need.
# fonts-liberation2 is metric-compatible with Arial, the font the templates ask for, so the
# documents lay out alike on every machine.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-translations-l10n
          libzint-dev poppler-utils fonts-dejavu-core fonts-liberation2 xvfb xauth sqlite3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    # sudo drops the caller's environment: hand the non-interactive front end through env.
    SUDO=()
    [ "$(id -u)" -ne 0 ] && SUDO=(sudo)
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
