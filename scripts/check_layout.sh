#!/usr/bin/env bash
# Fails when the layers leak: the engine includes Qt or the application; a page includes anything of
# the window's room (it gets what it needs handed down instead); the widget kit or the services
# include a page or the window.
set -uo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2
status=0
include='^\s*#\s*include\s*[<"]'
pages='compare|filter|folder|help|list|log|progress'
if hits=$(grep -rnE "${include}(Q[A-Za-z]|qt|app/)" src/core); then
  echo "src/core must not include Qt or src/app:"; echo "$hits"; status=1
fi
if hits=$(grep -rnE "${include}app/window/" src/app | grep -vE '^src/app/(window/|main\.cpp)'); then
  echo "pages, widgets and services must not include the window's room:"; echo "$hits"; status=1
fi
if hits=$(grep -rnE "${include}app/(${pages})/" src/app/widgets src/app/services); then
  echo "the widget kit and the services must not include a page:"; echo "$hits"; status=1
fi
[ $status -eq 0 ] && echo "layout rules hold"
exit $status
