#!/usr/bin/env bash
# Builds Zyn's Debian package, build-deb/zyn_<version>_amd64.deb: a release build for /usr with
# Debian's hardening flags, packed by CPack (which computes Depends with dpkg-shlibdeps), then
# checked with lintian, whose errors fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CFLAGS CXXFLAGS LDFLAGS
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZYN_TESTS=OFF -DZYN_BENCH=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" >/dev/null
rm -f build-deb/zyn_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(ls build-deb/zyn_*.deb)
lintian --fail-on error --display-info "$deb"
echo "built $deb"
