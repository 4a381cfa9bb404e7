#!/usr/bin/env bash
# Tests the Windows program under Wine (Debian's Wine 8, `wine`) on a virtual
# X screen, as a practice would meet it:
#   1. the core unit tests (no screen) cross-built for Windows, each run under
#      Wine; among them core.tst_sharedfolder, where copies of the record
#      layer in processes of their own save into one folder at once and
#      nothing may be lost (the LockFileEx locks);
#   2. clinora.exe started from a folder with accented letters and blanks
#      in its name, logged into by keyboard, a patient card and an analysis
#      card saved by keyboard, and the bytes of Pazienti.pro and of the .asl
#      checked against the records typed (scripts/windows/check_records.py);
#   3. screenshots of the start menu and of the patient card, left in
#      build-windows/wine-test/ to be looked at.
# Builds the program first when build-windows/ lacks it.
#   scripts/windows/test.sh                 CLINORA_WINE_STEP (seconds to wait
#                                           for a screen under Wine, default 5)
#   scripts/windows/test.sh --linux PROGRAM the same keys and checks against a
#                                           Linux build of the program (a check
#                                           of the key script itself)
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
out=$repo/build-windows
work=$out/wine-test
target=windows
linux_program=""
if [ "${1:-}" = --linux ]; then
  target=linux
  linux_program=$(readlink -f "$2")
fi

# Everything that shows a window runs on a virtual screen of its own.
if [ -z "${CLINORA_WINE_XVFB:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env CLINORA_WINE_XVFB=1 "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
step=${CLINORA_WINE_STEP:-5}
rm -rf "$work"
mkdir -p "$work"

if [ $target = windows ]; then
  [ -f "$out/Clinora/clinora.exe" ] || scripts/windows/build.sh
  export WINEPREFIX=$out/wine-prefix WINEARCH=win64 WINEDEBUG=-all
  # Wine reads file names and arguments in the locale's character set: in the
  # C locale "Città" reaches the program as "CittC".
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  # No .NET or browser engine: the prefix is made without asking for them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/.clinora-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Wine's own Tahoma, the font Windows' dialogs use: without it in the
    # prefix, text falls back to a serif face.
    cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$WINEPREFIX/.clinora-ready"
  fi
fi

# ---- 1. the core unit tests under Wine --------------------------------------
if [ $target = windows ]; then
  winepath_w() { wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }
  WINEPATH=$(winepath_w "$out/Clinora")
  export WINEPATH
  export CLINORA_SOURCE_DIR
  CLINORA_SOURCE_DIR=$(winepath_w "$repo")
  failed=()
  passed_total=0
  failed_total=0
  for exe in "$out"/tests/core_tst_*.exe; do
    name=$(basename "$exe" .exe)
    log="$work/$name.txt"
    # Each test in a folder of its own; nothing needs a screen.
    (cd "$work" && timeout 600 wine "$exe" -o "$(winepath_w "$log"),txt" >/dev/null 2>&1) || true
    totals=$(grep -a '^Totals:' "$log" 2>/dev/null | tr -d '\r' || true)
    [ -n "$totals" ] || totals="Totals: no result (crashed or timed out)"
    echo "core.${name#core_} under Wine: ${totals#Totals: }"
    p=$(sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' <<<"$totals")
    f=$(sed -n 's/^Totals: [0-9]* passed, \([0-9]*\) failed.*/\1/p' <<<"$totals")
    passed_total=$((passed_total + ${p:-0}))
    failed_total=$((failed_total + ${f:-0}))
    if [ -z "$p" ] || [ "${f:-1}" != 0 ]; then
      failed+=("$name")
      grep -a '^FAIL!' -A2 "$log" 2>/dev/null | tr -d '\r' | sed 's/^/    /' || true
    fi
  done
  echo "core tests under Wine: $passed_total checks passed, $failed_total failed"
  ((${#failed[@]} == 0)) || fail "core tests failing under Wine: ${failed[*]}"
fi

# ---- 2. the program, driven by keyboard ------------------------------------
# A practice's folder, with accents and blanks in its name, holding only the
# program: the data are made by the keys below.
if [ $target = windows ]; then
  folder="$WINEPREFIX/drive_c/Studio Medico Città/Clinora"
  rm -rf "$WINEPREFIX/drive_c/Studio Medico Città"
  mkdir -p "$(dirname "$folder")"
  cp -r "$out/Clinora" "$folder"
  (cd "$folder" && wine explorer /desktop=clinora,1280x1024 "C:\\Studio Medico Città\\Clinora\\clinora.exe" \
      >"$work/clinora.log" 2>&1) &
  pid=$!
  desktop=$(timeout 120 xdotool search --sync --name "Wine desktop" | head -n1)
  xdotool windowfocus --sync "$desktop" || true
  # Under Wine's desktop the program's windows are not X windows: wait a while.
  wait_window() { sleep "$step"; }
  focus_window() { sleep 1; }
  focus_last_window() { sleep 1; }
else
  folder="$work/Studio Medico Città/Clinora"
  mkdir -p "$folder"
  cp "$linux_program" "$folder/clinora"
  cp dist/unins000.dll "$folder/"
  (cd / && QT_QPA_PLATFORM=xcb "$folder/clinora" >"$work/clinora.log" 2>&1) &
  pid=$!
  wait_window() { timeout 60 xdotool search --sync --onlyvisible --name "$1" >/dev/null || fail "no window $1"; }
  focus_window() {
    local w
    w=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n1)
    xdotool windowfocus --sync "$w"
    sleep 0.5
  }
  focus_last_window() {
    local w
    w=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" | tail -n1)
    xdotool windowfocus --sync "$w"
    sleep 0.5
  }
fi
trap 'kill $pid 2>/dev/null || true; [ $target = linux ] || wineserver -k 2>/dev/null || true' EXIT
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.4; done; }
text() { xdotool type --delay 60 "$1"; sleep 0.4; }
shot() { import -window root "$work/$1.png"; }
wait_file() { # the file appears within a minute
  for _ in $(seq 120); do [ -s "$1" ] && return 0; sleep 0.5; done
  return 1
}

# The login, with the initial password.
wait_window "^ Clinora - Accesso$"
focus_window "^ Clinora - Accesso$"
text clinora
keys Return
wait_window "^ Clinora$"
focus_window "^ Clinora$"
shot start-menu

# The patient card: its first command has the focus; Enter goes along the
# fields to the phone, Tab to the fiscal code; Alt+S saves. The valid code
# offers its birth data (Yes), then the card says it was saved (OK).
keys Return
wait_window "^ Clinora - Anagrafica Pazienti$"
focus_window "^ Clinora - Anagrafica Pazienti$"
text "ROSSI MARIO"
keys Return Return Return Return Return
text "050 123456"
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab
text RSSMRA85T10A562S
keys Tab alt+s
sleep 2
keys Return
sleep 2
shot patient-card-saved
keys Return
wait_file "$folder/Pazienti.pro" || fail "no Pazienti.pro after saving the patient card"
sleep 1
shot patient-card
python3 scripts/windows/check_records.py patient "$folder/Pazienti.pro"

# The analyses: Alt+E leaves the card, the second column opens the
# patient choice, the search finds the patient, the card takes one result.
focus_window "^ Clinora - Anagrafica Pazienti$"
keys alt+e
wait_window "^ Clinora$"
focus_window "^ Clinora$"
keys Tab space
wait_window "^ Clinora - Analisi Cliniche$"
focus_window "^ Clinora - Analisi Cliniche$"
keys Return
wait_window "^ Trova pazienti in archivio$"
focus_window "^ Trova pazienti in archivio$"
text rossi
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Return
sleep 1
keys Tab Tab Return
sleep 1
focus_window "^ Clinora - Analisi Cliniche$"
keys Tab Return
sleep "$step"
focus_last_window "^ Clinora - Analisi Cliniche$"
today=$(date +%d/%m/%Y)
text R-17
# Any key on a date field opens the calendar; Enter takes the day it shows.
keys Tab space
sleep 1.5
keys Return
sleep 1
keys Tab space
sleep 1.5
keys Return
sleep 1
keys Tab
text Glicemia
keys Tab
text 95
keys Tab Tab Tab
text "Nella norma"
# From the outcome to the toolbar's Save, then Space; the card says it saved.
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 2
shot analysis-card-saved
keys Return
asl="$folder/Analisi_Cliniche/Paziente_CF_RSSMRA85T10A562S.asl"
wait_file "$asl" || fail "no analysis archive after saving the analysis card"
python3 scripts/windows/check_records.py analysis "$asl" "$today"

echo "$target: the program logged in by keyboard, saved a patient card and an analysis card with the expected bytes;" \
  "screenshots in $work"
