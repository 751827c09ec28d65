# Sourced by the benchmarks: bench_setup BUILD_DIR TOOLS... finds the built
# ombral (realpath, in $ombral), checks that each of TOOLS is on the path, and
# makes $work, a folder removed when the script ends.
bench_setup() {
  ombral=$(realpath "$1/bin/ombral")
  [ -x "$ombral" ] || { echo "build the native tree first (cmake --build --preset native)"; exit 1; }
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: bash scripts/install-deps"; exit 1; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}
