#!/usr/bin/env bash
# Makes the Debian package from a build folder and checks it as a desktop would take it: its
# contents, the desktop entry and the AppStream metainfo, and the extracted program starting.
set -euo pipefail
build=${1:?build folder}
top=$(cd "$(dirname "$0")/.." && pwd)
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/tarvex_*.deb | head -n1)
echo "package: $deb"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/tarvex ./usr/share/applications/org.tarvex.Tarvex.desktop \
            ./usr/share/icons/hicolor/scalable/apps/org.tarvex.Tarvex.svg \
            ./usr/share/metainfo/org.tarvex.Tarvex.metainfo.xml ./usr/share/tarvex/tarvex.txt; do
  grep -qx "$path" <<<"$contents" || { echo "missing in the package: $path"; exit 1; }
done
dpkg-deb -f "$deb" Depends
desktop-file-validate "$top/data/org.tarvex.Tarvex.desktop"
appstreamcli validate --no-net --pedantic "$top/data/org.tarvex.Tarvex.metainfo.xml"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
# The program must still be running when the timeout ends it: it started and showed its window.
status=0
HOME="$root/home" XDG_CONFIG_HOME="$root/config" QT_QPA_PLATFORM=offscreen \
  timeout 5 "$root/usr/bin/tarvex" || status=$?
if [ "$status" -ne 124 ]; then
  echo "the extracted program ended by itself with status $status"
  exit 1
fi
echo "package checks passed"
