#!/usr/bin/env bash
# Installs the Debian 12 packages Marquill needs to build, run, test and package, and the German locale the
# settings tests write floats under.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config clang clang-format clang-tidy clazy locales
          libgtest-dev libgmock-dev libbenchmark-dev libserialport-dev libsqlite3-dev nettle-dev
          qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-qpa-plugins libgl-dev
          fonts-wqy-microhei hp2xx qt6-translations-l10n
          help2man librsvg2-bin lintian desktop-file-utils appstream
          libpappl-dev cups-ipp-utils cups-daemon cups cups-client chromium)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf8'; then
  grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null \
    && $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen \
    || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
