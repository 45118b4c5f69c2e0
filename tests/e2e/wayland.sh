#!/bin/sh
# Usage: wayland.sh TEST PROGRAM
# Runs TEST against PROGRAM in a Wayland compositor of its own: sway, headless,
# without input devices, drawing in software. Sway refuses to run as root, so
# as root sway and the test (and the program it starts) run as an
# unprivileged user, from copies in a folder of their own.
set -eu
for tool in sway swaymsg wtype grim wl-paste setpriv; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "wayland.sh: $tool is not installed; scripts/setup installs it" >&2
        exit 1
    fi
done

folder=$(mktemp -d)
sway_pid=""
cleanup() {
    if [ -n "$sway_pid" ]; then
        kill "$sway_pid" 2>/dev/null || true
        wait "$sway_pid" 2>/dev/null || true
    fi
    rm -rf "$folder"
}
trap cleanup EXIT

cp "$1" "$2" "$folder/"
test_program="$folder/$(basename "$1")"
program="$folder/$(basename "$2")"
mkdir -m 700 "$folder/run"
cat >"$folder/sway.conf" <<'CONFIG'
output HEADLESS-1 resolution 2560x1600 scale 1
default_border none
default_floating_border none
xwayland disable
CONFIG

as=""
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$folder"
    as="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi

unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export HOME="$folder" XDG_RUNTIME_DIR="$folder/run"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
$as sway -c "$folder/sway.conf" >"$folder/sway.log" 2>&1 &
sway_pid=$!

# Sway is ready once both of its sockets are there.
tries=0
while :; do
    display=$(cd "$folder/run" && ls wayland-? 2>/dev/null | head -n 1)
    ipc=$(ls "$folder/run"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    [ -z "$display" ] || [ -z "$ipc" ] || break
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ] || ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "wayland.sh: sway did not start" >&2
        cat "$folder/sway.log" >&2
        exit 1
    fi
    sleep 0.05
done

$as env WAYLAND_DISPLAY="$display" SWAYSOCK="$ipc" PLINTHOS_PROGRAM="$program" "$test_program"
