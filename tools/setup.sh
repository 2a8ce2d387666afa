#!/usr/bin/env bash
# Installs what Zyn needs to build, test and fill on Debian 12, if it is missing. Run as root.
set -euo pipefail
pkgs="cmake g++ make pkg-config libgtk2.0-dev libpcre2-dev googletest libgtest-dev
      wbritish wbritish-huge wbritish-insane scowl time clang libclang-rt-14-dev
      xvfb xauth x11-utils imagemagick fonts-dejavu-core xdotool librsvg2-bin ghostscript libxml2-utils poppler-utils
      python3-dogtail libatk-adaptor libgail-common dbus-daemon dbus-bin at-spi2-core xclip nodejs npm
      dpkg-dev lintian desktop-file-utils shared-mime-info xdg-utils man-db libglib2.0-bin"
missing=""
for p in $pkgs; do
  # Node and npm run the tests' independent ipuz reader. A node already on the path (from
  # whatever source) is used as it is; Debian's packages come only where it is missing.
  case $p in
    nodejs) command -v node >/dev/null 2>&1 && continue ;;
    npm) command -v npm >/dev/null 2>&1 && continue ;;
  esac
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
fi

# The npm reader itself, pinned by tools/npm/package-lock.json and kept out of git; once
# installed, the registry is not asked again.
npmdir="$(dirname "$0")/npm"
if [ ! -f "$npmdir/node_modules/@xwordly/xword-parser/package.json" ]; then
  echo "installing the npm reader in $npmdir"
  (cd "$npmdir" && npm ci --no-audit --no-fund --prefer-offline >/dev/null)
fi
