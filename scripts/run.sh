#!/usr/bin/env bash
# Installs what is needed, builds Marquill (release) and starts it on its shipped default settings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
echo "Marquill has no window yet; this starts the command-line tool marquill-plot."
exec build/release/bin/marquill-plot "$@"
