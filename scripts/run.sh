#!/usr/bin/env bash
# Installs what is missing, builds, prepares the working folder (default: run/ in the checkout)
# and starts the program there; under Xvfb when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$root/run}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
mkdir -p "$work/Templates"
cp "$root"/Templates/*.html "$work/Templates/" 2>/dev/null || true
[ -f "$work/kategorien.txt" ] || cp "$root/kategorien.txt" "$work/"
cp /usr/share/qt6/translations/qt_de.qm /usr/share/qt6/translations/qtbase_de.qm "$work/"
cd "$work"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "${VELARIX_BUILD_DIR:-$root/build}/velarix"
fi
exec "${VELARIX_BUILD_DIR:-$root/build}/velarix"
