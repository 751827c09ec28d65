#!/usr/bin/env bash
# Reads and writes of a large user odbc.ini, ombral beside unixODBC's odbcinst,
# at 10 and at 1,000 data sources of 17 attributes each (1,000 make 326 KB):
#   list    ombral list              against odbcinst -q -s
#   add     ombral add of one more   (the file put back before each run)
#   exists  ombral exists
# Prints the medians and checks the targets: list at 1,000 no slower than
# odbcinst -q -s; add and exists at 1,000 within twice their time at 10.
#   bash bench/large-config.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
runs=${2:-40}
source bench/setup.sh
bench_setup "$build" hyperfine

config=$work/config
"$ombral" --config "$config" drivers >/dev/null  # makes the private configuration
export ODBCSYSINI=$config ODBCINI=$config/user/odbc.ini

data_sources() {  # COUNT: the user odbc.ini with COUNT data sources as ombral writes them
  for ((i = 0; i < $1; i++)); do
    printf '[Existing%d]\n' "$i"
    printf '%s = %s\n' Driver "Microsoft Paradox Driver (*.db )" DefaultDir /srv/paradox \
      Description "Benchmark tables" FIL "Paradox 5.X" ParadoxUserName admin ParadoxNetPath /srv/net PWD secret \
      ImplicitCommitSync Yes CollatingSequence ASCII ParadoxNetStyle 3.x PageTimeout 5 ReadOnly 0 Exclusive 0 \
      SafeTransactions 0 Threads 3 UserCommitSync No
    echo
  done
}

median_ms() {  # JSON NAME...: the medians of the commands, in order
  python3 -c 'import json, sys; print(*("%.2f" % (r["median"] * 1000) for r in json.load(open(sys.argv[1]))["results"]))' "$1"
}

declare -A ms
for count in 10 1000; do
  data_sources "$count" > "$work/existing.ini"
  cp "$work/existing.ini" "$ODBCINI"
  sleep 1  # an unchanged file, as it is between two edits
  hyperfine -N --style none --runs "$runs" --warmup 3 --export-json "$work/read.json" \
    "$ombral --config $config list" "odbcinst -q -s" "$ombral --config $config exists --name Existing5" >/dev/null
  read -r ms[list$count] ms[odbcinst$count] ms[exists$count] < <(median_ms "$work/read.json")
  hyperfine -N --style none --runs "$runs" --warmup 3 --export-json "$work/add.json" \
    --prepare "cp $work/existing.ini $ODBCINI" \
    "$ombral --config $config add --name Bench --dir /srv/paradox --description 'Benchmark tables'" >/dev/null
  ms[add$count]=$(median_ms "$work/add.json")
  [ "$("$ombral" --config "$config" list | wc -l)" -eq $((count + 1)) ] || { echo "list did not show every data source"; exit 1; }
done

verdict() { python3 -c 'import sys; print("met" if float(sys.argv[1]) <= float(sys.argv[2]) * float(sys.argv[3]) else "MISSED")' "$@"; }
printf '%-34s %10s %10s  %s\n' "median, ms" "10" "1000" "target at 1000"
printf '%-34s %10s %10s  %s\n' "odbcinst -q -s" "${ms[odbcinst10]}" "${ms[odbcinst1000]}" ""
printf '%-34s %10s %10s  %s\n' "ombral list" "${ms[list10]}" "${ms[list1000]}" \
  "<= odbcinst -q -s: $(verdict "${ms[list1000]}" 1 "${ms[odbcinst1000]}")"
printf '%-34s %10s %10s  %s\n' "ombral add" "${ms[add10]}" "${ms[add1000]}" \
  "<= 2 x at 10: $(verdict "${ms[add1000]}" 2 "${ms[add10]}")"
printf '%-34s %10s %10s  %s\n' "ombral exists" "${ms[exists10]}" "${ms[exists1000]}" \
  "<= 2 x at 10: $(verdict "${ms[exists1000]}" 2 "${ms[exists10]}")"
