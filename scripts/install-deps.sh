#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run and test.
# Does nothing (and needs no network) when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-l10n-tools
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libqt6svg6 qt6-translations-l10n
  libzint-dev
  libicu-dev libsodium-dev libsqlite3-dev libfreexl-dev libminizip-dev libxlsxwriter-dev libpq-dev sqlite3
  tdsodbc unixodbc-dev
  postgresql postgresql-client
  dpkg-dev file
  poppler-utils zbar-tools dmtx-utils
  xvfb xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
