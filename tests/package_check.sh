#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks what it holds: the programs,
# the menu entry with its icon, the font with its licence, the help page, the declared
# dependencies, and that the menu's launcher opens the working folder ~/pharmacy.
set -euo pipefail
build="${1:?build folder}"
out=$(mktemp -d /tmp/phdebXXXXXX)
trap 'rm -rf "$out"' EXIT

if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log" >&2
  exit 1
fi
deb=$(ls "$out"/pharmacy_*.deb)
contents=$(dpkg-deb -c "$deb")
failed=0
for file in usr/bin/pharmacy usr/bin/pharmacyctl usr/bin/pharmacy-xls-reader usr/bin/pharmacy-desktop \
            usr/share/applications/pharmacy.desktop usr/share/icons/hicolor/scalable/apps/pharmacy.svg \
            usr/share/pharmacy/fonts/Vazirmatn-Regular.ttf usr/share/pharmacy/fonts/OFL.txt \
            usr/share/doc/pharmacy/help.html; do
  if ! grep -q " \./$file\$" <<<"$contents"; then
    echo "the package lacks /$file" >&2
    failed=1
  fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 libsqlite3-0 qt6-qpa-plugins libqt6sql6-sqlite; do
  if ! grep -q "$dependency" <<<"$depends"; then
    echo "the package does not depend on $dependency (Depends: $depends)" >&2
    failed=1
  fi
done

# The menu entry starts the launcher, which starts the program in ~/pharmacy.
dpkg-deb -x "$deb" "$out/root"
grep -qx 'Exec=pharmacy-desktop' "$out/root/usr/share/applications/pharmacy.desktop" || { echo "wrong Exec line" >&2; failed=1; }
grep -qx 'Icon=pharmacy' "$out/root/usr/share/applications/pharmacy.desktop" || { echo "wrong Icon line" >&2; failed=1; }
printf '#!/bin/sh\necho "$PWD $*"\n' >"$out/root/usr/bin/pharmacy"
started=$(HOME="$out/home" "$out/root/usr/bin/pharmacy-desktop")
if [ "$started" != "$out/home/pharmacy $out/home/pharmacy" ] || [ ! -d "$out/home/pharmacy" ]; then
  echo "the launcher started: $started" >&2
  failed=1
fi
exit $failed
