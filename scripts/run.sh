#!/usr/bin/env bash
# Installs what is needed, builds Marquill (release) and starts it on the shipped default settings: the
# window `marquill` when a display is available. Without one it drops a small sample drawing into the
# automatic receive folder and lets marquill-server --once plot it into a file. With arguments it runs
# marquill-plot with them (for example:
# scripts/run.sh --port out.plt drawing.plt).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
tool=build/release/bin/marquill-plot
if [ "$#" -gt 0 ]; then
  exec "$tool" "$@"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting the window build/release/bin/marquill (settings in build/release/bin)."
  exec build/release/bin/marquill
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the window needs one."

# A frame of 200 x 100 mm with a circle and a label, in HP-GL plotter units of 0.025 mm.
bin=build/release/bin
sample=build/release/sample
mkdir -p "$sample"
printf 'IN;SP1;PU0,0;PD8000,0,8000,4000,0,4000,0,0;PU4000,2000;CI1200;PU600,600;SI0.6,0.9;LBMarquill\003;PU;SP0;' \
  > "$sample/sample.plt"

# Without a display: the unattended server plots what a design program drops into the automatic receive
# folder. The shipped settings name C:\Receive, which is the folder drive_c/Receive of the program folder,
# and the File port, whose passes the server writes into Output/ of the program folder.
receive="$bin/drive_c/Receive"
mkdir -p "$receive"
rm -f "$bin/Output/sample.out"
cp "$sample/sample.plt" "$receive/sample.plt"
echo "Dropped $sample/sample.plt into the automatic receive folder $receive;"
echo "marquill-server --once plots it with the shipped default device, the HP-GL pen plotter, once it has"
echo "stayed unchanged for 5 seconds (settings in $bin)."
build/release/bin/marquill-server --once
echo "Done: $(wc -c < "$bin/Output/sample.out") bytes of device commands in $bin/Output/sample.out:"
head -c 300 "$bin/Output/sample.out"
echo " ..."
