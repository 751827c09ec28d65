#!/usr/bin/env bash
# ombral design opening a form file, changing one creator and saving it: a
# form of 1,000 components (a data module of the application's own class
# with 900 other vendors' components and 100 creators, CRLF, as the host
# writes it) beside one that holds a single creator; and ombral run --dry-run
# over both. Prints the medians.
#   bash bench/form-files.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
runs=${2:-20}
source bench/setup.sh
bench_setup "$build" hyperfine
"$ombral" --config "$work/config" drivers >/dev/null  # makes the private configuration

creator() {  # NAME
  printf '  object %s: TOmbralCreator\n    Action = ADD_DSN\n    DSNNameOrAlias = '\''%s'\''\n' "$1" "$1"
  printf '    DatabaseDir = '\''C:\\Data\\%s'\''\n    Left = 40\n    Top = 88\n  end\n' "$1"
}
{
  printf 'object BigModule: TBigModule\n  OldCreateOrder = False\n  Height = 600\n  Width = 800\n'
  for ((i = 0; i < 900; i++)); do
    printf '  object Query%d: TQuery\n    DatabaseName = '\''Shop'\''\n    SQL.Strings = (\n' "$i"
    printf '      '\''SELECT * FROM Orders'\''\n      '\''WHERE CustNo = %d'\'')\n    Left = %d\n    Top = %d\n  end\n' \
      "$i" $((i % 40 * 16)) $((i / 40 * 16))
  done
  for ((i = 1; i <= 100; i++)); do creator "OmbralCreator$i"; done
  printf 'end\n'
} | sed 's/$/\r/' >"$work/big.dfm"
{ printf 'object SmallModule: TSmallModule\n'; creator OmbralCreator1; printf 'end\n'; } | sed 's/$/\r/' >"$work/small.dfm"
printf 'select OmbralCreator1\nset optThreads 4\nsave\n' >"$work/commands"
[ "$("$ombral" design "$work/big.dfm" <"$work/commands")" = "saved $work/big.dfm" ] || { echo "design failed"; exit 1; }

# The inspector reads its commands from standard input: hyperfine runs it
# through the shell, whose own start it measures and takes off.
hyperfine --style none --runs "$runs" --warmup 3 --export-json "$work/times.json" \
  --command-name "design, 1 creator" "$ombral design $work/small.dfm <$work/commands" \
  --command-name "design, 1,000 components" "$ombral design $work/big.dfm <$work/commands" \
  --command-name "run --dry-run, 1 creator" "$ombral --config $work/config run $work/small.dfm --dry-run" \
  --command-name "run --dry-run, 100 creators of 1,000" "$ombral --config $work/config run $work/big.dfm --dry-run" \
  >/dev/null
python3 - "$work/times.json" "$(wc -c <"$work/big.dfm")" <<'PY'
import json, sys
print("form of 1,000 components: %s bytes" % sys.argv[2])
for r in json.load(open(sys.argv[1]))["results"]:
    print("%-40s median %7.2f ms  (min %.2f, max %.2f)" % (r["command"], r["median"] * 1000, r["min"] * 1000, r["max"] * 1000))
PY
