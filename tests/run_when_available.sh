#!/usr/bin/env bash
# Runs a test's command when the tools it needs are on this machine, and
# otherwise says which are missing and exits 77, which CTest reports as
# skipped (the tests that use it set SKIP_RETURN_CODE 77). The check is
# made when the test runs, so a tool installed or removed after the build
# was configured is seen.
#
# usage: run_when_available.sh [NEED]... -- COMMAND [ARG]...
#   --program NAME WHERE   NAME must be found on PATH
#   --path PATH WHERE      PATH must exist (a file or a folder)
#   --wine32               Wine's 32-bit half must be installed
# WHERE says where the tool comes from ("Debian package chromium").
set -uo pipefail

missing=()
while (($#)); do
  case "$1" in
    --program)
      (($# >= 3)) || { echo "run_when_available: --program needs NAME and WHERE" >&2; exit 2; }
      command -v "$2" >/dev/null 2>&1 || missing+=("$2 not found on PATH ($3)")
      shift 3 ;;
    --path)
      (($# >= 3)) || { echo "run_when_available: --path needs PATH and WHERE" >&2; exit 2; }
      [ -e "$2" ] || missing+=("$2 is missing ($3)")
      shift 3 ;;
    --wine32)
      # Debian's wine32 puts its 32-bit loader beside the 64-bit one; without
      # it the wine command runs 32-bit programs not at all.
      if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" &&
         [ ! -x /usr/lib/wine/wine ]; then
        missing+=("Wine's 32-bit half is not installed (Debian package wine32:i386)")
      fi
      shift ;;
    --) shift; break ;;
    *) echo "run_when_available: unknown need '$1'" >&2; exit 2 ;;
  esac
done
if (($# == 0)); then
  echo "run_when_available: no command after --" >&2
  exit 2
fi
if ((${#missing[@]})); then
  reason=$(printf '%s; ' "${missing[@]}")
  echo "skipped: ${reason%; }"
  exit 77
fi
exec "$@"
