#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program need.
# Idempotent: prints nothing and changes nothing when everything is present.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libcurl4-openssl-dev libsmbclient-dev libzip-dev zlib1g-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # tests: archive oracles and the real servers on loopback
  p7zip-full unzip zip libarchive-tools samba smbclient
  openssl ca-certificates python3 python3-pyftpdlib python3-openssl python3-aiosmtpd microsocks tinyproxy
  # benchmarks
  rsync time
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
