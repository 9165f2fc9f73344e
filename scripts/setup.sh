#!/usr/bin/env bash
# Installs what Tarvex needs to build, test and show Japanese text on Debian 12.
set -euo pipefail
# fusefat and dosfstools: the copy test on a real FAT volume through FUSE (skipped without them).
packages=(cmake ninja-build g++ pkg-config libgtest-dev qt6-base-dev libglib2.0-dev libxcb1-dev libicu-dev
          fonts-ipafont-gothic tzdata xvfb xauth libqt6svg6 desktop-file-utils appstream fusefat dosfstools
          # the report's compression, and a reader and a spreadsheet converter for its tests (~15 s)
          zlib1g-dev python3-openpyxl gnumeric
          # the content check's digest, and the reference its benchmark runs beside it
          libxxhash-dev rsync
          # the scan's batched lookups (io_uring)
          liburing-dev
          # a private sshd and an sshfs mount for the network-root test (skipped without them)
          sshfs openssh-server openssh-client)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
