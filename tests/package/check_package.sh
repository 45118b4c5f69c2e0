#!/bin/sh
# Usage: check_package.sh BUILD_DIR WORK_DIR VERSION CMAKE CPACK
# Makes the Debian package from a built tree and checks it: its file holds
# what the install rules give, its fields name the dependencies, lintian finds
# no error. As root with apt, it also installs the package, runs the program
# from PATH without a display, purges the package and looks for anything it
# left behind.
set -eu
build=$1
work=$2
version=$3
cmake=$4
cpack=$5

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not make the package"; }
deb="$work/plinthos_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$work")"

# Every file of the install, with /usr as its prefix, and the package's own
# documents, and nothing else.
"$cmake" --install "$build" --prefix "$work/root/usr" >/dev/null
"$cmake" --install "$build" --prefix "$work/root/usr" --component debian >/dev/null
(cd "$work/root" && find . ! -type d | sort) >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort >"$work/packaged"
diff -u "$work/expected" "$work/packaged" || fail "the package does not hold what the install gives"

fields="Depends: $(dpkg-deb -f "$deb" Depends) Recommends: $(dpkg-deb -f "$deb" Recommends)"
echo "$fields"
for wanted in "Depends:.*fonts-wine," "Depends:.*fonts-dejavu-core," "Depends:.*libqt6widgets6 (>= " \
    "Recommends: qt6-wayland$"; do
    echo "$fields" | grep -q "$wanted" || fail "the package's fields lack $wanted"
done

lintian --fail-on error "$deb" || fail "lintian reports errors"

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "Not root, or no apt-get: the package was built and checked with lintian, but not installed."
    exit 0
fi

# One install at a time on this machine, and never over a plinthos that
# someone installed on purpose.
exec 9>/run/lock/plinthos-package-test.lock
flock -w 600 9 || fail "another package test holds the lock"
if dpkg-query -W -f='${Status}' plinthos 2>/dev/null | grep -q " installed$"; then
    echo "plinthos is installed on this machine already: the package was built and checked with lintian, but not installed."
    exit 0
fi

apt="apt-get -q -y -o DPkg::Lock::Timeout=300"
trap 'DEBIAN_FRONTEND=noninteractive $apt remove --purge plinthos >/dev/null 2>&1 || true' EXIT
trap 'exit 1' HUP INT TERM
# Recommends would fetch a Wayland plugin that a run without a display has
# no use for.
DEBIAN_FRONTEND=noninteractive $apt install --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get could not install the package"; }

no_display="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH=/usr/bin:/bin"
answer=$($no_display plinthos --version) || fail "plinthos --version failed"
[ "$answer" = "plinthos $version" ] || fail "plinthos --version printed: $answer"
$no_display plinthos --help | grep -q "^Usage: plinthos " || fail "plinthos --help gave no usage"

dpkg-query -L plinthos >"$work/installed"
grep -qx /usr/bin/plinthos "$work/installed" || fail "dpkg does not list /usr/bin/plinthos"
DEBIAN_FRONTEND=noninteractive $apt remove --purge plinthos >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get could not remove the package"; }
trap - EXIT
if dpkg-query -W -f='${Status}' plinthos 2>/dev/null | grep -q " installed$"; then
    fail "plinthos is still installed"
fi

# A directory may stay when another package owns it or it holds something
# that is not ours; any other path that is still there was left behind.
left=""
while IFS= read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        dpkg-query -S "$path" >/dev/null 2>&1 && continue
        [ -n "$(ls -A "$path")" ] && continue
    fi
    left="$left $path"
done <"$work/installed"
[ -z "$left" ] || fail "left behind after the purge:$left"
echo "Installed, ran --version and --help from PATH without a display, purged: nothing left behind."
