#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its start under Xvfb need.
# fonts-liberation2 is metric-compatible with Arial, the font the templates ask for, so the
# documents lay out alike on every machine. Jobs go to the print system through libcups.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-translations-l10n
          libzint-dev libcups2-dev poppler-utils fonts-dejavu-core fonts-liberation2 xvfb xauth
          sqlite3 libsqlite3-dev)
# The tests print through a private CUPS daemon with PDF queues; without recommends, so that
# no printer discovery (avahi, cups-browsed) comes along.
print_packages=(cups-daemon cups-client cups-bsd printer-driver-cups-pdf)
missing() {
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}
mapfile -t missing_packages < <(missing "${packages[@]}")
mapfile -t missing_print < <(missing "${print_packages[@]}")
if [ ${#missing_packages[@]} -gt 0 ] || [ ${#missing_print[@]} -gt 0 ]; then
    # sudo drops the caller's environment: hand the non-interactive front end through env.
    SUDO=()
    [ "$(id -u)" -ne 0 ] && SUDO=(sudo)
    apt=("${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
    "${apt[@]}" update
    [ ${#missing_packages[@]} -eq 0 ] || "${apt[@]}" install -y "${missing_packages[@]}"
    [ ${#missing_print[@]} -eq 0 ] || "${apt[@]}" install -y --no-install-recommends "${missing_print[@]}"
fi
