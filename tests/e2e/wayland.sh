#!/bin/sh
# Usage: wayland.sh TEST PROGRAM
# Runs TEST against PROGRAM in a sway of its own: headless, without input
# devices, drawing in software. Sway refuses root, so as root sway and the
# test run as an unprivileged user, from copies in a folder of their own.
set -eu
for tool in sway swaymsg wtype grim wl-paste; do
    command -v "$tool" >/dev/null || { echo "wayland.sh: no $tool; scripts/setup installs it" >&2; exit 1; }
done
folder=$(mktemp -d)
sway=""
trap '[ -z "$sway" ] || kill "$sway"; rm -rf "$folder"' EXIT
cp "$1" "$2" "$folder/"
mkdir -m 700 "$folder/run"
printf 'output HEADLESS-1 resolution 2560x1600\ndefault_floating_border none\nxwayland disable\n' >"$folder/sway.conf"
as=""
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$folder"
    as="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export HOME="$folder" XDG_RUNTIME_DIR="$folder/run" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
$as sway -c "$folder/sway.conf" >"$folder/sway.log" 2>&1 &
sway=$!
# Ready once both of its sockets are there.
until display=$(cd "$folder/run" && ls wayland-? 2>/dev/null) && ipc=$(ls "$folder"/run/sway-ipc.*.sock 2>/dev/null); do
    kill -0 "$sway" 2>/dev/null || { cat "$folder/sway.log" >&2; exit 1; }
    sleep 0.05
done
$as env WAYLAND_DISPLAY="$display" SWAYSOCK="$ipc" PLINTHOS_PROGRAM="$folder/$(basename "$2")" "$folder/$(basename "$1")"
