#!/usr/bin/env bash
# End to end, with the real program on an X server of its own (the xcb platform): a
# program directory holding the program, its settings file and a pal data file with one
# known pal; a received mail of that pal dragged from a second X client and dropped on the
# pal list; the window closed as the user closes it. Afterwards yubino-cli must read the pal's
# new last mail from the data file, and the settings file must name that file.
#   drop_mail_on_list.sh YUBINO YUBINO_CLI MAKE_SAMPLE DRAG_SOURCE CLOSE_WINDOW
# Exit 77 (skipped) without Xvfb or xdotool. Every wait is bounded.
set -euo pipefail
readonly kSkip=77
yubino=$1 cli=$2 make_sample=$3 drag_source=$4 close_window=$5

for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit "$kSkip"; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/yubino-e2e.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 130" INT TERM

# A picture of the whole screen for the failure report, when ImageMagick is there.
snapshot() {
  [[ -n "${DISPLAY:-}" ]] && command -v import >/dev/null && timeout 5 import -window root "$1" 2>/dev/null || true
}

fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do echo "--- $(basename "$log")"; cat "$log"; done
  snapshot "$work/at-failure.png"
  for picture in "$work"/*.png; do
    [[ -f "$picture" ]] && cp "$picture" "$PWD/e2e-$(basename "$picture")" && echo "screen: $PWD/e2e-$(basename "$picture")"
  done
  exit 1
}

# Runs "$@" every 0.1 s until it succeeds; false after $1 seconds.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

xdo() { timeout 5 xdotool "$@"; }

# Window ids of a process's visible windows whose title matches a pattern.
windows_of() { xdo search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null; }

# --- The X server: -displayfd picks a free display and reports it once it is ready.
# -noreset: by default the server resets when its last client leaves, and a client that
# connects during that reset is dropped (yubino would then abort with "could not connect").
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
poll 30 grep -qs '^[0-9]' "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
poll 30 xdo getmouselocation >/dev/null 2>&1 || fail "the X server $DISPLAY does not answer"
# The server that answers must be this one, not another one on the same display number.
[[ "$(xdo getdisplaygeometry)" == "1280 1024" ]] || fail "the X server on $DISPLAY is not the one this test started"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$work/runtime"

# --- The program directory: a copy of the program (a symbolic link would resolve to the
# build tree), the settings file naming the data file, the data file with one pal.
program_dir="$work/program"
data_file="$program_dir/pals.ybf"
mkdir "$program_dir"
cp "$yubino" "$program_dir/yubino"
# The later features (the dropped mail goes through them) live in a module beside it.
cp "$(dirname "$yubino")/yubino-features.so" "$program_dir/"
printf '%s' "$data_file" >"$program_dir/yubino.cfg"
{
  printf 'handle\tname\tsex\tage\taddress\tjob\thomepage\tresidence\tbirthplace\tblood\tbirthday\tfirst_mail\tlast_mail\thobby\tmap\tface\tx\ty\tmemo\tlast_mail_text\n'
  printf 'たろう\t試験 太郎\t男\t３０\ttaro.e2e@example.jp\t\t\t東京都\t東京都\tＡ\t1973/03/03\t2000/01/10\t2001/02/03\t散歩\t関東\t3\t179\t275\t\t前のメールです。\n'
} >"$work/pal.tsv"
"$make_sample" "$work/pal.tsv" "$data_file" >"$work/make-sample.log" 2>&1 || fail "the data file could not be made"

# The received mail, as a mail program puts it on a drag: UTF-8 plain text.
cat >"$work/mail.txt" <<'MAIL'
送信者 : "たろう" <taro.e2e@example.jp>
宛先 : hanako@example.jp
件名 : お元気ですか
日時 :  2003年 4月 1日 12:34

ドロップで届いたメールです。
またね
MAIL

# --- Start both clients and find their windows. The drag source first: while it is
# connected the server has a client, so yubino never meets a server that is resetting.
"$drag_source" "$work/mail.txt" >"$work/drag-source.log" 2>&1 &
source_pid=$!
pids+=("$source_pid")
(cd "$work" && exec "$program_dir/yubino") >"$work/yubino.log" 2>&1 &
yubino_pid=$!
pids+=("$yubino_pid")

main_window() { windows_of "$yubino_pid" ' - Yubino$' | head -n1; }
message_box() { windows_of "$yubino_pid" '^Yubino$' | head -n1; }
source_window() { windows_of "$source_pid" '^yubino-e2e-drag-source$' | head -n1; }
# Predicates for poll, which calls them again on every round.
shows() { [[ -n "$("$1")" ]]; }
lacks() { [[ -z "$("$1")" ]]; }
exited() { ! kill -0 "$1" 2>/dev/null; }
shows_or_exited() { shows "$1" || exited "$2"; }

poll 40 shows_or_exited source_window "$source_pid" && shows source_window || fail "the drag source did not appear"
poll 40 shows_or_exited main_window "$yubino_pid" && shows main_window || fail "the main window did not appear"
main=$(main_window)
[[ -z "$(message_box)" ]] || fail "a message box appeared at start-up"

# The point of a window at the given percentages of its width and height.
point_in() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdo getwindowgeometry --shell "$1")"
  echo $((X + WIDTH * $2 / 100)) $((Y + HEIGHT * $3 / 100))
}
read -r from_x from_y < <(point_in "$(source_window)" 50 50)
# The pal list is the right pane of the main window.
read -r to_x to_y < <(point_in "$main" 75 50)

# One drag from the source to the list: press, move in steps so that both clients see
# the pointer travel, rest over the list until it has accepted, release.
drag_once() {
  xdo mousemove "$from_x" "$from_y"
  sleep 0.3
  xdo mousedown 1
  sleep 0.3
  local step
  for step in 1 2 3 4 5 6 7 8; do
    xdo mousemove $((from_x + (to_x - from_x) * step / 8)) $((from_y + (to_y - from_y) * step / 8))
    sleep 0.05
  done
  sleep 0.5
  xdo mouseup 1
}

# The known pal's mail ends in the message that the pal was updated. A drag the list did
# not take is tried again; a second drop of the same mail would ask another question.
box=""
for attempt in 1 2 3; do
  drag_once
  if poll 20 shows message_box; then
    box=$(message_box)
    break
  fi
  grep -q copied "$work/drag-source.log" && fail "the list took the drop but showed no message"
  echo "attempt $attempt: the list did not take the drop"
done
[[ -n "$box" ]] || fail "the drop brought no message"
snapshot "$work/message.png"

xdo windowfocus --sync "$box" || true
xdo key Return
poll 15 lacks message_box || fail "the message box did not close"

# --- Close the window by its close box; the program saves and exits.
"$close_window" "$main" || fail "the close request could not be sent"
poll 15 exited "$yubino_pid" || {
  [[ -z "$(message_box)" ]] || fail "a message appeared on closing"
  fail "the program did not exit after the close request"
}
wait "$yubino_pid" || fail "the program exited with status $?"

# --- What was saved.
[[ "$(cat "$program_dir/yubino.cfg")" == "$data_file" ]] || fail "the settings file does not name the data file"
"$cli" dump "$data_file" >"$work/dump.json" 2>"$work/dump.log" || fail "yubino-cli dump failed"
python3 - "$work/dump.json" <<'CHECK' || fail "the saved data file does not hold the dropped mail"
import datetime, json, sys
data = json.load(open(sys.argv[1], encoding="utf-8"))
assert data["complete"], "the file ends inside a record"
(pal,) = data["pals"]
expected_day = (datetime.date(2003, 4, 1) - datetime.date(1899, 12, 30)).days
checks = {
    "address": pal["m_strMailAddress"] == "taro.e2e@example.jp",
    "handle name kept": pal["m_strHandleName"] == "たろう",
    "first mail kept": pal["m_dtFirstMail"]["value"] == (datetime.date(2000, 1, 10) - datetime.date(1899, 12, 30)).days,
    "last mail date": pal["m_dtLastMail"] == {"status": 0, "value": expected_day},
    "last mail text": pal["m_strLastMailText"].replace("\r", "") == "ドロップで届いたメールです。\bまたね\b",
}
failed = [name for name, ok in checks.items() if not ok]
if failed:
    print("wrong:", ", ".join(failed))
    print(json.dumps(pal, ensure_ascii=False, indent=1))
    sys.exit(1)
CHECK
echo "PASS: the dropped mail was saved"
