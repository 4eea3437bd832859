#!/usr/bin/env bash
# The direction of use between the folders, as ARCHITECTURE.md states it: every include a source
# file writes names a folder its own folder may use. The core (io, scenario, reader, compiler)
# never knows the authoring side, the reader never knows the compiler, the diagnostics never
# know the route sheet. Tests may use the test helpers and any part of the core besides.
set -euo pipefail
cd "$(dirname "$0")/.."

core="io scenario reader compiler"
# The folders a folder's own sources may include from, itself included.
allowed() {
  case "$1" in
    io) echo "io" ;;
    scenario) echo "scenario io" ;;
    reader) echo "reader" ;;
    compiler) echo "compiler reader scenario io" ;;
    driver) echo "driver $core" ;;
    authoring/text) echo "authoring/text" ;;
    authoring/route) echo "authoring/route authoring/text $core" ;;
    authoring/diagnostics) echo "authoring/diagnostics authoring/route authoring/text $core" ;;
    authoring/sheet)
      echo "authoring/sheet authoring/diagnostics authoring/route authoring/text $core"
      ;;
    authoring/starter) echo "authoring/starter" ;;
    tools/binario)
      echo "tools/binario authoring/text authoring/route authoring/diagnostics authoring/sheet" \
        "authoring/starter $core"
      ;;
    bench | fuzz | testing) echo "$1 authoring/route authoring/diagnostics authoring/sheet $core" ;;
    *) return 1 ;;
  esac
}

# The sources: those git tracks, or outside a checkout every one but the builds'.
sources() {
  git ls-files '*.cpp' '*.h' 2>/dev/null ||
    find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||'
}

failures=0
while IFS= read -r file; do
  folder=${file%/*}
  if ! may=$(allowed "$folder"); then
    echo "FAIL: $file: its folder $folder has no place in the layers; add it here" >&2
    failures=$((failures + 1))
    continue
  fi
  case "$file" in
    *_test.cpp | *_test_support.h) may="$may testing $core" ;;
  esac
  while IFS= read -r included; do
    used=${included%/*}
    if [[ " $may " != *" $used "* ]]; then
      echo "FAIL: $file includes \"$included\": $folder does not use $used" >&2
      failures=$((failures + 1))
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(sources)

[ "$failures" -eq 0 ] || exit 1
echo "all passed"
