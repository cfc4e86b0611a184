#!/usr/bin/env bash
# The way a test that cannot run is reported, end to end: a small CMake
# project registers tests through tests/run_when_available.sh (one whose
# program is missing, one whose file is missing, a fixture whose setup is
# skipped, one that passes, one that fails), CTest runs them and writes its
# junit file, and scripts/test-summary.sh turns it into test-all's closing
# table, with every skip's reason.
#
# usage: test_summary_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$(cd "${1:?usage: test_summary_test.sh SOURCE_DIR}" && pwd)
wrapper="$source_dir/tests/run_when_available.sh"
summary="$source_dir/scripts/test-summary.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_in() {  # expect_in FILE TEXT WHAT
  grep -qF -- "$2" "$1" || { fail "$3: no '$2' in:"; sed 's/^/    /' "$1"; }
}

# The wrapper alone: a command whose needs are met runs with its own output
# and exit status; a missing need gives 77 and the reason; bad use gives 2.
out=$(bash "$wrapper" --program sh "Debian package dash" --path "$work" "the scratch folder" -- sh -c 'echo ran; exit 3')
rc=$?
[ "$rc" = 3 ] || fail "the wrapped command's exit status is lost: $rc"
[ "$out" = ran ] || fail "the wrapped command's output is lost: '$out'"
out=$(bash "$wrapper" --program no-such-tool-here "Debian package nothing" --path "$work/absent" "made by nobody" -- sh -c 'echo ran')
rc=$?
[ "$rc" = 77 ] || fail "a missing tool: exit status $rc, expected 77"
expected="skipped: no-such-tool-here not found on PATH (Debian package nothing); $work/absent is missing (made by nobody)"
[ "$out" = "$expected" ] || fail "a missing tool: said '$out', expected '$expected'"
bash "$wrapper" --program sh >/dev/null 2>&1; rc=$?
[ "$rc" = 2 ] || fail "--program without WHERE: exit status $rc"
bash "$wrapper" --program sh "x" >/dev/null 2>&1; rc=$?
[ "$rc" = 2 ] || fail "no command: exit status $rc"
bash "$wrapper" --frob -- true >/dev/null 2>&1; rc=$?
[ "$rc" = 2 ] || fail "an unknown need: exit status $rc"

# A project whose tests CTest runs for real.
mkdir -p "$work/src"
cat >"$work/src/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.20)
project(skips NONE)
enable_testing()
set(NEEDS bash $wrapper)
add_test(NAME passes COMMAND \${NEEDS} --program sh "Debian package dash" -- sh -c "echo fine")
add_test(NAME fails COMMAND sh -c "echo 'broken & <worse>'; exit 1")
add_test(NAME needs_a_program COMMAND \${NEEDS} --program no-such-emulator "Debian package no-such" -- no-such-emulator)
add_test(NAME needs_a_file COMMAND \${NEEDS} --path $work/node_modules/x "npm ci in <here> & there" -- true)
add_test(NAME fixture_setup COMMAND \${NEEDS} --program no-such-server "Debian package server" -- true)
set_tests_properties(fixture_setup PROPERTIES FIXTURES_SETUP shared)
add_test(NAME fixture_user COMMAND \${NEEDS} --program no-such-server "Debian package server" -- true)
set_tests_properties(fixture_user PROPERTIES FIXTURES_REQUIRED shared)
set_tests_properties(passes needs_a_program needs_a_file fixture_setup fixture_user PROPERTIES SKIP_RETURN_CODE 77)
EOF
if ! cmake -S "$work/src" -B "$work/build" >"$work/configure.log" 2>&1; then
  cat "$work/configure.log"
  echo "FAIL: the small project does not configure"
  exit 1
fi
(cd "$work/build" && ctest --output-junit "$work/junit.xml" >"$work/ctest.log" 2>&1)
[ -s "$work/junit.xml" ] || { cat "$work/ctest.log"; echo "FAIL: ctest wrote no junit file"; exit 1; }
expect_in "$work/ctest.log" "needs_a_program ..." "CTest lists the skipped test"
grep -qE "needs_a_program \.+\*\*\*Skipped" "$work/ctest.log" || fail "CTest does not report needs_a_program as skipped"

printf 'small\tjunit\t%s\ni686-linux\tnotrun\tqemu-i386 not found on PATH (Debian package qemu-user)\nfuzz\tpassed\t30 s a harness\n' \
  "$work/junit.xml" >"$work/results.tsv"
bash "$summary" "$work/results.tsv" >"$work/summary.txt" 2>&1
rc=$?
[ "$rc" = 1 ] || fail "a failed test: summary exit status $rc, expected 1"
s="$work/summary.txt"
grep -qE '^small +1 +1 +4$' "$s" || { fail "the row of the small build is not 1 passed, 1 failed, 4 skipped:"; sed 's/^/    /' "$s"; }
grep -qE '^i686-linux +- +- +-  not run: qemu-i386 not found on PATH \(Debian package qemu-user\)$' "$s" ||
  fail "the build not tried is not shown with its reason"
grep -qE '^fuzz +1 +0 +0  30 s a harness$' "$s" || fail "the fuzz row is missing"
expect_in "$s" "  small: needs_a_program: no-such-emulator not found on PATH (Debian package no-such)" "a skip's reason"
expect_in "$s" "  small: needs_a_file: $work/node_modules/x is missing (npm ci in <here> & there)" "a reason with markup characters"
expect_in "$s" "  small: fixture_setup: no-such-server not found on PATH (Debian package server)" "a skipped fixture's reason"
expect_in "$s" "  small: fixture_user: no-such-server not found on PATH (Debian package server)" "the fixture's user is skipped too"
expect_in "$s" "  i686-linux: the whole build: qemu-i386" "the build not tried is listed with the skips"
expect_in "$s" "failed:" "the failures are listed"
expect_in "$s" "  small: fails" "the failed test is named"
[ "$(tail -1 "$s")" = "2 passed, 1 failed, 4 skipped" ] || fail "the closing line is '$(tail -1 "$s")'"

# Skips alone do not fail the run.
printf 'small\tnotrun\tclang++ not found on PATH (Debian package clang)\nother\tpassed\tdone\n' >"$work/skips.tsv"
bash "$summary" "$work/skips.tsv" >"$work/skips.txt" 2>&1
rc=$?
[ "$rc" = 0 ] || fail "skips alone: summary exit status $rc, expected 0"
[ "$(tail -1 "$work/skips.txt")" = "1 passed, 0 failed, 0 skipped" ] || fail "skips alone: closing line '$(tail -1 "$work/skips.txt")'"

# Bad input is named.
bash "$summary" "$work/none.tsv" >"$work/bad.txt" 2>&1; rc=$?
[ "$rc" = 2 ] || fail "a missing results file: exit status $rc"
expect_in "$work/bad.txt" "$work/none.tsv: no such readable file" "a missing results file is named"
printf 'x\tjunit\t%s\n' "$work/gone.xml" >"$work/gone.tsv"
bash "$summary" "$work/gone.tsv" >"$work/gone.txt" 2>&1; rc=$?
[ "$rc" = 1 ] || fail "a missing junit file: exit status $rc, expected 1 (a failure)"
expect_in "$work/gone.txt" "no test results ($work/gone.xml missing)" "a missing junit file is named"
printf 'x\tweird\tthing\n' >"$work/weird.tsv"
bash "$summary" "$work/weird.tsv" >"$work/weird.txt" 2>&1; rc=$?
[ "$rc" = 2 ] || fail "an unknown kind: exit status $rc"
expect_in "$work/weird.txt" "unknown kind 'weird' for x" "an unknown kind is named"

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "test summary: all checks passed"
