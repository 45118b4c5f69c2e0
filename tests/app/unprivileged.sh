#!/bin/sh
# unprivileged.sh PROGRAM [ARGUMENTS...]
# Runs a test program as an unprivileged user when started as root, where
# folder permissions would not apply. The program is copied into a folder of
# its own first, so that the user can run it wherever the build lies; the
# folder's name is Latin-1 ("Übungen"), not UTF-8, and the program runs in it.
set -eu
[ "$(id -u)" -eq 0 ] || exec "$@"
program=$1
shift
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
folder="$base/$(printf '\334bungen')"
mkdir "$folder"
cp "$program" "$folder/"
chmod 755 "$base" "$folder"
cd "$folder"
setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$base" QT_QPA_PLATFORM=offscreen "$folder/$(basename "$program")" "$@"
