#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh program.exe [arguments...]
#
# WINEPREFIX names the test run's own Wine prefix, made on first use (one
# maker at a time) with nothing installed in it. TEKKORA_WINE_DLLS, when
# set, lists folders (':' between them) where the program's DLLs are found,
# as a package would have them beside it; without it the program has only
# what lies beside it. QT_ variables reach the program. The exit status is
# the program's.
set -eu
: "${WINEPREFIX:?the Wine prefix of this test run}"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver64 || command -v wineserver || echo /usr/lib/wine/wineserver64)
# No Mono or Gecko to install, no menu entries made on the Linux desktop;
# quiet unless asked.
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX WINEDLLOVERRIDES WINEDEBUG

if [ ! -f "$WINEPREFIX/.made" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.made" ]; then
      "$wine" wineboot -i >/dev/null 2>&1
      "$wineserver" -w
      touch "$WINEPREFIX/.made"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

if [ -n "${TEKKORA_WINE_DLLS:-}" ]; then
  WINEPATH=$(printf '%s' "$TEKKORA_WINE_DLLS" | sed 's|:/|;Z:/|g; s|^/|Z:/|; s|/|\\|g')
  export WINEPATH
fi
# Wine keeps the QT_ variables of Linux away from Windows programs and hands
# on WINEQT_ ones under their QT_ names. Standard error is read and shown,
# as a console would show it: Qt is to log there (also Qt Test's results).
: "${QT_ASSUME_STDERR_HAS_CONSOLE:=1}"
export QT_ASSUME_STDERR_HAS_CONSOLE
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "export WINE$name=\"\$$name\""
done
exec "$wine" "$@"
