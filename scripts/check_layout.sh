#!/usr/bin/env bash
# Fails when the layers leak: the engine includes Qt or the application, or a page includes the
# main window's header instead of getting what it needs.
set -uo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2
status=0
if hits=$(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z]|qt|app/)' src/core); then
  echo "src/core must not include Qt or src/app:"; echo "$hits"; status=1
fi
if hits=$(grep -rnE '^\s*#\s*include\s*"app/shell/fm_main\.h"' src/app | grep -vE '^src/app/(shell/|main\.cpp)'); then
  echo "pages must not include the main window's header:"; echo "$hits"; status=1
fi
[ $status -eq 0 ] && echo "layout rules hold"
exit $status
