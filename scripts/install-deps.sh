#!/usr/bin/env bash
# Installs the Debian 12 packages Tekkora! needs to build, test and run,
# skipping what is already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libcanberra-dev
  # the types of the GIO calls the desktop sound settings are read with
  libglib2.0-dev
  # the keyboard layout in use: X11's and the Wayland compositor's keymaps, and
  # the toolkit's handle on the Wayland display
  libxkbcommon-x11-dev libwayland-dev qt6-base-private-dev
  # the score window's charts (Qt Charts' CMake package needs Qt OpenGL's);
  # where the drill's window stands on X11
  qt6-charts-dev libqt6opengl6-dev libxcb1-dev
  # at run time: fonts the windows are drawn with; the beep's sound theme and
  # its way to the sound server; Qt's Wayland platform; Qt's own texts in
  # Japanese for the score window's dialogs
  fonts-ipafont-gothic fonts-comic-neue sound-theme-freedesktop libcanberra-pulse qt6-wayland qt6-translations-l10n
  # tests: a display and a window manager for end-to-end checks, sanitizers and fuzzers
  xvfb xauth xdotool x11-utils openbox qt6-gtk-platformtheme clang libclang-rt-14-dev
  # keyboard layouts compiled from their names, as the X11 and Wayland plug-ins compile them
  libxkbcommon-dev xkb-data
  # tests: a Wayland compositor, its key injector and its screenshots; a
  # sound server, its tools and its client library (recording its sink);
  # GNOME's sound settings
  sway wtype grim pulseaudio pulseaudio-utils libpulse-dev gsettings-desktop-schemas
  # tests: a screen reader and the accessibility bus it speaks over, and its
  # Python client to read the windows' accessible trees
  orca at-spi2-core python3-pyatspi dbus-bin
  # benchmarks and their X11 probes
  libbenchmark-dev libx11-dev libxtst-dev libxdamage-dev libxext-dev dbus-daemon
  # packaging checks: Windows version record, desktop entry, AppStream, .deb
  binutils-mingw-w64-x86-64 cpp python3 desktop-file-utils appstream dpkg-dev file
  # the Windows build: the cross compiler, Wine to run its programs and
  # tests, NSIS for the installer
  g++-mingw-w64-x86-64-posix wine64 nsis
  # the web build: the compiler, the font cutter for the faces the page
  # brings, node to run its tests, and a browser with npm for the
  # end-to-end test's puppeteer-core
  emscripten fonttools chromium nodejs npm
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" && continue
  # A node from elsewhere (NodeSource's package) brings its own npm.
  [ "$p" = npm ] && command -v npm >/dev/null && continue
  missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
