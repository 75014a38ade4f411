#!/bin/sh
# Installs the desktop files alone into a scratch root and has appstreamcli
# check them together: the launchable desktop entry and the icons must be
# where the metadata and the desktop entry say.
# Usage: check-installed-tree.sh <build-dir> <scratch-dir> <app-id> [<desktop-id>...]
# Each further desktop id (a second program of the package) must come with
# its desktop entry and icons too.
set -eu
build=$1
root=$2
id=$3
shift 3
if ! command -v appstreamcli >/dev/null 2>&1; then
  echo "SKIP: appstreamcli is not installed"
  exit 77
fi
rm -rf "$root"
cmake --install "$build" --component desktop --prefix "$root/usr" >/dev/null
for f in \
  "usr/share/applications/$id.desktop" \
  "usr/share/metainfo/$id.metainfo.xml" \
  "usr/share/icons/hicolor/16x16/apps/$id.png" \
  "usr/share/icons/hicolor/32x32/apps/$id.png" \
  "usr/share/icons/hicolor/64x64/apps/$id.png" \
  "usr/share/icons/hicolor/256x256/apps/$id.png"; do
  if [ ! -f "$root/$f" ]; then
    echo "missing after install: $f"
    exit 1
  fi
done
# The menu finds the icon by the name in the desktop entry.
for desktop in "$id" "$@"; do
  if [ ! -f "$root/usr/share/applications/$desktop.desktop" ]; then
    echo "missing after install: usr/share/applications/$desktop.desktop"
    exit 1
  fi
  icon=$(sed -n 's/^Icon=//p' "$root/usr/share/applications/$desktop.desktop")
  for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
    if [ ! -f "$root/usr/share/icons/hicolor/$size/apps/$icon.png" ]; then
      echo "$desktop.desktop names icon '$icon', which is not installed at $size"
      exit 1
    fi
  done
done
appstreamcli validate-tree --no-net "$root"
