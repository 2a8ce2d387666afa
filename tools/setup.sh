#!/usr/bin/env bash
# Installs what Zyn needs to build, test and fill on Debian 12, if it is missing. Run as root.
set -euo pipefail
pkgs="cmake g++ make pkg-config libgtk2.0-dev libpcre2-dev googletest libgtest-dev
      wbritish wbritish-huge wbritish-insane time clang libclang-rt-14-dev
      xvfb xauth x11-utils imagemagick fonts-dejavu-core xdotool librsvg2-bin ghostscript libxml2-utils
      python3-dogtail libatk-adaptor libgail-common dbus-daemon dbus-bin at-spi2-core xclip
      dpkg-dev lintian desktop-file-utils shared-mime-info xdg-utils man-db libglib2.0-bin"
missing=""
for p in $pkgs; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
fi
