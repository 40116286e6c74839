#!/usr/bin/env bash
# Fails when a C++ file of the repository does not follow .clang-format; `clang-format -i FILE` mends it.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "Formatting: every C++ file follows .clang-format."
