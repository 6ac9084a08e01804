#!/usr/bin/env bash
# Builds, writes the ten-year shop database into a fresh working folder and prints the
# timings. Settings by environment: BENCH_SEED (1), BENCH_SCALE (1), BENCH_NOW (the current
# time, "yyyy-MM-dd hh:mm:ss"), BENCH_RUNS (10), BENCH_WARMUP (2). Arguments name the cases
# to run (default: all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELARIX_BUILD_DIR:-$root/build}
seed=${BENCH_SEED:-1}
scale=${BENCH_SCALE:-1}
now=${BENCH_NOW:-$(date '+%Y-%m-%d %H:%M:%S')}
runs=${BENCH_RUNS:-10}
warmup=${BENCH_WARMUP:-2}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null

work=$build/bench-work
rm -rf "$work"
mkdir -p "$work/Templates" "$work/print"
"$build/bench/velarix_benchgen" --seed "$seed" --scale "$scale" --now "$now" \
    --output "$work/db.sqlite"
if compgen -G "$root/Templates/*.html" >/dev/null; then
    cp "$root"/Templates/*.html "$work/Templates/"
fi
cp "$root/kategorien.txt" "$work/"
# qt_de.qm only names the catalogues it consists of; it loads only together with them.
for qm in qt_de qtbase_de qtmultimedia_de; do
    cp "/usr/share/qt6/translations/$qm.qm" "$work/"
done

cd "$work"
# Qt wants a private runtime folder; without one every start-up warns.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work/runtime}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
echo "database: seed $seed, scale $scale, now $now, $(du -h db.sqlite | cut -f1)"
QT_QPA_PLATFORM=offscreen "$build/bench/velarix_bench" --runs "$runs" --warmup "$warmup" "$@"
