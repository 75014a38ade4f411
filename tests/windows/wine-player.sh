#!/bin/sh
# The Windows programs as a player gets them, under Wine on a private X
# server:  wine-player.sh <zip> <installer> <example score log>
#
# The zip is unpacked and started in a Wine prefix of this test's own, made
# fresh, with nothing else installed: no DLL may be missing, none may come
# from outside the folder, and each one in it must be loaded. In the drill, the options
# are chosen by their shortcuts and a run of ten digits is played with real
# key events (XTest). Score.txt then holds the header byte for byte and a
# record that tekkora-score.exe, started beside the drill, counts (it counts
# only lines exactly as the drill writes them); the windows are closed as a
# player closes them, and tekora.ini holds the options. Last, the installer
# installs for this user only, with Start-menu entries, and its uninstaller
# leaves the player's files; both speak Japanese, their windows titled
# without a trailing blank.
#
# WINEPREFIX names that prefix (a previous one of wine-run.sh's is made
# anew). Exits 77 (skipped) without Xvfb or xdotool.
set -eu
zip=$(realpath "$1") installer=$(realpath "$2") example=$(realpath "$3")
run="$(cd "$(dirname "$0")" && pwd)/wine-run.sh"
for tool in Xvfb xdotool cmake; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xserver= started=
cleanup() {
  for pid in $started; do kill "$pid" 2>/dev/null || true; done
  [ -z "$xserver" ] || kill "$xserver" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# wait_for <seconds> <command...>: polls until the command succeeds.
wait_for() {
  tries=$(($1 * 10)); shift
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1)); [ $tries -gt 0 ] || return 1; sleep 0.1
  done
}
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window "$1")" ]; }
gone() { ! kill -0 "$1" 2>/dev/null; }

# Made anew, and by itself: the other tests' Wine processes, which have no
# display, must not have started its desktop first.
if [ -e "$WINEPREFIX" ]; then
  [ -f "$WINEPREFIX/.made" ] || fail "$WINEPREFIX is not a test prefix"
  WINEPREFIX=$WINEPREFIX "$(command -v wineserver64 || command -v wineserver || echo /usr/lib/wine/wineserver64)" -k || true
  rm -rf "$WINEPREFIX"
fi

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xserver=$!
wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

cd "$work" && cmake -E tar xf "$zip" && cd Tekkora-*-windows-x64 || fail "cannot unpack $zip"
app=$PWD
unset TEKKORA_WINE_DLLS

# The drill: digits (Ctrl+N), 10 questions (F5), lower case (Ctrl+K); Space
# starts the run, the digit keys round and round answer it.
WINEDEBUG=+loaddll "$run" ./tekkora.exe 2>"$work/drill.log" &
drill=$!; started="$started $drill"
# A fresh prefix first builds Wine's font cache: that can take a while.
wait_for 180 has_window 'Tekkora!' || fail "the drill's window never showed"
xdotool windowfocus --sync "$(window 'Tekkora!')"
sleep 1
xdotool key --delay 100 ctrl+n F5 ctrl+k space
for round in $(seq 60); do
  has_window '結果' && break
  xdotool key --delay 20 1 2 3 4 5 6 7 8 9 0
done
has_window '結果' || fail "the run never ended"
xdotool windowfocus --sync "$(window '結果')" key Return
wait_for 20 sh -c "! xdotool search --name '^結果\$'" || fail "the results window stayed"
head -n 3 "$example" | cmp -n "$(head -n 3 "$example" | wc -c)" - Score.txt || fail "Score.txt's header differs"
[ "$(wc -l <Score.txt)" -eq 4 ] && tail -n 1 Score.txt | LC_ALL=C grep -q "$(printf '\220\224\216\232')" ||
  fail "Score.txt does not hold one digits record"

# The score window finds the log beside it and reports the run; it opens
# beside the drill's window, which leaves room at its right on this screen.
WINEDEBUG=+loaddll "$run" ./tekkora-score.exe --report >"$work/report" 2>"$work/score.log" &
score=$!; started="$started $score"
wait_for 60 grep -q '^runs=1 questions=10 .* skipped=0' "$work/report" || fail "tekkora-score reported: $(cat "$work/report")"
wait_for 30 has_window 'Tekkora! スコア' || fail "the score window never showed"
sleep 2
eval "$(xdotool getwindowgeometry --shell "$(window 'Tekkora!')" | sed 's/^/DRILL_/')"
eval "$(xdotool getwindowgeometry --shell "$(window 'Tekkora! スコア')" | sed 's/^/SCORE_/')"
[ "$SCORE_X" -ge $((DRILL_X + DRILL_WIDTH)) ] && [ $((SCORE_X + SCORE_WIDTH)) -le 1920 ] ||
  fail "the score window at $SCORE_X (${SCORE_WIDTH} wide) is not beside the drill at $DRILL_X (${DRILL_WIDTH} wide)"
xdotool windowfocus --sync "$(window 'Tekkora! スコア')" key ctrl+w
wait_for 30 gone "$score" && wait "$score" || fail "the score window did not end well"
xdotool windowfocus --sync "$(window 'Tekkora!')" key alt+F4
wait_for 30 gone "$drill" || fail "the drill did not end"
wait "$drill" || fail "the drill ended with status $?"
printf '[Data]\r\nMode=2 \r\nNum=10    \r\nCap=0 \r\n' | cmp - tekora.ini || fail "tekora.ini does not hold the options"

# Every native module loaded lies in the folder, and each one there is used.
sed -n 's/.* Loaded L"\(.*\)" at [0-9A-F]*: native$/\1/p' "$work/drill.log" "$work/score.log" |
  sed 's|\\\\|/|g; s|^Z:||' | sort -u >"$work/loaded"
find "$app" -name '*.dll' -o -name '*.exe' | sort >"$work/packed"
diff "$work/loaded" "$work/packed" || fail "what the programs load is not what the zip holds"

# The installer: this user's programs folder and Start menu, no elevation;
# in Japanese, its window titled by the caption alone on its first page and
# once the files are in (where NSIS's own pages would leave a blank after
# it). Installed by a player's keys first (Enter installs, Enter closes),
# then again silently, as a deployment would.
grep -aq 'level="asInvoker"' "$installer" || fail "the installer asks for more than the user's rights"
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData | grep -v /Public/ | head -n 1)
dir="$user_dir/Local/Programs/Tekkora" menu="$user_dir/Roaming/Microsoft/Windows/Start Menu/Programs/Tekkora"
setup='Tekkora! セットアップ'
titles() { xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|'; }
"$run" "$installer" &
started="$started $!"
wait_for 60 has_window "$setup" || fail "no window titled '$setup': $(titles)"
xdotool windowfocus --sync "$(window "$setup")" key Return
wait_for 60 test -f "$menu/Tekkora! スコア.lnk" || fail "the installer's keys installed nothing"
sleep 2
has_window "$setup" || fail "once installed, the installer's title is not '$setup': $(titles)"
xdotool windowfocus --sync "$(window "$setup")" key Return
wait_for 30 sh -c "! xdotool search --name '^$setup\$'" || fail "the installer stayed after Enter"
"$run" "$installer" /S || fail "the installer failed"
for file in tekkora.exe tekkora-score.exe Qt6Core.dll platforms/qwindows.dll Uninstall.exe; do
  [ -f "$dir/$file" ] || fail "the installer left out $file"
done
[ -f "$menu/Tekkora!.lnk" ] && [ -f "$menu/Tekkora! スコア.lnk" ] || fail "no Start-menu entries"
printf 'log' >"$dir/Score.txt" && printf 'options' >"$dir/tekora.ini"
# The uninstaller's first page, left by Esc; it goes on from a copy of
# itself, so its window is waited for, not its process.
"$run" "$dir/Uninstall.exe" &
started="$started $!"
wait_for 60 has_window 'Tekkora! アンインストール' || fail "no window titled 'Tekkora! アンインストール': $(titles)"
xdotool windowfocus --sync "$(window 'Tekkora! アンインストール')" key Escape
wait_for 30 sh -c "! xdotool search --name '^Tekkora! アンインストール\$'" || fail "the uninstaller stayed after Esc"
"$run" "$dir/Uninstall.exe" /S || fail "the uninstaller failed"
# It goes on from a copy of itself in the temporary folder.
wait_for 60 test ! -e "$dir/tekkora.exe" || fail "the uninstaller left the programs"
wait_for 30 test ! -e "$dir/Uninstall.exe"
[ "$(ls "$dir")" = "$(printf 'Score.txt\ntekora.ini')" ] || fail "the uninstaller left or took: $(ls "$dir")"
[ ! -e "$menu" ] || fail "the Start-menu entries stayed"
echo "PASS: the zip, the drill, the score window and the installer under Wine"
