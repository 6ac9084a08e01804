#!/usr/bin/env bash
# Installs what is missing, builds, prepares the working folder (default: run/ in the checkout)
# and starts the program there; under Xvfb when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$root/run}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
mkdir -p "$work/Templates"
# Only missing templates: a shop's edited template stays as it is.
for template in "$root"/Templates/*.html; do
    target="$work/Templates/$(basename "$template")"
    [ -e "$target" ] || cp "$template" "$target"
done
[ -f "$work/kategorien.txt" ] || cp "$root/kategorien.txt" "$work/"
# qt_de.qm is a catalogue: it loads qtbase_de.qm and qtmultimedia_de.qm from its own folder.
for qm in qt_de qtbase_de qtmultimedia_de; do
    cp "/usr/share/qt6/translations/$qm.qm" "$work/"
done
cd "$work"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "${VELARIX_BUILD_DIR:-$root/build}/velarix"
fi
exec "${VELARIX_BUILD_DIR:-$root/build}/velarix"
