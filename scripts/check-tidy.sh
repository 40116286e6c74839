#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the sources of the core and the command-line tools
# (the window's Qt code is left to the compilers' warnings), with the compile commands of a configured
# build folder. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/clang-release}
[ -f "$build/compile_commands.json" ] || { echo "no compile commands in $build" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
git ls-files -z -- {platform,geometry,plotdata,output,ports,jobs,filters,cli,res/strings}/'*.cpp' \
  | xargs -0 -n 8 -P "$(nproc)" clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
grep -v '^[0-9]* warnings\? generated\.$' "$log" || true
[ "$status" -eq 0 ] && echo "clang-tidy: no findings."
exit "$status"
