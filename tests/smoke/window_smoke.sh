#!/bin/sh
# Smoke test of the window on a real X server, through the path a person's
# mouse and keyboard take: xdotool moves the pointer, clicks and types;
# voxcel-picsim plays the PIC on a pseudo-terminal.
#   xvfb-run -a tests/smoke/window_smoke.sh VOXCEL VOXCEL_PICSIM
# Control rectangles are kept as "X Y W H" and split into click's arguments.
# shellcheck disable=SC2086
set -eu

VOXCEL=$1
PICSIM=$2
[ -n "${DISPLAY:-}" ] || { echo "window_smoke: no X display; run it under xvfb-run -a" >&2; exit 2; }

DELAY=100       # xmit delay (ms): a whole picture takes about 9 s
TOTAL=2122      # characters of one picture with the start-up settings
SENTINEL="window_smoke sentinel"
CLIENT_HEIGHT=447

tmp=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

step() { echo "window_smoke: $*"; }
fail() {
    echo "window_smoke: FAILED: $*" >&2
    if [ -s "$tmp/picsim.out" ]; then sed 's/^/  picsim: /' "$tmp/picsim.out" >&2; fi
    exit 1
}

# poll SECONDS COMMAND...: true as soon as COMMAND succeeds (tried every
# 0.1 s), false once SECONDS have passed.
poll() {
    tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

clip() { xclip -o -selection clipboard 2>/dev/null || true; }
clip_is_sentinel() { [ "$(clip)" = "$SENTINEL" ]; }
clip_changed() { ! clip_is_sentinel; }
# The sentinel's owner runs in the foreground, so the trap can end it.
put_sentinel() {
    printf %s "$SENTINEL" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
    pids="$pids $!"
    poll 3 clip_is_sentinel || fail "xclip could not take the clipboard"
}

# click X Y W H: a left click in the middle of a control, its rectangle in
# the client widget's pixels; the menu bar lies above the client widget.
click() {
    xdotool mousemove --sync --window "$win" $(($1 + $3 / 2)) $((menu + $2 + $4 / 2)) click 1
    sleep 0.2
}

# Message boxes are top-level windows titled "Voxcel".
box_shown() {
    box=$(xdotool search --onlyvisible --name '^Voxcel$' 2>/dev/null | head -n 1)
    [ -n "$box" ]
}
box_gone() { ! box_shown; }
# The box's text, by Ctrl+A and Ctrl+C in it: a QMessageBox copies itself
# only on Windows, but in the Fusion style its text is selectable, and a
# click on the line of text gives the label the keyboard.
box_text() {
    put_sentinel
    xdotool mousemove --sync --window "$box" 60 18 click 1 key ctrl+a ctrl+c
    poll 3 clip_changed || true
    clip
}
no_box() {
    if box_shown; then fail "$1 showed a message box: $(box_text)"; fi
}

# The controls' design geometry, as app/ builds them, with their parents'
# offsets added: Frame6 at 4,28; Frame2 at 0,182 holding Frame4 at 4,0 and
# Frame5 at 336,0; Frame9 at 0,396 holding Frame7 at 248,0.
OPEN="356 2 68 22"
CONVERT="$((4 + 50)) $((28 + 124)) 52 22"
TEXT2="322 116 170 46"
HEADER="$((4 + 52)) $((182 + 17)) 70 20"
FORMAT="$((4 + 184)) $((182 + 17)) 44 20"
DELIMITER="$((4 + 184)) $((182 + 41)) 44 20"
XMIT_DELAY="$((336 + 94)) $((182 + 61)) 58 20"
STOP="434 293 58 17"
REFORMAT="$((248 + 6)) $((396 + 18)) 126 24"
SEND="$((248 + 136)) $((396 + 18)) 102 24"

step "1: starting voxcel-picsim and voxcel"
# The quiet timeout only ends a run the trap failed to end.
"$PICSIM" --link "$tmp/lcd" --expect-delay "$DELAY" --allowance 10 --timeout 30 \
    --out "$tmp/lcd%d.png" --log "$tmp/picsim.log" >"$tmp/picsim.out" 2>&1 &
picsim=$!
pids="$picsim"
poll 5 test -L "$tmp/lcd" || fail "voxcel-picsim made no link at $tmp/lcd"
# Fusion, for a message box whose text can be selected (see box_text).
VOXCEL_COM1="$tmp/lcd" QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion "$VOXCEL" >"$tmp/voxcel.log" 2>&1 &
pids="$pids $!"

step "2: finding the main window"
win=$(timeout 15 xdotool search --sync --onlyvisible --name "Voxcel Graphic LCD ToolBox" 2>/dev/null | head -n 1) || true
[ -n "$win" ] || fail "no main window within 15 s"
eval "$(xdotool getwindowgeometry --shell "$win")"
menu=$((HEIGHT - CLIENT_HEIGHT))

step "3: Open, empty Format and Delimiter, Xmit Delay $DELAY, Convert, Reformat For Output"
click $OPEN
click $FORMAT
xdotool key ctrl+a BackSpace
click $DELIMITER
xdotool key ctrl+a BackSpace
click $XMIT_DELAY
xdotool key ctrl+a type "$DELAY"
click $CONVERT
click $REFORMAT
no_box "Open, Convert or Reformat For Output"

step "4: Send to LCD, then a pointer click on Stop about a second in"
click $SEND
poll 10 grep -q '^picture 1, piece' "$tmp/picsim.log" || fail "the send did not begin within 10 s"
sleep 1
click $STOP
poll 5 box_shown || fail "no message box within 5 s of the click on Stop: the click did not stop the send"
text=$(box_text)
printf '%s\n' "$text" | grep -Eqx "Transmission stopped after [0-9]+ of $TOTAL characters" ||
    fail "the message box after Stop says '$text'"
xdotool key Return
poll 5 box_gone || fail "the message box did not close on Return"
step "   $text"

step "5: a second send by Space alone after Convert, typing into Header and the transmit box during it"
# The focus follows the steps: Convert hands it to Reformat For Output,
# which disables itself and hands it to Send to LCD. Since the message box
# closed, no window manager has given the window the keyboard back: xdotool
# does, and Qt takes the window for active only once keys arrive, so those
# keys are Shifts, which type nothing.
xdotool windowfocus --sync "$win" key shift
sleep 0.3
xdotool key shift
sleep 0.3
click $CONVERT
xdotool key space
no_box "Convert or Reformat For Output"
xdotool key space
poll 10 grep -q '^picture 2, piece' "$tmp/picsim.log" ||
    fail "the second send did not begin within 10 s: Space after Convert did not reach Reformat, then Send"
click $HEADER
xdotool type "hdr"
click $TEXT2
xdotool type "xyz"
poll 20 grep -q '^picture 2: ' "$tmp/picsim.out" || fail "voxcel-picsim has no result for picture 2 within 20 s"
grep -q '^picture 2: OK' "$tmp/picsim.out" || fail "picture 2 did not arrive whole and alone"
no_box "the second send"

step "6: nothing typed during the send reached the window or the line"
# An empty line edit copies nothing: the sentinel stays.
put_sentinel
click $HEADER
xdotool key ctrl+a ctrl+c
if poll 1 clip_changed; then fail "Header holds '$(clip)' typed during the send"; fi
# Bytes typed into the transmit box after picture 2 would begin a picture 3,
# reported when voxcel-picsim ends.
kill -TERM "$picsim"
poll 5 grep -q 'exit status' "$tmp/picsim.log" || fail "voxcel-picsim did not end on SIGTERM"
if grep '^picture ' "$tmp/picsim.out" | grep -qv '^picture [12]: '; then fail "characters reached the line after picture 2"; fi

echo "smoke test passed"
