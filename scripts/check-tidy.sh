#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source of the program: the core, the
# command-line tools, the network printer (net/), the window (app/, ui/) and the folder picker (tools/),
# with the compile commands of a configured build folder. Then clazy, the Qt checks, over the window's
# sources. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/clang-release}
[ -f "$build/compile_commands.json" ] || { echo "no compile commands in $build" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
git ls-files -z -- {platform,geometry,plotdata,output,ports,jobs,filters,cli,net,res/strings,app,ui,tools}/'*.cpp' \
  | xargs -0 -n 8 -P "$(nproc)" clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
grep -v '^[0-9]* warnings\? generated\.$' "$log" || true
[ "$status" -eq 0 ] && echo "clang-tidy: no findings."

# clazy's checks of levels 0 and 1: signals, connections, implicit sharing and the other Qt pitfalls.
clazyStatus=0
git ls-files -z -- {app,ui,tools}/'*.cpp' \
  | xargs -0 -n 8 -P "$(nproc)" clazy-standalone -p "$build" --checks=level0,level1 \
      --header-filter='/(app|ui|tools)/' >"$log" 2>&1 || clazyStatus=$?
grep -E 'warning:|error:' "$log" && clazyStatus=1
[ "$clazyStatus" -eq 0 ] && echo "clazy: no findings."
[ "$status" -eq 0 ] && [ "$clazyStatus" -eq 0 ]
