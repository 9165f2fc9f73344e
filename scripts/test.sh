#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite, then the engine
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build"
(cd "$top/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600)
"$top/scripts/check_package.sh" "$top/build"
"$top/scripts/build.sh" "$top/build-asan" -DTARVEX_SANITIZE=ON -DTARVEX_BUILD_APP=OFF -DCMAKE_BUILD_TYPE=Debug
(cd "$top/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --timeout 600)
