#!/usr/bin/env bash
# scripts/install-deps.sh on a machine whose package archive is half
# broken, as a new user meets it in the middle of a mirror sync: one index
# fails to download and one package is refused. apt-get, dpkg, dpkg-query,
# sudo and npm are stand-ins written here, first on PATH; they record what
# they are asked and keep a pretend package database in a scratch folder,
# so the real system is never touched.
#
# usage: install_deps_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$(cd "${1:?usage: install_deps_test.sh SOURCE_DIR}" && pwd)
script="$source_dir/scripts/install-deps.sh"

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fake="$work/bin"
mkdir -p "$fake"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_in() {  # expect_in FILE TEXT WHAT
  grep -qF -- "$2" "$1" || { fail "$3: no '$2' in:"; sed 's/^/    /' "$1"; }
}
expect_not_in() {
  if grep -qF -- "$2" "$1"; then fail "$3: '$2' found in:"; sed 's/^/    /' "$1"; fi
}

# The pretend machine: $STATE/installed (one package a line), $STATE/arches,
# $STATE/calls (every command the script ran). REFUSE names the package
# apt cannot install; BROKEN_INDEX=yes makes update fail for one list,
# BROKEN_INDEX=all makes it fail without fetching anything.
cat >"$fake/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
args=() simulate=0 cmd=""
while (($#)); do
  case "$1" in
    -o) shift 2; continue ;;
    -s) simulate=1 ;;
    -*) ;;
    update|install) cmd=$1 ;;
    *) args+=("$1") ;;
  esac
  shift
done
case "$cmd" in
  update)
    echo "Get:1 http://deb.example.invalid/debian bookworm InRelease [151 kB]"
    if [ "${BROKEN_INDEX:-}" = yes ]; then
      echo "Err:4 http://deb.example.invalid/debian-security bookworm-security/main i386 Packages"
      echo "  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.80 80]"
      echo "Reading package lists..."
      echo "E: Failed to fetch http://deb.example.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.80 80]" >&2
      echo "   Hashes of expected file:" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    elif [ "${BROKEN_INDEX:-}" = all ]; then
      echo "E: The repository is not signed." >&2
      exit 100
    fi
    exit 0 ;;
  install)
    for p in "${args[@]}"; do
      if [ "$p" = "${UNKNOWN:-}" ]; then
        echo "Reading package lists..."
        echo "E: Unable to locate package $p" >&2
        exit 100
      fi
      if [ "$p" = "${REFUSE:-}" ]; then
        echo "Some packages could not be installed. This may mean that you have"
        echo "The following packages have unmet dependencies:"
        echo " libglib2.0-0:i386 : Depends: libpcre2-8-0:i386 (>= 10.22) but it is not going to be installed"
        echo "                     Depends: zlib1g:i386 (>= 1:1.2.2) but it is not going to be installed"
        echo " libxml2:i386 : Depends: liblzma5:i386 (>= 5.1.1) but it is not going to be installed"
        echo " libkrb5-3:i386 : Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100
      fi
    done
    if ((simulate == 0)); then printf '%s\n' "${args[@]}" >>"$STATE/installed"; fi
    exit 0 ;;
esac
echo "E: stand-in apt-get: unexpected call" >&2
exit 100
EOF
cat >"$fake/dpkg-query" <<'EOF'
#!/usr/bin/env bash
echo "dpkg-query $*" >>"$STATE/calls"
p=${!#}
if grep -qxF -- "$p" "$STATE/installed" 2>/dev/null; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching $p" >&2
exit 1
EOF
cat >"$fake/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case "$1" in
  --print-foreign-architectures) cat "$STATE/arches" 2>/dev/null; exit 0 ;;
  --add-architecture) echo "$2" >>"$STATE/arches"; exit 0 ;;
esac
exit 2
EOF
cat >"$fake/sudo" <<'EOF'
#!/usr/bin/env bash
echo "sudo $*" >>"$STATE/calls"
exec "$@"
EOF
cat >"$fake/npm" <<'EOF'
#!/usr/bin/env bash
echo "npm $* in $PWD" >>"$STATE/calls"
echo "npm ERR! network request to the registry failed" >&2
exit 1
EOF
chmod +x "$fake"/*

# Runs the script on a fresh pretend machine: run NAME [ENV=VALUE]... -- ARGS
run() {
  local name=$1; shift
  local -a envs=()
  while [ "$1" != -- ]; do envs+=("$1"); shift; done
  shift
  export STATE="$work/$name"
  mkdir -p "$STATE"
  : >"$STATE/calls"
  touch "$STATE/installed" "$STATE/arches"
  env PATH="$fake:$PATH" MORVANE_APT_LOCK="$work/apt.lock" "${envs[@]}" \
    bash "$script" "$@" >"$STATE/out" 2>&1
  echo $? >"$STATE/rc"
}
rc_of() { cat "$work/$1/rc"; }

# 1. The test command's packages with the i386 security index broken and
# Wine's 32-bit half refused.
run broken BROKEN_INDEX=yes REFUSE=wine32:i386 -- --for test
out="$work/broken/out"
[ "$(rc_of broken)" = 3 ] || fail "a refused package: exit status $(rc_of broken), expected 3"
expect_in "$out" "install-deps: apt-get update could not fetch the index http://deb.example.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz (File has unexpected size (374820 != 376004). Mirror sync in progress?); the other indexes are used" \
  "the failed index is named in one line"
[ "$(grep -c 'could not fetch' "$out")" = 1 ] || fail "the failed index is named more than once"
expect_in "$out" "install-deps: cannot install wine32:i386: Unable to correct problems, you have held broken packages. (libglib2.0-0:i386 : Depends: libpcre2-8-0:i386" \
  "the refused package is named with apt's reason"
expect_in "$out" "install-deps: not installed: wine32:i386; everything else is" "the closing line names what is missing"
expect_not_in "$out" "cannot install wine " "only the refused package is named"
# Everything else of the test command's lists was installed.
bash "$script" --for test --print | grep -vxF wine32:i386 | sort >"$work/wanted"
sort -u "$work/broken/installed" >"$work/got"
if ! cmp -s "$work/wanted" "$work/got"; then
  fail "the rest was not installed:"; diff "$work/wanted" "$work/got" | sed 's/^/    /'
fi
[ "$(wc -l <"$work/wanted")" -gt 20 ] || fail "the test command chose only $(wc -l <"$work/wanted") packages"
expect_in "$work/broken/calls" "dpkg --add-architecture i386" "the i386 architecture is added for wine32:i386"
if [ ! -d "$source_dir/tests/web/node_modules/playwright-core" ]; then
  expect_in "$work/broken/calls" "npm ci" "npm ci is run for the browser tests"
  expect_in "$out" "npm ci in tests/web failed (npm ERR! network request to the registry failed); the browser tests report skipped" \
    "a failed npm ci is said"
fi

# 2. The main job: its packages only, with no i386 package, no i386
# architecture, none of the test tools.
run main BROKEN_INDEX=yes REFUSE=wine32:i386 -- --for main
[ "$(rc_of main)" = 0 ] || { fail "the main job: exit status $(rc_of main), expected 0"; sed 's/^/    /' "$work/main/out"; }
expect_not_in "$work/main/calls" "--add-architecture" "the main job adds no architecture"
expect_not_in "$work/main/calls" ":i386" "the main job asks for no i386 package"
for tool in wine chromium qemu-user g++-mingw-w64-i686 clang valgrind googletest npm; do
  if grep -qxF "$tool" "$work/main/installed"; then fail "the main job installed $tool"; fi
done
for needed in cmake ninja-build g++ libpng-dev libavcodec-dev libcpp-httplib-dev libboost-dev nlohmann-json3-dev libqrencode-dev; do
  case "$needed" in g++) needed=build-essential ;; esac
  grep -qxF "$needed" "$work/main/installed" || fail "the main job did not install $needed"
done
expect_in "$work/main/out" "the other indexes are used" "the main job also says which index failed"
expect_not_in "$work/main/calls" "npm" "the main job runs no npm"

# 3. Run again on a machine that has everything: apt is not called.
export STATE="$work/main"
: >"$STATE/calls"
env PATH="$fake:$PATH" MORVANE_APT_LOCK="$work/apt.lock" bash "$script" --for main >"$STATE/out2" 2>&1
rc=$?
[ "$rc" = 0 ] || fail "a second run: exit status $rc"
expect_not_in "$STATE/calls" "apt-get" "a second run calls apt-get"
expect_in "$STATE/out2" "packages for 'main'" "a second run says all is installed"

# 4. apt-get update fails without fetching anything: said, and the lists
# already there are used.
run noindex BROKEN_INDEX=all -- --for main
[ "$(rc_of noindex)" = 0 ] || fail "update failing whole: exit status $(rc_of noindex)"
expect_in "$work/noindex/out" "apt-get update failed (The repository is not signed.); the package lists already on this machine are used" \
  "an update that fails whole is said"

# 5. A name apt does not know, beside a package it refuses: each is named
# with its own reason and the others of the list are installed.
mkdir -p "$work/lists"
printf '# A list of a purpose.\n# for: main\nlibpng-dev\nno-such-package\nwine32:i386\nzlib1g-dev\n' >"$work/lists/a.txt"
run unknown UNKNOWN=no-such-package REFUSE=wine32:i386 MORVANE_PACKAGE_LISTS="$work/lists" -- --for main
[ "$(rc_of unknown)" = 3 ] || fail "an unknown package: exit status $(rc_of unknown)"
expect_in "$work/unknown/out" "install-deps: cannot install no-such-package: Unable to locate package no-such-package" \
  "the unknown package is named with apt's reason"
expect_in "$work/unknown/out" "install-deps: cannot install wine32:i386: Unable to correct problems" \
  "the refused package is named with its reason"
expect_in "$work/unknown/out" "install-deps: not installed: no-such-package wine32:i386; everything else is" \
  "both are named at the end"
printf 'libpng-dev\nzlib1g-dev\n' >"$work/want2"
sort -u "$work/unknown/installed" | cmp -s - "$work/want2" || fail "the others of the list were not installed"

# 6. Bad input: a wrong option, a wrong purpose, a list without its "for"
# line, a malformed package name, an empty folder of lists.
run badopt -- --frobnicate
[ "$(rc_of badopt)" = 2 ] || fail "an unknown option: exit status $(rc_of badopt)"
expect_in "$work/badopt/out" "unknown option '--frobnicate'" "an unknown option is named"
run badfor -- --for everything
[ "$(rc_of badfor)" = 2 ] || fail "a wrong purpose: exit status $(rc_of badfor)"
expect_in "$work/badfor/out" "--for 'everything': expected main, test, tools or all" "a wrong purpose is named"
mkdir -p "$work/nofor"
printf 'cmake\n' >"$work/nofor/b.txt"
run nofor MORVANE_PACKAGE_LISTS="$work/nofor" -- --for main
[ "$(rc_of nofor)" = 2 ] || fail "a list without its for line: exit status $(rc_of nofor)"
expect_in "$work/nofor/out" "$work/nofor/b.txt: no '# for:' line" "a list without its for line is named"
mkdir -p "$work/badname"
printf '# for: main\ncmake; rm -rf /\n' >"$work/badname/c.txt"
run badname MORVANE_PACKAGE_LISTS="$work/badname" -- --for main
[ "$(rc_of badname)" = 2 ] || fail "a malformed package name: exit status $(rc_of badname)"
expect_in "$work/badname/out" "'cmake;' is not a Debian package name" "a malformed name is named"
[ ! -s "$work/badname/calls" ] || fail "a malformed list still ran: $(cat "$work/badname/calls")"
mkdir -p "$work/empty"
run empty MORVANE_PACKAGE_LISTS="$work/empty" -- --for main
[ "$(rc_of empty)" = 2 ] || fail "no lists: exit status $(rc_of empty)"
expect_in "$work/empty/out" "no package lists (*.txt) in $work/empty" "a folder without lists is named"

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install-deps: all checks passed"
