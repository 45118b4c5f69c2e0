#!/bin/sh
# Usage: xserver.sh DPI WIDTHxHEIGHT COMMAND...
# Runs COMMAND in an X server of its own at the given resolution, set up as a
# desktop at that resolution is: the server's dpi and Xft.dpi for the
# toolkits. -noreset keeps the setting when the last client leaves.
set -eu
dpi=$1
size=$2
shift 2
exec xvfb-run --auto-servernum --server-args="-screen 0 ${size}x24 -dpi $dpi -noreset" \
    sh -c 'echo "Xft.dpi: $0" | xrdb -nocpp -merge && exec "$@"' "$dpi" "$@"
