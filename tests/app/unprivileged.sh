#!/bin/sh
# unprivileged.sh PROGRAM [ARGUMENTS...]
# Runs a test program as an unprivileged user when started as root, where
# folder permissions would not apply. The program is copied into a folder of
# its own first, so that the user can run it wherever the build lies.
set -eu
[ "$(id -u)" -eq 0 ] || exec "$@"
program=$1
shift
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$program" "$folder/"
chmod 755 "$folder"
cd "$folder"
setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$folder" QT_QPA_PLATFORM=offscreen "$folder/$(basename "$program")" "$@"
