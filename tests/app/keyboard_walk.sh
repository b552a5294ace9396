#!/usr/bin/env bash
# A walk through the real program from the keyboard alone, on a demo database under Xvfb at
# 1366x768: sign in, open the dispensing window from the sales menu, type a free
# prescription's header, scan a pack's GS1 DataMatrix and then its EAN-13 as a keyboard-wedge
# scanner types them into the drug lookup, save with F2. The saved line, the lot it was drawn
# from and the pack's serial are read back from the database.
#   keyboard_walk.sh PHARMACY PHARMACYCTL
# Exits 77 (skipped) when Xvfb, xdotool or sqlite3 is missing. PH_WALK_SCREENSHOT names a PNG
# to keep the screen as the scans left it (needs ImageMagick's import).
set -euo pipefail
pharmacy=$1
ctl=$2
for tool in Xvfb xdotool sqlite3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
finish() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

screenshot() {
  if [ -n "${PH_WALK_SCREENSHOT:-}" ] && [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    import -window root "$PH_WALK_SCREENSHOT" || true
  fi
}

fail() {
  echo "keyboard walk: $*" >&2
  screenshot
  [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log" >&2
  exit 1
}

# Waits (at most a minute) until the command succeeds.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 600); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "gave up waiting for $what"
}

# The demo working set, a barcode for one of its drugs and two lots of it: the earlier expiry
# would be drawn first, unless the pack scanned names the later one.
"$ctl" --dir "$work/folder" demo >"$work/demo.txt" 2>&1 || fail "demo: $(cat "$work/demo.txt")"
password=$(sed -n 's/^ *code 1 .*password: //p' "$work/demo.txt")
[ -n "$password" ] || fail "no password for user 1 in: $(cat "$work/demo.txt")"
db=$work/folder/pharmacy.db
sqlite3 "$db" "insert into kala_barcode (barcode, code_kala) values ('06260000000019', 1010004);
  insert into kala_lot (code_lot, code_kala, code_vah, batch, date_exps, qu) values
    (1, 1010004, 20, 'E1', '2027-06-30', 5), (2, 1010004, 20, 'B7', '2029-12-31', 5);"
council=$(sqlite3 "$db" "select order1 from doctor_s order by code limit 1")

# A display of our own: Xvfb names the first free one.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_until "Xvfb" test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb

"$pharmacy" "$work/folder" >"$work/program.log" 2>&1 &
program_pid=$!

# Waits until the window that has the keyboard is the one whose title holds the text: keys
# sent before it has the focus would go elsewhere.
focused() {
  xdotool getwindowfocus getwindowname 2>/dev/null | grep -qF -- "$1"
}
visible_windows() {
  xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | wc -l
}
# Whether a visible window of the program has a title holding the text.
shows() {
  for w in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
    xdotool getwindowname "$w" 2>/dev/null
  done | grep -qF -- "$1"
}
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }
keys() { xdotool key --delay 20 "$@"; }
type_text() { xdotool type --delay 20 "$1"; }

wait_until "the login window" focused 'v1400'
# The start-up steps run once the login window is up; keys wait in its queue behind them.
type_text 1
keys Return
type_text "$password"
keys Return
wait_until "the main window after signing in" focused 'داروخـــانه'

# F3 drops the sales menu down; its first entry is the dispensing window.
before=$(visible_windows)
keys F3
wait_until "the sales menu" more_windows_than "$before"
# A menu takes the keyboard a moment after it shows: Enter is pressed again while the menu
# stays up and the window has not come.
for _ in $(seq 60); do
  shows 'فرم فروش دارو' && break
  more_windows_than "$before" && keys Return
  sleep 1
done
wait_until "the dispensing window" focused 'فرم فروش دارو'

# The header of a free prescription: insurer 0 as offered, no insurance number, the
# patient's names and booklet page, Enter through the admission and request fields, a prescriber of the
# register, the booklet's expiry, then the dates as offered.
keys Return Return
type_text 'احمدي'
keys Return
type_text 'مريم'
keys Return
type_text 12
keys Return Return Return
type_text "$council"
keys Return
type_text 3012
keys Return Return Return

# A pack's DataMatrix (GTIN, expiry, batch, serial; "~" for the group separator) and its
# EAN-13, each as a scanner types it, ending with Enter: one line of two.
scan() { xdotool type --delay 5 "$1"$'\r'; } # the Enter typed with the code, as a scanner sends it
scan ']d2010626000000001917291231''10B7~21SN1'
scan '6260000000019'
keys F2

saved() { [ "$(sqlite3 "$db" 'select count(*) from heading_noskhe')" -ge 1 ]; }
wait_until "the prescription to be saved" saved
got=$(sqlite3 "$db" "select code_darou, tedad from details_noskhe;
  select code_lot, qu from kala_lot_line where type_doc='d';
  select serial from kala_serial;")
expected=$(printf '%s\n' '1010004.0|2.0' '2|2.0' 'SN1')
[ "$got" = "$expected" ] || fail "saved $(printf '%q' "$got"), expected $(printf '%q' "$expected")"
screenshot
echo "keyboard walk: one line of two packs, drawn from the scanned lot"
