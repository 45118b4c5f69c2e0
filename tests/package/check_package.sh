#!/bin/sh
# Usage: check_package.sh BUILD_DIR WORK_DIR VERSION CMAKE CPACK
# Makes the Debian package from a built tree and checks its files against the
# install, its fields and lintian; as root with apt, also installs it, runs the
# program from PATH without a display (and draws a chart), purges it and looks
# for what is left.
set -eu
build=$1 work=$2 version=$3 cmake=$4 cpack=$5
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not make the package"; }
deb="$work/plinthos_${version}_$(dpkg --print-architecture).deb"

# Every file the install gives, with /usr as its prefix, and the package's own documents.
"$cmake" --install "$build" --prefix "$work/root/usr" >/dev/null
"$cmake" --install "$build" --prefix "$work/root/usr" --component debian >/dev/null
(cd "$work/root" && find . ! -type d | sort) >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort | diff -u "$work/expected" - ||
    fail "the package does not hold what the install gives"
fields=$(dpkg-deb -f "$deb" Depends Recommends) && echo "$fields"
for wanted in "fonts-wine," "fonts-dejavu-core," "libqt6widgets6 (>= " "Recommends: qt6-wayland"; do
    echo "$fields" | grep -qF "$wanted" || fail "the package's fields lack $wanted"
done
lintian --fail-on error "$deb" || fail "lintian reports errors"

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "Not root, or no apt-get: the package was built and checked with lintian, not installed."
    exit 0
fi
# One install at a time on this machine, and never over a plinthos installed on purpose.
exec 9>/run/lock/plinthos-package-test.lock && flock 9
if dpkg-query -W -f='${Status}' plinthos 2>/dev/null | grep -q " installed$"; then
    echo "plinthos is installed already: the package was built and checked with lintian, not installed."
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
apt="apt-get -q -y -o DPkg::Lock::Timeout=300"
trap '$apt remove --purge plinthos >/dev/null 2>&1 || true' EXIT
trap 'exit 1' HUP INT TERM
# Not the Wayland plugin it recommends, which a run without a display has no use for.
$apt install --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get could not install the package"; }
run="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH=/usr/bin:/bin plinthos"
[ "$($run --version)" = "plinthos $version" ] || fail "plinthos --version did not answer plinthos $version"
$run --help | grep -q "^Usage: plinthos " || fail "plinthos --help gave no usage"
printf 'Apples,60\nPears,95\nPlums,30\n' >"$work/chart.csv"
$run --render "$work/chart.csv" -o "$work/chart.png" --scale 2 || fail "plinthos --render failed"
file "$work/chart.png" | grep -q "PNG image data, 2262 x 1019," || fail "plinthos --render drew no picture of 2262 x 1019"
dpkg-query -L plinthos >"$work/installed"
$apt remove --purge plinthos >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get could not purge it"; }
trap - EXIT

# A directory may stay where another package owns it or something else is in it.
left=""
while IFS= read -r path; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        dpkg-query -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ] || left="$left $path"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        left="$left $path"
    fi
done <"$work/installed"
[ -z "$left" ] || fail "left behind after the purge:$left"
echo "Installed, ran --version, --help and --render from PATH without a display, purged: nothing left behind."
