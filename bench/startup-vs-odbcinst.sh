#!/usr/bin/env bash
# The everyday commands beside unixODBC's odbcinst, over the same files with
# 10 data sources, in one run: instructions (callgrind, repeatable) and time
# (hyperfine medians), and the ratio of each pair; then the libraries the
# tool loads, which must hold no X, cairo, pixman, FreeType or fontconfig.
#   ombral list                against odbcinst -q -s
#   ombral exists --name N     against odbcinst -q -s -n N
#   ombral --help              against odbcinst --version
# Targets: list and exists take no more instructions and no more time than
# their odbcinst counterparts.
#   bash bench/startup-vs-odbcinst.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
runs=${2:-100}
source bench/setup.sh
bench_setup "$build" hyperfine valgrind odbcinst
"$ombral" --config "$work/config" drivers >/dev/null  # makes the private configuration
for i in $(seq 10); do "$ombral" --config "$work/config" add --name "Source$i" --description "Bench $i" >/dev/null; done
# Both tools find the files by unixODBC's variables.
export ODBCSYSINI=$work/config ODBCINI=$work/config/user/odbc.ini
sleep 1  # an unchanged file, as it is between two edits

pairs=("$ombral list|odbcinst -q -s" "$ombral exists --name Source5|odbcinst -q -s -n Source5"
       "$ombral --help|odbcinst --version")
instructions() { valgrind --tool=callgrind --callgrind-out-file=/dev/null $1 2>&1 >/dev/null | awk '/Collected/ {print $4}'; }
median_ms() { python3 -c 'import json, sys; print(*("%.2f" % (r["median"] * 1000) for r in json.load(open(sys.argv[1]))["results"]))' "$1"; }
ratio() { python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$1" "$2"; }

printf '%-28s %12s %12s %6s %9s %9s %6s\n' "" "ombral Ir" "odbcinst Ir" ratio "ombral ms" "odbc ms" ratio
for pair in "${pairs[@]}"; do
  ours=${pair%%|*} theirs=${pair#*|}
  ir_ours=$(instructions "$ours") ir_theirs=$(instructions "$theirs")
  hyperfine -N --style none --runs "$runs" --warmup 5 --export-json "$work/t.json" "$ours" "$theirs" >/dev/null 2>&1 ||
    hyperfine -N --style none --runs "$runs" --warmup 5 -i --export-json "$work/t.json" "$ours" "$theirs" >/dev/null
  read -r ms_ours ms_theirs < <(median_ms "$work/t.json")
  printf '%-28s %12s %12s %6s %9s %9s %6s\n' "${ours#"$ombral" }" "$ir_ours" "$ir_theirs" \
    "$(ratio "$ir_ours" "$ir_theirs")" "$ms_ours" "$ms_theirs" "$(ratio "$ms_ours" "$ms_theirs")"
done
echo
echo "ldd $ombral:"
ldd "$ombral" | awk '{print "  " $1}'
if ldd "$ombral" | grep -Eiq 'libX|xcb|cairo|pixman|freetype|fontconfig'; then
  echo "the tool loads picture or font libraries"
  exit 1
fi
