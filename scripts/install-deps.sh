#!/usr/bin/env bash
# Installs the Debian packages a command needs, when they are missing.
# Safe to run again: with everything there it changes nothing.
#
# usage: scripts/install-deps.sh [--for main|test|tools|all] [--print]
#   --for main    the main job (scripts/run-panel.sh): the previewer with
#                 --serve and --video; no i386 package, no Wine, Chromium,
#                 QEMU, mingw, clang or valgrind
#   --for test    everything the test command (scripts/test-all.sh) needs:
#                 the main job's packages and every test tool (default)
#   --for tools   developer tools no command runs (espeak-ng, sox, valgrind)
#   --for all     all of these
#   --print       only print the packages chosen, one a line, and exit
#
# The packages come from the lists in scripts/packages/, one list a purpose;
# a list's "# for:" line names the commands that install it.
#
# A package index that cannot be fetched (a mirror in the middle of a sync)
# is named in one line and the others are used. A package apt refuses is
# named with apt's reason and the rest are installed. Exit status: 0 when
# every package chosen is installed; 3 when some could not be (each was
# named; the tests that need them report skipped); 2 for a wrong option or
# an unreadable list.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
lists_dir="${MORVANE_PACKAGE_LISTS:-$here/packages}"
web_dir="$here/../tests/web"
purpose=test
print_only=0
while (($#)); do
  case "$1" in
    --for) purpose="${2:-}"; shift 2 || { echo "install-deps: --for needs main, test, tools or all" >&2; exit 2; } ;;
    --for=*) purpose="${1#--for=}"; shift ;;
    --print) print_only=1; shift ;;
    -h|--help) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "install-deps: unknown option '$1' (see --help)" >&2; exit 2 ;;
  esac
done
case "$purpose" in
  main|test|tools|all) ;;
  *) echo "install-deps: --for '$purpose': expected main, test, tools or all" >&2; exit 2 ;;
esac

say() { echo "install-deps: $*"; }

# The lists chosen: those whose "# for:" line names the purpose. The test
# command also installs what the main job needs (its lists say both).
packages=()
chosen_lists=()
shopt -s nullglob
list_files=("$lists_dir"/*.txt)
if ((${#list_files[@]} == 0)); then
  echo "install-deps: no package lists (*.txt) in $lists_dir" >&2
  exit 2
fi
for list in "${list_files[@]}"; do
  if [ ! -r "$list" ]; then echo "install-deps: $list: cannot read" >&2; exit 2; fi
  for_line=$(grep -m1 -E '^# for:' "$list" || true)
  if [ -z "$for_line" ]; then echo "install-deps: $list: no '# for:' line naming its commands" >&2; exit 2; fi
  read -r -a for_words <<<"${for_line#\# for:}"
  wanted=0
  for w in "${for_words[@]}"; do
    if [ "$purpose" = all ] || [ "$w" = "$purpose" ]; then wanted=1; fi
  done
  ((wanted)) || continue
  chosen_lists+=("$(basename "$list" .txt)")
  while read -r name _; do
    case "$name" in ''|\#*) continue ;; esac
    if [[ ! "$name" =~ ^[a-z0-9][a-z0-9+.-]*(:[a-z0-9]+)?$ ]]; then
      echo "install-deps: $list: '$name' is not a Debian package name" >&2
      exit 2
    fi
    packages+=("$name")
  done <"$list"
done

if ((print_only)); then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
if ((${#missing[@]})) && [ -n "$SUDO" ] && ! command -v sudo >/dev/null 2>&1; then
  say "not root and sudo is missing, so nothing can be installed; missing: ${missing[*]}"
  exit 3
fi
lock="${MORVANE_APT_LOCK:-/tmp/apt.lock}"
# apt-get, one at a time on this machine (other scripts take the same lock),
# and waiting for dpkg's own lock rather than failing on it.
apt() {
  $SUDO env DEBIAN_FRONTEND=noninteractive flock "$lock" \
    apt-get -q -o DPkg::Lock::Timeout=600 "$@"
}

# apt's reason, in one line, from the log of a refused install: its error
# lines and the first unmet dependencies.
reason_of() {
  awk '
    /^E: / { sub(/^E: /, ""); errors = errors (errors ? "; " : "") $0; next }
    /unmet dependencies:/ { unmet = 1; next }
    unmet && /^ [^ ]/ && shown < 2 { line = $0; gsub(/^ +| +$/, "", line); deps = deps (deps ? "; " : "") line; shown++ }
    END {
      text = errors
      if (deps) text = text (text ? " (" : "(") deps ")"
      if (!text) text = "apt gave no reason"
      if (length(text) > 400) text = substr(text, 1, 397) "..."
      print text
    }' "$1"
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
refused=()

if ((${#missing[@]})); then
  say "installing for '$purpose' (${chosen_lists[*]}): ${missing[*]}"

  # Wine's 32-bit half comes from the i386 architecture: added only when a
  # package of it is wanted.
  for p in "${missing[@]}"; do
    if [[ "$p" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      say "adding the i386 architecture (for $p)"
      $SUDO dpkg --add-architecture i386
      break
    fi
  done

  # A partial index is not the end: each index that failed is named, and
  # the install goes on with the others.
  if ! apt update >"$scratch/update.log" 2>&1; then
    failed=$(grep -E '^[EW]: Failed to fetch ' "$scratch/update.log" |
             sed -E 's/^[EW]: Failed to fetch ([^ ]+) +(.*)$/\1\t\2/')
    if [ -n "$failed" ]; then
      while IFS=$'\t' read -r url why; do
        why=$(sed -E 's/ *\[IP: [^]]*\]//' <<<"$why")
        say "apt-get update could not fetch the index $url ($why); the other indexes are used"
      done <<<"$failed"
    else
      why=$(grep -E '^E: ' "$scratch/update.log" | head -1 | sed 's/^E: //')
      say "apt-get update failed (${why:-no reason given}); the package lists already on this machine are used"
    fi
  fi

  # Everything at once when apt accepts it; otherwise find the packages it
  # refuses, name each with its reason, and install the rest.
  if apt install -s -y --no-install-recommends "${missing[@]}" >"$scratch/all.log" 2>&1 &&
     apt install -y --no-install-recommends "${missing[@]}" >"$scratch/install.log" 2>&1; then
    :
  else
    accepted=()
    for p in "${missing[@]}"; do
      if apt install -s -y --no-install-recommends "$p" >"$scratch/one.log" 2>&1; then
        accepted+=("$p")
      else
        say "cannot install $p: $(reason_of "$scratch/one.log")"
        refused+=("$p")
      fi
    done
    if ((${#accepted[@]})); then
      if ! apt install -y --no-install-recommends "${accepted[@]}" >"$scratch/install.log" 2>&1; then
        # Together they conflict or the download broke: one at a time.
        for p in "${accepted[@]}"; do
          if ! apt install -y --no-install-recommends "$p" >"$scratch/one.log" 2>&1; then
            say "cannot install $p: $(reason_of "$scratch/one.log")"
            refused+=("$p")
          fi
        done
      fi
    fi
  fi
  # What apt said it did is not proof: each package is checked.
  for p in "${missing[@]}"; do
    if ! installed "$p" && [[ " ${refused[*]} " != *" $p "* ]]; then
      say "cannot install $p: apt-get finished but dpkg does not list it as installed"
      refused+=("$p")
    fi
  done
else
  say "the ${#packages[@]} packages for '$purpose' (${chosen_lists[*]}) are installed"
fi

# The browser tests drive Chromium with playwright-core from the npm
# registry (no browser download).
if [[ " ${packages[*]} " == *" npm "* ]] && [ -f "$web_dir/package.json" ] &&
   [ ! -d "$web_dir/node_modules/playwright-core" ]; then
  if ! command -v npm >/dev/null 2>&1; then
    say "npm is missing: tests/web/node_modules not installed; the browser tests report skipped"
  elif ! (cd "$web_dir" && npm ci --no-audit --no-fund --silent) >"$scratch/npm.log" 2>&1; then
    say "npm ci in tests/web failed ($(grep -m1 -iE 'err' "$scratch/npm.log" || echo 'no reason given')); the browser tests report skipped"
  fi
fi

if ((${#refused[@]})); then
  say "not installed: ${refused[*]}; everything else is"
  exit 3
fi
exit 0
