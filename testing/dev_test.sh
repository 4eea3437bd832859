#!/usr/bin/env bash
# Tests of ./dev's set-up against package databases of our own making (dpkg-query reads the
# one DPKG_ADMINDIR names): which packages count as missing, that each verb asks only for its
# own, and what a user who cannot install is told. Nothing is installed.
set -euo pipefail
dev="$(cd "$(dirname "$0")/.." && pwd)/dev"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A package database at $work/NAME holding the given packages as "PACKAGE STATE" pairs, where
# STATE is "installed" or "config-files" (what `apt-get remove` leaves behind).
database() {
  local dir="$work/$1"
  shift
  mkdir -p "$dir/info" "$dir/updates"
  : >"$dir/status"
  while [ $# -gt 0 ]; do
    local want=install
    [ "$2" = installed ] || want=deinstall
    printf 'Package: %s\nStatus: %s ok %s\nMaintainer: n/a\nArchitecture: amd64\nVersion: 1\nDescription: n/a\n\n' \
      "$1" "$want" "$2" >>"$dir/status"
    shift 2
  done
  echo "$dir"
}

# The packages ./dev says VERB lacks, on one line, against the database $1.
missing() { DPKG_ADMINDIR="$1" "$dev" missing "$2" | tr '\n' ' ' | sed 's/ $//'; }

expect() {
  local name=$1 actual=$2 expected=$3
  [ "$actual" = "$expected" ] || fail "$name: got '$actual', expected '$expected'"
}

native="cmake ninja-build g++ libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev"
browser="chromium chromium-driver python3 fonts-dejavu-core"
lint="eslint"

# A machine with the native toolchain and the browser, but for two libraries removed with
# apt-get remove.
partial=$(database partial cmake installed ninja-build installed g++ installed \
  libgtest-dev installed libbenchmark-dev installed googletest installed \
  libcli11-dev config-files nlohmann-json3-dev config-files chromium installed \
  chromium-driver installed python3 installed fonts-dejavu-core installed eslint installed)
for verb in run test asan; do
  expect "$verb lacks the removed libraries" "$(missing "$partial" "$verb")" \
    "libcli11-dev nlohmann-json3-dev"
done
# The whole-run benchmark also needs its timer.
expect "bench lacks its tools too" "$(missing "$partial" bench)" \
  "libcli11-dev nlohmann-json3-dev hyperfine time"
# The cross build and the fuzzers ask for their own tools, never for each other's.
expect "windows-test lacks its own tools" "$(missing "$partial" windows-test)" \
  "libcli11-dev nlohmann-json3-dev g++-mingw-w64-x86-64 wine wine64 xvfb xauth"
expect "fuzz lacks clang only" "$(missing "$partial" fuzz)" "clang libclang-rt-14-dev"

# With the packages all there, nothing is missing.
# shellcheck disable=SC2046
complete=$(database complete $(for p in $native $browser $lint; do echo "$p installed"; done))
for verb in run test asan; do
  expect "$verb on a complete machine" "$(missing "$complete" "$verb")" ""
done

# Without the browser, only the verbs that run the route sheet's tests or benchmark lack it, and
# the verbs that run the tests lack the linter of its script too.
# shellcheck disable=SC2046
no_browser=$(database no_browser $(for p in $native; do echo "$p installed"; done))
expect "run without the browser" "$(missing "$no_browser" run)" ""
for verb in test asan; do
  expect "$verb without the browser" "$(missing "$no_browser" "$verb")" "$browser $lint"
done
expect "bench without the browser" "$(missing "$no_browser" bench)" "$browser hyperfine time"

# An empty database: every package is missing.
empty=$(database empty)
expect "test on an empty machine" "$(missing "$empty" test)" "$native $browser $lint"
expect "run on an empty machine" "$(missing "$empty" run)" "$native"

# A user who is not root and has no sudo is told the exact line to run, and nothing is built.
if command -v sudo >/dev/null; then
  echo "skipped: sudo is installed, and the set-up would use it"
else
  as_user=()
  user_dev=$dev
  if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    # The clone may lie where no other user can enter (under /root, in a folder of mode 0700):
    # nobody runs a copy of the script from the test's own folder. It stops before it needs
    # anything else of the clone.
    user_dev="$work/dev"
    cp "$dev" "$user_dev"
    chmod 755 "$user_dev"
  fi
  status=0
  output=$(DPKG_ADMINDIR="$partial" "${as_user[@]}" "$user_dev" test 2>&1 >/dev/null) || status=$?
  expect "status without the means to install" "$status" 2
  case "$output" in
    *"as root, run: apt-get update && apt-get install -y --no-install-recommends libcli11-dev nlohmann-json3-dev"*) ;;
    *) fail "the apt-get line is missing from: $output" ;;
  esac
fi

[ "$failures" -eq 0 ] || exit 1
echo "all passed"
