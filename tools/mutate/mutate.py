#!/usr/bin/env python3
"""Mutation testing of the module code and of the test host.

Applies one small change at a time to the module sources (framework/,
sound/, gauges/, flaps_module/), or with --room host to the test host and
the flight session (host/, flight/): a numeric literal plus or minus one, a
comparison's boundary, && for || and back, a returned constant, a removed
call. After each change it rebuilds a dedicated build directory
incrementally, runs the test binary, restores the file and reports the
change as caught or not, with its file and line. A fixed seed and sample
size make a run repeatable on the same sources.

Each change is also classed by what it alters: the module's records are
dumped (morvane_record_dump) before and after the change; a change that
moves only pixel geometry (element positions and pivots, mouse boxes,
points of needle tables) is "pixel", one that alters any other field the
host reads is "data", one that leaves every record as it was is "code".
Changes listed in equivalents.txt (each with its reason) are counted apart.
A change to the host or the flight session moves no module record: it is
"code" and always tested.
"""

import argparse
import hashlib
import json
import os
import re
import shlex
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, asdict, field

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
MODULE_DIRS = ["framework", "sound", "gauges", "flaps_module"]
# The host that proves the modules, and the flight session every program
# flies: mutated apart from the module (--room host).
HOST_DIRS = ["host", "flight"]
ROOM_DIRS = {"module": MODULE_DIRS, "host": HOST_DIRS}
# The host's side of the binary interface: a change there moves the test
# host along with the module, so no test of the pair can see it.
SHARED_WITH_HOST = {"framework/host_records.h"}
EQUIVALENTS = os.path.join(HERE, "equivalents.txt")
# Tests of tooling (previewer, live panel, artwork and PE checks), not of
# the module's behaviour.
DEFAULT_EXCLUDE = ["PanelLayoutReader.*", "Renderer.*", "ScenarioReader.*", "ScenarioPilotSteps.*",
                   "PreviewTelvorFlaps.*", "DefaultCircuit.*", "LivePanel*", "PilotRoutesTest.*",
                   "ArtworkFiles*", "PeCheck*", "RoomIncludes*"]
# For the host and the flight session the readers and the circuit are
# behaviour under test; drawing, the live panel and the file checks are not.
HOST_EXCLUDE = ["Renderer.*", "PanelScreen.*", "PreviewHostileValues.*", "PreviewLongRun.*", "LivePanel*",
                "PilotRoutesTest.*", "ArtworkFiles*", "PeCheck*", "RoomIncludes*"]


@dataclass
class Mutant:
    file: str
    line: int
    col: int
    op: str
    original: str
    replacement: str
    start: int  # character offsets in the file
    end: int
    key: str = ""
    status: str = ""  # caught, survived, timeout, not-viable, not-built, equivalent, untested
    kind: str = ""    # code, data, pixel
    test: str = ""    # the first failing test
    seconds: float = 0.0

    def describe(self):
        return f"{self.file}:{self.line}: {self.op} {self.original!r} -> {self.replacement!r}"


# ------------------------------------------------------------------ lexing

def code_mask(text):
    """A copy of text with comments, string and character literals and
    preprocessor lines other than #define bodies blanked out, so that
    mutation sites are found only in code. Offsets are preserved."""
    out = list(text)
    i, n = 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start:
            j = i
            while j < n and text[j] in " \t":
                j += 1
            if j < n and text[j] == "#":
                m = re.match(r"#\s*define\s+\w+(\([^)]*\))?", text[j:])
                if m:
                    # Keep a macro's body (it is code); blank its name.
                    for k in range(j, j + m.end()):
                        out[k] = " "
                    i = j + m.end()
                else:
                    # Any other directive: blank to the end of the line.
                    while j < n and text[j] != "\n":
                        out[j] = " "
                        j += 1
                    i = j
                at_line_start = False
                continue
        at_line_start = False
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
            continue
        if text.startswith("/*", i):
            k = text.find("*/", i + 2)
            k = n if k < 0 else k + 2
            for j in range(i, k):
                if out[j] != "\n":
                    out[j] = " "
            i = k
            continue
        if c in "\"'":
            # A string or character literal (no raw strings in the module).
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            for k in range(i, min(j + 1, n)):
                out[k] = " "
            i = j + 1
            continue
        if c == "\n":
            at_line_start = True
        i += 1
    return "".join(out)


NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+\.\d*(?:[eE][+-]?\d+)?|\.\d+(?:[eE][+-]?\d+)?|\d+[eE][+-]?\d+|\d+)"
                    r"([uUlLfF]*)(?![\w.])")
COMPARISON = re.compile(r"(?<=\s)(<=|>=|<|>)(?=\s)")
LOGICAL = re.compile(r"(?<=\s)(&&|\|\|)(?=\s)")
RETURN_CONST = re.compile(r"\breturn\s+(-?\s*(?:0[xX][0-9a-fA-F]+|\d+\.\d*|\d+)|true|false)\s*;")
CALL_STATEMENT = re.compile(r"(?<![\w:.>])((?:[a-z_][A-Za-z0-9_]*::)*[a-z_][A-Za-z0-9_]*(?:<[^<>;]*>)?)\(")
SKIP_LINE = re.compile(r"\bstatic_assert\b|\balignas\b|\boffsetof\b")
NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof", "static_assert", "defined"}


def format_number(text, suffix, delta):
    if text.lower().startswith("0x"):
        value = int(text, 16) + delta
        return (hex(value) if value >= 0 else f"(-{hex(-value)})") + suffix
    if re.fullmatch(r"\d+", text):
        value = int(text) + delta
        return (str(value) if value >= 0 else f"({value})") + suffix
    value = float(text) + delta
    s = repr(value)
    if "e" not in s and "." not in s:
        s += ".0"
    return (s if value >= 0 else f"({s})") + suffix


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def find_sites(rel, text):
    mask = code_mask(text)
    lines = text.split("\n")
    sites = []

    def add(start, end, op, replacement):
        ln = line_of(text, start)
        if SKIP_LINE.search(lines[ln - 1]):
            return
        col = start - (text.rfind("\n", 0, start) + 1) + 1
        sites.append(Mutant(rel, ln, col, op, text[start:end], replacement, start, end))

    for m in NUMBER.finditer(mask):
        digits, suffix = m.group(1), m.group(2)
        add(m.start(), m.end(), "literal+1", format_number(digits, suffix, +1))
        add(m.start(), m.end(), "literal-1", format_number(digits, suffix, -1))
    for m in COMPARISON.finditer(mask):
        swap = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}[m.group(1)]
        add(m.start(), m.end(), "boundary", swap)
    for m in LOGICAL.finditer(mask):
        add(m.start(), m.end(), "logical", "||" if m.group(1) == "&&" else "&&")
    for m in RETURN_CONST.finditer(mask):
        value = m.group(1).replace(" ", "")
        if value in ("true", "false"):
            new = "false" if value == "true" else "true"
        else:
            number = float(int(value, 16)) if "x" in value.lower() else float(value)
            floating = "." in value
            new = ("0.0" if floating else "0") if number != 0 else ("1.0" if floating else "1")
        add(m.start(1), m.end(1), "return", new)
    for m in CALL_STATEMENT.finditer(mask):
        name = m.group(1).split("<")[0].split("::")[-1]
        if name in NOT_CALLS:
            continue
        # A statement: what stands before it ends a statement, a block or
        # an if's condition.
        b = m.start(1) - 1
        while b >= 0 and mask[b] in " \t\n":
            b -= 1
        if b >= 0 and not (mask[b] in ";{})" or mask[max(0, b - 3):b + 1] == "else"):
            continue
        open_paren = m.end() - 1
        depth, j = 0, open_paren
        while j < len(mask):
            if mask[j] == "(":
                depth += 1
            elif mask[j] == ")":
                depth -= 1
                if depth == 0:
                    break
            j += 1
        k = j + 1
        while k < len(mask) and mask[k] in " \t\n":
            k += 1
        if k >= len(mask) or mask[k] != ";":
            continue
        # Statement level inside a function body: indented, not a
        # declaration (a type before the name would not match).
        start = m.start(1)
        line_start = text.rfind("\n", 0, start) + 1
        if start == line_start:
            continue  # file scope
        add(start, j + 1, "remove-call", "(void)0")
    sites.sort(key=lambda s: (s.start, s.op, s.replacement))
    # Which copy of its line's text a line is, so that equal lines differ.
    seen, copy_of_line = {}, []
    for raw in lines:
        t = raw.strip()
        copy_of_line.append(seen.get(t, 0))
        seen[t] = seen.get(t, 0) + 1
    by_place = {}
    for s in sites:
        place = (s.line, s.op, s.original, s.replacement)
        index = by_place.get(place, 0)
        by_place[place] = index + 1
        s.key = mutant_key(s, lines[s.line - 1], copy_of_line[s.line - 1], index)
    return sites


def mutant_key(site, line_text, line_copy, index):
    """A name for a mutant that survives edits elsewhere in the file: the
    file, the operator, the text of its line (and which copy of that text),
    and which of the same changes on that line it is."""
    text = f"{site.file}|{site.op}|{site.original}|{site.replacement}|{line_text.strip()}|{line_copy}|{index}"
    return hashlib.sha1(text.encode()).hexdigest()[:10]


def module_sources(room="module"):
    files = []
    for d in ROOM_DIRS[room]:
        for base, _, names in os.walk(os.path.join(ROOT, d)):
            for name in names:
                if name.endswith((".cpp", ".h")):
                    rel = os.path.relpath(os.path.join(base, name), ROOT)
                    if rel not in SHARED_WITH_HOST:
                        files.append(rel)
    return sorted(files)


def all_sites(files):
    sites = []
    for rel in files:
        with open(os.path.join(ROOT, rel), encoding="latin-1") as f:
            sites.extend(find_sites(rel, f.read()))
    return sites


def read_equivalents():
    """key -> reason, from lines 'KEY  file:line  change  -- reason'."""
    table = {}
    if not os.path.exists(EQUIVALENTS):
        return table
    with open(EQUIVALENTS, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            if " -- " not in line:
                sys.exit(f"mutate: {EQUIVALENTS}:{number}: an equivalent needs ' -- reason'")
            head, reason = line.split(" -- ", 1)
            key = head.split()[0]
            if not reason.strip():
                sys.exit(f"mutate: {EQUIVALENTS}:{number}: empty reason")
            table[key] = reason.strip()
    return table


# ------------------------------------------------------------------ running

class Runner:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build_dir)
        self.tests = os.path.join(self.build, "tests", "morvane_tests")
        self.dump_tool = os.path.join(self.build, "tools", "mutate", "morvane_record_dump")
        self.module = os.path.join(self.build, "framework", "Morvane_Instr.so")
        self.base_dump = None
        self.base_code = None
        self.suites_by_word = None

    def configure(self):
        if os.path.exists(os.path.join(self.build, "build.ninja")):
            return
        env = dict(os.environ, CCACHE_BASEDIR="/work", CCACHE_NOHASHDIR="true")
        cmd = ["cmake", "-S", ROOT, "-B", self.build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
               "-DMORVANE_BENCH=OFF", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        subprocess.run(cmd, check=True, env=env, stdout=subprocess.DEVNULL)

    def build_targets(self):
        cmd = ["nice", "-n", "5", "ninja", "-C", self.build, f"-j{self.args.jobs}",
               "morvane_tests", "Morvane_Instr", "Telvor_Flaps", "morvane_record_dump", "wave_test_module",
               "no_linkage_module"]
        r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, encoding="utf-8",
                           errors="replace", env=dict(os.environ, CCACHE_BASEDIR="/work", CCACHE_NOHASHDIR="true"))
        return r.returncode == 0, r.stdout

    def code_digest(self):
        """A digest of the built binaries' code and data, without debug
        information and build ids (which change with any edit): a change
        that leaves it as it was is not in any build the tests run."""
        digest = hashlib.sha1()
        for binary in (self.module, os.path.join(self.build, "flaps_module", "Telvor_Flaps.so"), self.tests):
            stripped = os.path.join(self.build, "mutate-stripped.bin")
            subprocess.run(["objcopy", "--strip-debug", "--remove-section=.note.gnu.build-id", binary, stripped],
                           check=True)
            with open(stripped, "rb") as f:
                digest.update(f.read())
            os.remove(stripped)
        return digest.hexdigest()

    def dump(self):
        r = subprocess.run([self.dump_tool, self.module], stdout=subprocess.PIPE, stderr=subprocess.PIPE, encoding="latin-1",
                           timeout=60)
        return r.stdout if r.returncode == 0 else None

    def classify(self, mutant):
        if self.args.room == "host":
            return "code"  # the module's records are the module's alone
        after = self.dump()
        if after is None:
            return "data"
        if after == self.base_dump:
            return "code"
        before = set(self.base_dump.splitlines())
        changed = set(after.splitlines()) ^ before
        return "pixel" if all(l.startswith("px ") for l in changed) else "data"

    def test_filter(self, first):
        exclude = (HOST_EXCLUDE if self.args.room == "host" else DEFAULT_EXCLUDE) + (self.args.exclude or [])
        if first:
            return ":".join(first) + "-" + ":".join(exclude)
        return "*-" + ":".join(exclude)

    def related_suites(self, rel):
        """Test suites whose files name a gauge of the changed file: run
        first, so that most caught changes stop early."""
        if self.suites_by_word is None:
            self.suites_by_word = []
            tests_dir = os.path.join(ROOT, "tests")
            for base, _, names in sorted(os.walk(tests_dir)):
                for name in sorted(names):
                    if name.endswith(".cpp"):
                        with open(os.path.join(base, name), encoding="utf-8", errors="replace") as f:
                            body = f.read()
                        suites = sorted(set(re.findall(r"^TEST(?:_F|_P)?\((\w+)", body, re.M)))
                        self.suites_by_word.append((body, suites))
        with open(os.path.join(ROOT, rel), encoding="latin-1") as f:
            names = set(re.findall(r'\.name = "(\w+)"', f.read()))
        stem = os.path.splitext(os.path.basename(rel))[0]
        found = []
        for body, suites in self.suites_by_word:
            if any(f'"{n}"' in body for n in names) or stem in body:
                found.extend(s + ".*" for s in suites)
        return sorted(set(found))

    def run_tests(self, gfilter):
        cmd = ["nice", "-n", "5", self.tests, "--gtest_fail_fast", "--gtest_brief=1", f"--gtest_filter={gfilter}"]
        env = dict(os.environ, MORVANE_SOURCE_DIR=ROOT)
        # A changed program may print any bytes (a wrong index reads
        # garbage): they are replaced, never a reason to stop the run.
        proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, encoding="utf-8",
                                errors="replace", env=env, start_new_session=True)
        try:
            out, _ = proc.communicate(timeout=self.args.timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
            return "timeout", ""
        if proc.returncode == 0:
            return "passed", ""
        failed = re.findall(r"^\[  FAILED  \] (\S+)", out, re.M)
        return "failed", failed[0] if failed else f"exit {proc.returncode}"

    def run_one(self, mutant):
        path = os.path.join(ROOT, mutant.file)
        with open(path, "rb") as f:
            original = f.read()
        text = original.decode("latin-1")
        mutated = text[:mutant.start] + mutant.replacement + text[mutant.end:]
        backup = path + ".mutate-original"
        t0 = time.time()
        try:
            with open(backup, "wb") as f:
                f.write(original)
            with open(path, "wb") as f:
                f.write(mutated.encode("latin-1"))
            ok, _ = self.build_targets()
            if not ok:
                mutant.status = "not-viable"
                return
            if self.code_digest() == self.base_code:
                mutant.status = "not-built"
                return
            mutant.kind = self.classify(mutant)
            if mutant.kind == "pixel" and not self.args.test_pixel:
                mutant.status = "untested"
                return
            related = self.related_suites(mutant.file)
            result, test = ("passed", "")
            if related:
                result, test = self.run_tests(self.test_filter(related))
            if result == "passed":
                exclude = (self.args.exclude or []) + related
                saved = self.args.exclude
                self.args.exclude = exclude
                result, test = self.run_tests(self.test_filter(None))
                self.args.exclude = saved
            mutant.status = {"passed": "survived", "failed": "caught", "timeout": "timeout"}[result]
            mutant.test = test
        finally:
            with open(path, "wb") as f:
                f.write(original)
            os.remove(backup)
            mutant.seconds = round(time.time() - t0, 1)


def restore_leftovers():
    """Puts back any file that an interrupted run left changed."""
    for rel in module_sources("module") + module_sources("host"):
        backup = os.path.join(ROOT, rel + ".mutate-original")
        if os.path.exists(backup):
            os.replace(backup, os.path.join(ROOT, rel))
            print(f"mutate: restored {rel} from an interrupted run", file=sys.stderr)


def room_of(results):
    """The room a run changed, from its changes' files."""
    rooms = {room for room, dirs in ROOM_DIRS.items() for m in results if m.file.split("/")[0] in dirs}
    return rooms.pop() if len(rooms) == 1 else None


def summarise(results, out, seed=None):
    def count(pred):
        return sum(1 for m in results if pred(m))

    def caught(m):
        return m.status in ("caught", "timeout")

    tested = [m for m in results if m.status in ("caught", "timeout", "survived")]
    room = room_of(results)
    lines = []
    if room:
        lines.append(f"room: {room} ({', '.join(d + '/' for d in ROOM_DIRS[room])})"
                     + (f", seed {seed}" if seed is not None else ""))
    lines += [f"mutants sampled: {len(results)}",
             f"  do not build: {count(lambda m: m.status == 'not-viable')}",
             f"  leave every binary as it was (code this build does not compile): "
             f"{count(lambda m: m.status == 'not-built')}",
             f"  equivalent (equivalents.txt): {count(lambda m: m.status == 'equivalent')}",
             f"  pixel geometry only, not tested: {count(lambda m: m.status == 'untested')}"]
    for kind in ("code", "data", "pixel"):
        ms = [m for m in tested if m.kind == kind]
        lines.append(f"  {kind:5} tested: {sum(1 for m in ms if caught(m))} caught of {len(ms)}")
    behaviour = [m for m in tested if m.kind in ("code", "data")]
    k = sum(1 for m in behaviour if caught(m))
    score = 100.0 * k / len(behaviour) if behaviour else 100.0
    what = ("logic changes of the host and the flight session" if room == "host"
            else "behaviour and data the host reads")
    lines.append(f"score, {what}: {k} caught of {len(behaviour)} ({score:.1f} %)")
    survivors = [m for m in tested if m.status == "survived"]
    if survivors:
        lines.append("survivors:")
        for m in sorted(survivors, key=lambda m: (m.kind == "pixel", m.file, m.line)):
            lines.append(f"  [{m.kind}] {m.key} {m.describe()}")
    text = "\n".join(lines)
    print(text, file=out)
    return text


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--room", choices=sorted(ROOM_DIRS), default="module",
                   help="what to change: the module (default) or the test host and flight session")
    p.add_argument("--seed", type=int, default=25)
    p.add_argument("--sample", type=int, default=300, help="number of mutants (0: every site)")
    p.add_argument("--literal-share", type=float, default=2 / 3,
                   help="share of the sample taken from numeric literals (default two thirds)")
    p.add_argument("--build-dir", default=None, help="default: SOURCE/build/mutate")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--timeout", type=float, default=300, help="seconds per test run; longer counts as caught")
    p.add_argument("--file", action="append", help="only sites in these files (repeatable)")
    p.add_argument("--key", action="append", help="only these mutants, by key (repeatable)")
    p.add_argument("--exclude", action="append", help="more gtest patterns to leave out")
    p.add_argument("--test-pixel", action="store_true",
                   help="also run the tests on changes that only move pixel geometry (left out of the score)")
    p.add_argument("--summarise", metavar="REPORT",
                   help="print the summary of an earlier run's report, with the equivalents as listed now")
    p.add_argument("--list", action="store_true", help="list the sampled mutants and stop")
    p.add_argument("--report", default=None, help="JSON lines of results (default BUILD/mutate-report.jsonl)")
    p.add_argument("--resume", action="store_true", help="skip mutants already in the report")
    p.add_argument("--source-dir", default=None,
                   help="the tree to change (default: this one); give a copy to keep working meanwhile")
    args = p.parse_args()
    if args.source_dir:
        global ROOT
        ROOT = os.path.abspath(args.source_dir)
        if not os.path.isdir(os.path.join(ROOT, "gauges")):
            sys.exit(f"mutate: {ROOT}: not a source tree (no gauges/)")
    if args.build_dir is None:
        args.build_dir = os.path.join(ROOT, "build", "mutate")

    if args.summarise:
        equivalents = read_equivalents()
        results = []
        with open(args.summarise) as f:
            for number, line in enumerate(f, 1):
                try:
                    r = json.loads(line)
                    m = Mutant(**r)
                except (ValueError, TypeError) as e:
                    sys.exit(f"mutate: {args.summarise}:{number}: not a result line ({e})")
                if m.key in equivalents and m.status == "survived":
                    m.status = "equivalent"
                results.append(m)
        summarise(results, sys.stdout)
        return 0

    files = module_sources(args.room)
    if args.file:
        files = [f for f in files if f in args.file]
        missing = set(args.file) - set(files)
        if missing:
            sys.exit(f"mutate: not a {args.room} source: {', '.join(sorted(missing))}")
    sites = all_sites(files)
    if args.key:
        chosen = [s for s in sites if s.key in args.key]
    elif args.sample and args.sample < len(sites):
        # Literals outnumber every other kind of change ten to one; a fixed
        # share of the sample goes to the others (boundaries, logic,
        # returned constants, removed calls) so that they are tried too.
        # Each share takes the mutants whose keys rank first under the seed,
        # so an edit elsewhere in the sources leaves the rest of the sample
        # as it was.
        def rank(m):
            return hashlib.sha1(f"{args.seed}:{m.key}".encode()).hexdigest()
        literal = sorted((s for s in sites if s.op.startswith("literal")), key=rank)
        other = sorted((s for s in sites if not s.op.startswith("literal")), key=rank)
        n_other = min(len(other), round(args.sample * (1 - args.literal_share)))
        chosen = literal[:args.sample - n_other] + other[:n_other]
    else:
        chosen = list(sites)
    # Grouped by file so that a file is rebuilt as it was only once.
    chosen.sort(key=lambda s: (s.file, s.start, s.op, s.replacement))
    equivalents = read_equivalents()
    print(f"mutate: {len(sites)} sites in {len(files)} files; {len(chosen)} chosen (seed {args.seed})",
          file=sys.stderr)
    if args.list:
        for m in chosen:
            mark = "  (equivalent)" if m.key in equivalents else ""
            print(f"{m.key} {m.describe()}{mark}")
        return 0

    restore_leftovers()
    runner = Runner(args)
    runner.configure()
    ok, log = runner.build_targets()
    if not ok:
        sys.exit("mutate: the unchanged sources do not build:\n" + log[-3000:])
    runner.base_code = runner.code_digest()
    runner.base_dump = runner.dump()
    if runner.base_dump is None:
        sys.exit("mutate: morvane_record_dump failed on the unchanged module")
    result, test = runner.run_tests(runner.test_filter(None))
    if result != "passed":
        sys.exit(f"mutate: the unchanged sources fail the tests ({result} {test})")

    report = args.report or os.path.join(
        runner.build, "mutate-report.jsonl" if args.room == "module" else f"mutate-report-{args.room}.jsonl")
    done = {}
    if args.resume and os.path.exists(report):
        with open(report) as f:
            for line in f:
                r = json.loads(line)
                done[r["key"]] = r
    results = []
    mode = "a" if args.resume else "w"
    with open(report, mode) as out:
        for i, m in enumerate(chosen, 1):
            if m.key in done:
                r = done[m.key]
                m.status, m.kind, m.test, m.seconds = r["status"], r["kind"], r["test"], r["seconds"]
            elif m.key in equivalents:
                m.status = "equivalent"
                out.write(json.dumps(asdict(m)) + "\n")
            else:
                runner.run_one(m)
                out.write(json.dumps(asdict(m)) + "\n")
                out.flush()
            results.append(m)
            print(f"[{i}/{len(chosen)}] {m.status:10} {m.kind:5} {m.seconds:6.1f}s {m.describe()}"
                  + (f"  ({m.test})" if m.test else ""), flush=True)
    # Leave the build as the sources are.
    runner.build_targets()
    print()
    summarise(results, sys.stdout, args.seed)
    return 0


def interrupted(signum, frame):
    raise KeyboardInterrupt


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, interrupted)
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("\nmutate: interrupted; the changed file was restored", file=sys.stderr)
        sys.exit(130)
