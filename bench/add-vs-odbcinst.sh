#!/usr/bin/env bash
# Times `ombral --config DIR add` against unixODBC's own `odbcinst -i -s -f`
# adding the same data source with the same 17 attributes, at 10 and at 1,000
# data sources already in the user odbc.ini, and prints the medians and ratio.
#   bash bench/add-vs-odbcinst.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
runs=${2:-40}
source bench/setup.sh
bench_setup "$build" hyperfine

attributes() {  # the 17 pairs that ombral's add sends, in its order
  local name=$1 driver=$2
  printf '%s\n' "[$name]" "Driver = $driver" "DefaultDir = /srv/paradox" "Description = Benchmark tables" \
    "FIL = Paradox 5.X" "ParadoxUserName = admin" "ParadoxNetPath = /srv/net" "PWD = secret" \
    "ImplicitCommitSync = Yes" "CollatingSequence = ASCII" "ParadoxNetStyle = 3.x" "PageTimeout = 5" \
    "ReadOnly = 0" "Exclusive = 0" "SafeTransactions = 0" "Threads = 3" "UserCommitSync = No" ""
}

printf '%-8s %14s %14s %8s\n' existing "ombral ms" "odbcinst ms" ratio
for existing in 10 1000; do
  for tool in ombral odbcinst; do
    "$ombral" --config "$work/$tool" drivers >/dev/null  # makes the private configuration
  done
  driver=$(ODBCSYSINI=$work/ombral ODBCINI=$work/ombral/user/odbc.ini "$ombral" drivers | awk '/Paradox/{getline; sub(/^ *Driver=/,""); sub(/ .*/,""); print}')
  for ((i = 0; i < existing; i++)); do attributes "Existing$i" "$driver"; done > "$work/existing.ini"
  cp "$work/existing.ini" "$work/ombral/user/odbc.ini"
  cp "$work/existing.ini" "$work/odbcinst/user/odbc.ini"
  attributes Bench "$driver" > "$work/template.ini"

  env_i="ODBCSYSINI=$work/odbcinst ODBCINI=$work/odbcinst/user/odbc.ini"
  hyperfine -N --style none --runs "$runs" --warmup 3 --export-json "$work/result.json" \
    --prepare "cp $work/existing.ini $work/ombral/user/odbc.ini" \
    "$ombral --config $work/ombral add --name Bench --dir /srv/paradox --description 'Benchmark tables' --net-dir /srv/net --password secret --implicit-commit-sync Yes" \
    --prepare "cp $work/existing.ini $work/odbcinst/user/odbc.ini" \
    "env $env_i odbcinst -i -s -f $work/template.ini" >/dev/null
  for tool in ombral odbcinst; do  # both added the same data source
    ODBCSYSINI=$work/$tool ODBCINI=$work/$tool/user/odbc.ini odbcinst -q -s -n Bench | sort > "$work/$tool.seen"
  done
  cmp -s "$work/ombral.seen" "$work/odbcinst.seen" || { echo "the two tools wrote different data sources"; diff "$work/ombral.seen" "$work/odbcinst.seen"; exit 1; }
  python3 - "$work/result.json" "$existing" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ombral, odbcinst = (r["median"] * 1000 for r in results)
print(f"{sys.argv[2]:<8} {ombral:14.2f} {odbcinst:14.2f} {ombral / odbcinst:8.2f}")
PY
done
