#!/usr/bin/env bash
# Checks the Debian package on this machine (root needed): builds it (from the tree given, default a
# tree of its own; a .deb given is taken as it is), runs lintian, installs it with apt-get, plots a file with marquill-plot as an
# ordinary user, starts marquill-server as the service does and plots a file dropped into its receive
# folder, then purges the package and checks that nothing of it is left.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh: run as root (it installs and purges the package)" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
# Another apt-get may be running on a shared machine.
apt=(apt-get -o DPkg::Lock::Timeout=600 -y -qq)

# A .deb given is checked as it is; otherwise the package is built (from the tree given).
if [[ "${1:-}" == *.deb ]]; then
  deb=$1
else
  deb=$(scripts/package.sh "$@" | tail -n 1)
fi
echo "== $deb"
dpkg-deb --info "$deb" | sed -n '/Depends:/p;/Recommends:/p'

echo "== lintian (warnings are explained in the README)"
lintian --fail-on error "$deb"

work=$(mktemp -d)
operator=marquill-check
server_pid=""
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  if dpkg-query -W -f='${Status}' marquill 2>/dev/null | grep -q 'ok installed\|config-files'; then
    "${apt[@]}" purge marquill >/dev/null || true
  fi
  getent passwd "$operator" >/dev/null && userdel -r "$operator" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== apt-get install"
"${apt[@]}" install "$(realpath "$deb")" >/dev/null
marquill --version
marquill-plot --version
marquill-server --version
for page in marquill marquill-plot marquill-server; do
  [ -f "/usr/share/man/man1/$page.1.gz" ] || { echo "no man page for $page" >&2; exit 1; }
done
desktop-file-validate /usr/share/applications/marquill.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.marquill.Marquill.metainfo.xml
id marquill | grep -q '(dialout)' && id marquill | grep -q '(lp)'

# A frame of 200 x 100 mm with a circle, in HP-GL plotter units of 0.025 mm.
printf 'IN;SP1;PU0,0;PD8000,0,8000,4000,0,4000,0,0;PU4000,2000;CI1200;PU;SP0;' > "$work/sample.plt"
chmod 0755 "$work"
chmod 0644 "$work/sample.plt"

echo "== marquill-plot as an ordinary user"
useradd --create-home --home-dir "$work/home" "$operator"
runuser -u "$operator" -- env -i HOME="$work/home" PATH=/usr/bin:/bin \
  marquill-plot --port "$work/home/sample.out" "$work/sample.plt"
data="$work/home/.local/share/marquill"
for file in Server.INI Plotter.INI Plotter_Eng.INI; do
  [ -f "$data/$file" ] || { echo "$file is missing from $data" >&2; exit 1; }
done
grep -q 'PD' "$work/home/sample.out"
[ ! -e /usr/lib/marquill/Server.INI ] || { echo "settings were written into the program folder" >&2; exit 1; }

echo "== marquill-server as the service runs it"
state=/var/lib/marquill
command=$(sed -n 's/^ExecStart=//p' /usr/lib/systemd/system/marquill-server.service)
if [ -d /run/systemd/system ]; then
  systemctl start marquill-server.service
else
  # What systemd gives the unit: its user with its groups and the state folder of StateDirectory=.
  # setpriv and env replace themselves by the server, so the signal below reaches it.
  setpriv --reuid=marquill --regid=marquill --init-groups env -i STATE_DIRECTORY="$state" PATH=/usr/bin:/bin $command > "$work/server.log" 2>&1 &
  server_pid=$!
fi
for _ in $(seq 50); do [ -d "$state/drive_c/Receive" ] && break; sleep 0.2; done
install -o marquill -g marquill -m 0644 "$work/sample.plt" "$state/drive_c/Receive/sample.plt"
for _ in $(seq 60); do [ -s "$state/Output/sample.out" ] && break; sleep 0.5; done
if [ -n "$server_pid" ]; then
  kill -TERM "$server_pid"
  wait "$server_pid" || { cat "$work/server.log"; exit 1; }
  server_pid=""
  cat "$work/server.log"
else
  systemctl stop marquill-server.service
fi
grep -q 'PD' "$state/Output/sample.out" || { echo "the dropped file was not plotted" >&2; exit 1; }

echo "== apt-get purge"
"${apt[@]}" purge marquill >/dev/null
left=$(ls -d /usr/lib/marquill /usr/bin/marquill* /usr/share/doc/marquill /usr/share/applications/marquill.desktop \
         /usr/share/metainfo/org.marquill.Marquill.metainfo.xml /usr/lib/systemd/system/marquill-server.service \
         /usr/share/icons/hicolor/*/apps/marquill.* /usr/share/man/man1/marquill* "$state" 2>/dev/null || true)
[ -z "$left" ] || { echo "left after purge: $left" >&2; exit 1; }
! getent passwd marquill >/dev/null || { echo "the user marquill is left after purge" >&2; exit 1; }
echo "== the package checks passed"
