#!/usr/bin/env bash
# Sets everything up, builds and starts Tarvex.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build"
exec "$top/build/src/app/tarvex" "$@"
