#!/usr/bin/env bash
# Installs Zyn's Debian package as a user would, with apt-get so that its dependencies come too:
# first an older release of it (the same package relabelled), then the package over it. Runs the
# installed programs on the installed examples and word list, checks that the desktop opens Zyn
# documents with Zyn, removes and purges the package, and checks that a user's preferences and
# word lists made before the install are still there, unchanged. Run as root.
#   bash tools/packagetest.sh build-deb/zyn_<version>_amd64.deb
set -euo pipefail
deb=$(readlink -f "$1")
work=$(mktemp -d /tmp/zynpkg.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@" >apt.log 2>&1 || { cat apt.log; exit 1; }; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# The index cache Zyn writes while it runs (possibly finished by a child after it exits) goes
# outside the home folder, which is compared at the end.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/cache
mkdir -p "$XDG_CONFIG_HOME/Zyn"
printf 'startup_al 3\nexport_EPS_square_points 20\n' >"$XDG_CONFIG_HOME/Zyn/Zyn.ini"
printf 'zyzzyva;90\nnever;0\n' >"$XDG_CONFIG_HOME/Zyn/personal-words.txt"
printf 'cat\ncot\n' >"$HOME/mywords.txt"
cp -a "$HOME" home.before

dpkg-deb -R "$deb" old
sed -i 's/^Version: .*/Version: 0.0~older/' old/DEBIAN/control
dpkg-deb -b old old.deb >/dev/null
apt_get install ./old.deb
[[ $(dpkg-query -W -f '${Version}' zyn) == "0.0~older" ]] || fail "the older package is not installed"
apt_get install "$deb"
version=$(dpkg-deb -f "$deb" Version)
[[ $(dpkg-query -W -f '${Version}' zyn) == "$version" ]] || fail "the upgrade to $version did not happen"
echo "installed zyn $version over an older release"

[[ $(command -v zyn) == /usr/bin/zyn && $(command -v zyn-export) == /usr/bin/zyn-export ]] || fail "programs not in /usr/bin"
zyn -b /usr/share/doc/zyn/examples/jumbles.deck >batch.txt || fail "zyn -b on the installed deck failed"
grep -q '^W0 ' batch.txt || fail "zyn -b printed: $(head -n 3 batch.txt)"
zyn-export /usr/share/doc/zyn/examples/blocked15.zyn png blocked15.png || fail "zyn-export failed"
[[ $(head -c 4 blocked15.png | od -An -c | tr -d ' ') == '211PNG' ]] || fail "zyn-export wrote no PNG"
# A deck that names no word list fills from the everyday list the package installs.
[[ -s /usr/share/zyn/words-british.txt ]] || fail "no /usr/share/zyn/words-british.txt"
printf 'r1c1 r1c2 r1c3 r1c4 r1c5\n' >plain.deck
zyn -b plain.deck >plain.txt 2>plain.err || fail "zyn -b without a word list failed"
[[ ! -s plain.err && $(head -n 1 plain.txt) =~ ^W0\ [A-Z]{5}$ ]] ||
  fail "zyn did not fill from its everyday list: $(cat plain.err plain.txt)"
# The window's program, which zyn runs in its place for the window and the -D trace, is found in
# /usr/lib/zyn and finds the everyday list from there.
zyn -D0 -b plain.deck >trace.txt 2>trace.err || fail "zyn -D0 -b failed: $(cat trace.err)"
grep -q '^gtk version 2\.' trace.txt && grep -Eq '^W0 [A-Z]{5}$' trace.txt ||
  fail "zyn -D0 -b did not run the window's program: $(cat trace.err; head -n 12 trace.txt)"
env -u DISPLAY zyn >window.txt 2>&1 && fail "zyn without a display succeeded"
grep -q 'cannot open the display' window.txt || fail "zyn without a display said: $(cat window.txt)"
echo "installed zyn -b and zyn-export ran on the installed examples and its everyday word list;"
echo "zyn ran the window's program"

got=$(xdg-mime query default application/x-zyn)
[[ $got == zyn.desktop ]] || fail "xdg-mime query default application/x-zyn gives '$got'"
man -w zyn zyn-export >/dev/null || fail "man does not find the manual pages"
echo "xdg-mime: application/x-zyn opens with $got; man finds both pages"

apt_get remove zyn
[[ ! -e /usr/bin/zyn ]] || fail "zyn is still installed"
apt_get install "$deb"
apt_get purge zyn
[[ -z $(dpkg-query -W -f '${Status}' zyn 2>/dev/null | grep ' installed$') ]] || fail "zyn is still installed"
diff -r home.before "$HOME" || fail "removing the package changed the user's files"
echo "removed and purged; the user's preferences and word list are unchanged"
