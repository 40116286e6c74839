#!/usr/bin/env bash
# Installs what is needed, checks the formatting, then builds and runs every test twice: a debug build
# with GCC, AddressSanitizer and UndefinedBehaviorSanitizer, and an optimised build with Clang, whose
# compile commands then feed the clang-tidy check of the core. Last, the Debian package made from the
# Clang build is checked (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan -j "$(nproc)"

cmake --preset clang-release
cmake --build --preset clang-release
ctest --preset clang-release -j "$(nproc)"

scripts/check-tidy.sh build/clang-release

# The Debian package of the clang-release tree: lintian, install, plot, service, purge.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo scripts/check-package.sh build/clang-release
