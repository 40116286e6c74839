#!/usr/bin/env bash
# Checks that the core stays free of the window: no core source or CMake file names Qt, app/, ui/ or
# tools/, and no object of a core library was compiled with a header from Qt or from those folders
# (read from the build's recorded header dependencies).
# Usage: CoreIsQtFree.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$1
build=$2
core=(platform geometry plotdata output ports jobs filters cli res/strings)
found=0

if grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Qt|Q[A-Z])' \
    --include='*.cpp' --include='*.h' "${core[@]/#/$src/}"; then
  echo "core sources above include a Qt header"
  found=1
fi
if grep -rnE 'Qt6?::|find_package\(Qt|\.\./(app|ui|tools)\b|\$\{[A-Z_]*SOURCE_DIR\}/(app|ui|tools)\b' \
    --include=CMakeLists.txt "${core[@]/#/$src/}"; then
  echo "core CMake files above depend on Qt or on app/, ui/, tools/"
  found=1
fi

deps=$(ninja -C "$build" -t deps 2>/dev/null) || { echo "cannot read the header dependencies of $build"; exit 1; }
pattern="^($(IFS='|'; echo "${core[*]}"))/"
offending=$(awk -v core="$pattern" '
  /^[^ ]/ { object = $1; sub(/:$/, "", object); inCore = (object ~ core); next }
  inCore && ($1 ~ /qt6|\/Qt[A-Za-z]*\// || $1 ~ /(^|\/)(app|ui|tools)\/.*\.h$/) { print object ": " $1 }
' <<<"$deps")
if [ -n "$offending" ]; then
  echo "$offending"
  echo "core objects above were compiled with Qt or window headers"
  found=1
fi
[ "$found" -eq 0 ] && echo "The core is free of Qt and of app/, ui/, tools/."
exit "$found"
