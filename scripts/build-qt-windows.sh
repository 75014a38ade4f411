#!/usr/bin/env bash
# Rebuilds Qt for Windows (MinGW-w64, x86_64) the way ../shared/toolchains/
# holds it ready made, so that nobody depends on a file they cannot make:
# Qt Base from Debian's own source package qt6-base, with two small patches
# to the Windows platform plug-in, then Qt Charts. About an hour on two cores.
#
#   scripts/build-qt-windows.sh <where> [<Qt Charts source folder>]
#
# <where>/qt-win/ receives Qt, relocatable (its qt-cmake chain-loads the
# MinGW toolchain file beside it); <where>/work/ holds the sources and the
# builds. Point the test command at it with TEKKORA_QT_WIN=<where>/qt-win.
#
# Qt Charts' source cannot be fetched from here: Debian's qt6-charts source
# is not served by the package mirror this machine reaches. It is the v6.4.2
# tag of Qt's qtcharts repository (https://code.qt.io/qt/qtcharts.git, also
# https://github.com/qt/qtcharts), or qtcharts-everywhere-src-6.4.2.tar.xz
# from https://download.qt.io/archive/qt/6.4/6.4.2/submodules/. Give its
# unpacked folder as the second argument; without it only Qt Base is built,
# and the score window cannot be.
#
# Needs g++-mingw-w64-x86-64-posix, qt6-base-dev and qt6-base-dev-tools 6.4.2
# (moc, rcc, uic for the build machine), cmake, ninja-build and dpkg-dev.
set -euo pipefail
where=$(realpath -m "${1:?usage: $0 <where> [<Qt Charts source folder>]}")
charts=${2:+$(realpath "$2")}
work=$where/work
prefix=$where/qt-win
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$prefix"

# Debian's source for this very suite, through an apt configuration of our
# own: the machine's list of sources stays as it is.
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src http://deb.debian.org/debian $suite main" >"$work/apt/sources.list"
apt=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
     -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache")
apt-get "${apt[@]}" update
(cd "$work" && apt-get "${apt[@]}" source --download-only qt6-base=6.4.2+dfsg-10)
rm -rf "$work/qtbase-everywhere-src-6.4.2"
tar -xJf "$work/qt6-base_6.4.2+dfsg.orig.tar.xz" -C "$work"

cat >"$prefix/mingw-w64.cmake" <<'EOT'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOT

# patch <file> <sed expression>: fails when the expression changes nothing,
# so a different source does not slip through unpatched.
patch() {
  local before
  before=$(md5sum <"$1")
  sed -i "$2" "$1"
  [ "$(md5sum <"$1")" != "$before" ] || { echo "patch did not apply: $1: $2" >&2; exit 1; }
}
windows=$work/qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows
# Debian's source leaves out the Wintab tablet header (src/3rdparty/wintab):
# no pen-tablet support.
for file in qwindowscontext.cpp qwindowspointerhandler.cpp qwindowspointerhandler.h; do
  patch "$windows/$file" 's/QT_CONFIG(tabletevent)/0/'
done
patch "$windows/CMakeLists.txt" 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/'
patch "$windows/../direct2d/CMakeLists.txt" 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/'
# With OpenGL off, 6.4.2 still takes its dynamic-OpenGL branch here.
patch "$windows/qwindowswindow.cpp" 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/'

cmake -S "$work/qtbase-everywhere-src-6.4.2" -B "$work/build-base" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_doubleconversion=OFF
cmake --build "$work/build-base"
cmake --install "$work/build-base" --strip

# Relocatable: the toolchain file is found beside the installed Qt, not
# where it was when Qt was configured.
sed -i 's|^set(__qt_initially_configured_toolchain_file ".*")$|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64.cmake")|' \
  "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"

if [ -n "$charts" ]; then
  "$prefix/bin/qt-cmake" -S "$charts" -B "$work/build-charts" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  cmake --build "$work/build-charts"
  cmake --install "$work/build-charts" --strip
else
  echo "Qt Charts not built: give the folder of its v6.4.2 source as the second argument" >&2
fi
echo "Qt for Windows is in $prefix"
