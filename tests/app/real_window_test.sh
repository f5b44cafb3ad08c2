#!/usr/bin/env bash
# Starts the real murrel-dl in the X server that xvfb-run provides and checks it as a person would:
# the window, its start-up state, the link box's left click and the copy buttons, then closes it.
# Usage (under xvfb-run): real_window_test.sh MURREL_DL CLOSE_WINDOW
set -euo pipefail

program=$1
close_window=$2
log=$(mktemp)
trap 'rm -f "$log"' EXIT

fail() {
    echo "FAIL: $*" >&2
    echo "--- program output:" >&2
    cat "$log" >&2
    exit 1
}

# The clipboard as xclip sees it; waits until it holds the expected text or gives up after a while.
expect_clipboard() {
    local expected=$1 what=$2 actual=""
    for _ in $(seq 100); do
        actual=$(xclip -o -selection clipboard 2>/dev/null || true)
        [ "$actual" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "$what: clipboard holds [$actual], expected [$expected]"
}

set_clipboard() {
    printf '%s' "$1" | xclip -i -selection clipboard
}

# Places inside the window's client area (no window manager, so no frame): the centres of controls.
click_at() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
}

QT_QPA_PLATFORM=xcb "$program" >"$log" 2>&1 &
pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Murrel' | head -n 1) \
    || fail "no window appeared"

title=$(xdotool getwindowname "$window")
[[ $title =~ ^Murrel无广告下载--ByQorvath[A-Za-z0-9]+$ ]] || fail "title [$title]"

geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
[ "$geometry" = "487x228" ] || fail "client size $geometry"

# Start-up focus on 获取验证码: one Tab moves on to the captcha box, whose "1234" is then copied.
set_clipboard "before"
xdotool key Tab ctrl+a ctrl+c
expect_clipboard "1234" "focus after start-up"

# 获取下载地址 is disabled, so the next Tab skips it and lands in the normal-link box.
xdotool key Tab
xdotool type "abc"
xdotool key ctrl+a ctrl+c
expect_clipboard "abc" "disabled link button"

# A left click in the link box empties it and places the caret there.
click_at 246 22
xdotool type "zz"
xdotool key ctrl+a ctrl+c
expect_clipboard "zz" "left click in the link box"

# The copy buttons: 按钮1 copies the normal-link box, 按钮2 the empty Thunder box.
set_clipboard "before"
click_at 449 157
expect_clipboard "abc" "copy of the normal link"
click_at 449 198
expect_clipboard "" "copy of the empty Thunder link"

"$close_window" "$window" || fail "could not ask the window to close"
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the program did not end after its window was closed"; }
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "real window: all checks passed"
