#!/usr/bin/env bash
# Renders the window offscreen into PNG files under build/<preset>/screenshots, in Chinese and in
# English, so that the window can be looked at without a display. Usage: scripts/screenshots.sh [preset]
# (default debug). Each screenshot set has a function here; add yours and call it at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-debug}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target marquill-screenshots
out=build/$preset/screenshots
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen TZ=UTC LANG=C.UTF-8
unset LC_ALL LC_MESSAGES

# One set in both languages.
shoot() {
  for language in 2052 1033; do
    "build/$preset/tests/marquill-screenshots" "$1" "$language" "$out"
  done
}

# The main window: both lists with a job in each state, one of them running, and the information view.
window_set() { shoot window; }

# The detail preview of three real drawings (curves, labels, several pens), fitted and zoomed in.
preview_set() { shoot preview; }

# Each settings dialog: output, port, path, reload paper and half cut.
dialogs_set() { shoot dialogs; }

# The File menu with Add, a row's context menu, the status bar with the roll, the preview enlarged.
comforts_set() { shoot comforts; }
# Qt's own file dialog and message-box buttons, which take Qt's catalogue of the language.
qt_set() { shoot qt; }
# A real drawing's plotting time in the information view and its copy's progress pane in the status bar.
progress_set() { shoot progress; }

window_set
preview_set
dialogs_set
comforts_set
qt_set
progress_set
