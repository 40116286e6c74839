#!/usr/bin/env bash
# Installs what is needed, builds Marquill (release) and runs the command-line tool marquill-plot on the
# shipped default settings. Without arguments it plots a small sample drawing into a file; with arguments
# it runs marquill-plot with them (for example: scripts/run.sh --port out.plt drawing.plt).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
tool=build/release/bin/marquill-plot
if [ "$#" -gt 0 ]; then
  exec "$tool" "$@"
fi

# A frame of 200 x 100 mm with a circle and a label, in HP-GL plotter units of 0.025 mm.
sample=build/release/sample
mkdir -p "$sample"
printf 'IN;SP1;PU0,0;PD8000,0,8000,4000,0,4000,0,0;PU4000,2000;CI1200;PU600,600;SI0.6,0.9;LBMarquill\003;PU;SP0;' \
  > "$sample/sample.plt"
echo "Marquill has no window yet: plotting $sample/sample.plt with marquill-plot into $sample/sample.out"
echo "(the shipped default device, the HP-GL pen plotter; settings in build/release/bin)."
"$tool" --port "$sample/sample.out" "$sample/sample.plt"
echo "Done: $(wc -c < "$sample/sample.out") bytes of device commands in $sample/sample.out:"
head -c 300 "$sample/sample.out"
echo " ..."
