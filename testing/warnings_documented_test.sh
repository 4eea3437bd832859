#!/usr/bin/env bash
# Every warning binario gives has its row in the README's table of warnings, by its name, and its
# long explanation in authoring/diagnostics/warnings.md, in the four parts binario explain
# prints.
set -euo pipefail
cd "$(dirname "$0")/.."

# A warning's name is the one kind of text the checks write in lower case with dashes.
names=$( {
  grep -ohE '"[a-z]+(-[a-z0-9]+)+"' authoring/diagnostics/check*.cpp authoring/diagnostics/checker.h
  grep -ohE 'check = "[a-z0-9-]+"|warn(_file)?\(\s*"[a-z0-9-]+"' authoring/diagnostics/*.cpp
} | grep -oE '"[a-z0-9-]+"' | tr -d '"' | sort -u)
[ -n "$names" ] || {
  echo "FAIL: no warning names found in authoring/diagnostics/" >&2
  exit 1
}
failures=0
explanations=authoring/diagnostics/warnings.md
for name in $names; do
  if ! grep -q "^| .*\`$name\`.* |" README.md; then
    echo "FAIL: the warning $name has no row in the README's table" >&2
    failures=$((failures + 1))
  fi
  section=$(awk -v name="## $name" '$0 == name { on = 1; next } /^## / { on = 0 } on' \
    "$explanations")
  for part in "**What it means.**" "**Why it matters.**" "**Example.**" "**Instead.**"; do
    if ! grep -qF -- "$part" <<<"$section"; then
      echo "FAIL: the warning $name has no '$part' in $explanations" >&2
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ] || exit 1
echo "all $(wc -w <<<"$names") warnings documented"
