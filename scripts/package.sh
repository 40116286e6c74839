#!/usr/bin/env bash
# Builds the Debian package build/package/marquill_<version>_amd64.deb with CPack. Without an argument
# it configures and builds the release tree build/package-tree (tests and benchmarks left out); with a
# built tree as argument (CI gives build/clang-release) it adds the package's man pages and icons to that
# tree and packages it. Dependencies come from dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$#" -gt 0 ]; then
  tree=$1
  cmake -S . -B "$tree" -DMARQUILL_PACKAGE=ON >/dev/null
else
  tree=build/package-tree
  cmake --preset package >/dev/null
fi
cmake --build "$tree"

out="$PWD/build/package"
rm -rf "$out"
mkdir -p "$out"
(cd "$tree" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/marquill_*_amd64.deb
