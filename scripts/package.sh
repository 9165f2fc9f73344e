#!/usr/bin/env bash
# Sets everything up, builds, and makes the Debian package build/tarvex_<version>_<arch>.deb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build"
(cd "$top/build" && cpack -G DEB)
