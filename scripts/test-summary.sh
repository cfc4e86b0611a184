#!/usr/bin/env bash
# Prints the closing table of scripts/test-all.sh from its list of results:
# per build, the tests passed, failed and skipped, each skip with its
# reason and each failure by name, then one line "N passed, N failed,
# N skipped". Exits 1 when something failed, 0 otherwise (skips do not
# fail the run).
#
# usage: scripts/test-summary.sh RESULTS
# RESULTS has one line a build, fields separated by tabs:
#   NAME  junit  FILE      CTest's --output-junit file of that build
#   NAME  notrun REASON    the build was not tried (a tool is missing)
#   NAME  failed REASON    the build did not configure or compile
#   NAME  passed TEXT      a step that is not a CTest run (the fuzz run)
set -uo pipefail

if (($# != 1)); then
  echo "usage: test-summary.sh RESULTS" >&2
  exit 2
fi
results=$1
if [ ! -f "$results" ] || [ ! -r "$results" ]; then
  echo "test-summary: $results: no such readable file" >&2
  exit 2
fi

# One junit file: a line per test, "STATUS<TAB>NAME<TAB>REASON", STATUS one
# of passed, failed, skipped.
read_junit() {
  awk '
    function decode(s) {
      gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s)
      gsub(/&apos;/, "\047", s); gsub(/&#10;/, " ", s); gsub(/&amp;/, "\\&", s)
      return s
    }
    function attr(line, key,   m) {
      if (match(line, " " key "=\"[^\"]*\"")) {
        m = substr(line, RSTART + length(key) + 3, RLENGTH - length(key) - 4)
        return decode(m)
      }
      return ""
    }
    function flush() {
      if (name == "") return
      if (status == "run") print "passed\t" name "\t"
      else if (status == "fail") print "failed\t" name "\t"
      else {
        why = reason != "" ? reason : (skipmsg != "" ? skipmsg : status)
        print "skipped\t" name "\t" why
      }
      name = ""
    }
    /<testcase / {
      flush()
      name = attr($0, "name"); status = attr($0, "status")
      reason = ""; skipmsg = ""; inout = 0
    }
    /<skipped / { skipmsg = attr($0, "message") }
    {
      line = $0
      if (line ~ /<system-out>/) { inout = 1; sub(/.*<system-out>/, "", line) }
      if (inout && reason == "") {
        text = line; sub(/<\/system-out>.*/, "", text); text = decode(text)
        if (tolower(text) ~ /skipped:/) {
          sub(/.*[Ss][Kk][Ii][Pp][Pp][Ee][Dd]: */, "", text)
          gsub(/^[ \t]+|[ \t\r]+$/, "", text)
          reason = text
        }
      }
      if (line ~ /<\/system-out>/) inout = 0
    }
    /<\/testcase>/ { flush() }
    END { flush() }
  ' "$1"
}

passed_all=0 failed_all=0 skipped_all=0
table=""
skips=""
failures=""
while IFS=$'\t' read -r build kind detail; do
  [ -n "$build" ] || continue
  case "$kind" in
    junit)
      if [ ! -r "$detail" ]; then
        table+=$(printf '%-12s %8s %8s %8s  %s' "$build" - - - "no test results ($detail missing)")$'\n'
        failed_all=$((failed_all + 1))
        failures+="  $build: no test results ($detail missing)"$'\n'
        continue
      fi
      p=0 f=0 s=0
      while IFS=$'\t' read -r st name why; do
        case "$st" in
          passed) p=$((p + 1)) ;;
          failed) f=$((f + 1)); failures+="  $build: $name"$'\n' ;;
          skipped) s=$((s + 1)); skips+="  $build: $name: $why"$'\n' ;;
        esac
      done < <(read_junit "$detail")
      table+=$(printf '%-12s %8d %8d %8d' "$build" "$p" "$f" "$s")$'\n'
      passed_all=$((passed_all + p)); failed_all=$((failed_all + f)); skipped_all=$((skipped_all + s)) ;;
    notrun)
      table+=$(printf '%-12s %8s %8s %8s  %s' "$build" - - - "not run: $detail")$'\n'
      skips+="  $build: the whole build: $detail"$'\n' ;;
    failed)
      table+=$(printf '%-12s %8s %8d %8s  %s' "$build" - 1 - "$detail")$'\n'
      failed_all=$((failed_all + 1))
      failures+="  $build: $detail"$'\n' ;;
    passed)
      table+=$(printf '%-12s %8d %8d %8d  %s' "$build" 1 0 0 "$detail")$'\n'
      passed_all=$((passed_all + 1)) ;;
    *)
      echo "test-summary: $results: unknown kind '$kind' for $build" >&2
      exit 2 ;;
  esac
done <"$results"

echo "=== summary"
printf '%-12s %8s %8s %8s\n' build passed failed skipped
printf '%s' "$table"
if [ -n "$skips" ]; then
  echo "skipped (not a failure; install what is named to run them):"
  printf '%s' "$skips"
fi
if [ -n "$failures" ]; then
  echo "failed:"
  printf '%s' "$failures"
fi
echo "$passed_all passed, $failed_all failed, $skipped_all skipped"
((failed_all == 0))
