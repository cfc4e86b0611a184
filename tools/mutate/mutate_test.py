#!/usr/bin/env python3
"""Checks of the mutation tool's own parts: where it finds changes, the
names it gives them, the equivalents list it reads and the file it always
puts back."""

import io
import itertools
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutate  # noqa: E402

SOURCE = r'''// A comment with 12 and a < b && c
#include <cstdint>
#define AREA(bx) {.x = bx, .height = 109}
static const char* text = "x < 3 || 4";  /* 5 > 6 */
static int32_t GAUGE_CALL click(ClickRecord* c, uint32_t) {
    if (c->y >= 0x10 && c->x < 7) host::trigger_key_event(EVENT, 0);
    play(&sound);
    return 0;
}
static_assert(sizeof(int) == 4, "");
'''


class SiteFinding(unittest.TestCase):
    def setUp(self):
        self.sites = mutate.find_sites("gauges/x.cpp", SOURCE)

    def changes(self):
        return {(s.line, s.op, s.original, s.replacement) for s in self.sites}

    def test_comments_strings_directives_and_asserts_are_left_alone(self):
        lines = {s.line for s in self.sites}
        self.assertEqual(lines & {1, 2, 4, 10}, set())

    def test_each_kind_of_change_is_found_in_code_and_macro_bodies(self):
        found = self.changes()
        for change in [(3, "literal+1", "109", "110"), (6, "literal-1", "0x10", "0xf"), (6, "boundary", ">=", ">"),
                       (6, "boundary", "<", "<="), (6, "logical", "&&", "||"), (8, "return", "0", "1"),
                       (7, "remove-call", "play(&sound)", "(void)0"),
                       (6, "remove-call", "host::trigger_key_event(EVENT, 0)", "(void)0"),
                       (6, "literal-1", "0", "(-1)")]:
            self.assertIn(change, found)

    def test_keys_name_changes_apart_and_survive_edits_elsewhere(self):
        keys = [s.key for s in self.sites]
        self.assertEqual(len(keys), len(set(keys)))
        moved = mutate.find_sites("gauges/x.cpp", "// one more line\n" + SOURCE)
        self.assertEqual(sorted(keys), sorted(s.key for s in moved))

    def test_floating_literals_keep_their_form(self):
        self.assertEqual(mutate.format_number("0.125", "", +1), "1.125")
        self.assertEqual(mutate.format_number("1.0", "f", -1), "0.0f")
        self.assertEqual(mutate.format_number("0", "", -1), "(-1)")


class Rooms(unittest.TestCase):
    def test_the_host_room_is_the_host_and_the_flight_session_alone(self):
        host = mutate.module_sources("host")
        self.assertIn("host/needle_rule.cpp", host)
        self.assertIn("flight/flight_session.cpp", host)
        self.assertFalse([f for f in host if not f.startswith(("host/", "flight/"))])
        module = mutate.module_sources("module")
        self.assertIn("gauges/radio/radio_com1.cpp", module)
        self.assertFalse(set(host) & set(module))


class EquivalentsList(unittest.TestCase):
    def read(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write(text)
        saved = mutate.EQUIVALENTS
        mutate.EQUIVALENTS = f.name
        try:
            return mutate.read_equivalents()
        finally:
            mutate.EQUIVALENTS = saved
            os.remove(f.name)

    def test_a_listed_change_carries_its_reason(self):
        table = self.read("# comment\nabc123  a.cpp:1  x -> y -- the same either way\n")
        self.assertEqual(table, {"abc123": "the same either way"})

    def test_a_line_without_reason_is_refused_with_its_line(self):
        with self.assertRaises(SystemExit) as e:
            self.read("\nabc123  a.cpp:1  x -> y\n")
        self.assertIn(":2:", str(e.exception.code))


class Summary(unittest.TestCase):
    lines = itertools.count(1)

    def mutant(self, rel, status, kind="code"):
        n = next(self.lines)
        return mutate.Mutant(rel, n, 1, "boundary", "<", "<=", 0, 1, key=f"k{n}", status=status, kind=kind)

    def text(self, results, seed=None):
        out = io.StringIO()
        mutate.summarise(results, out, seed)
        return out.getvalue()

    def test_a_host_run_states_its_room_seed_score_and_equivalents(self):
        results = ([self.mutant("host/mouse.cpp", "caught")] * 9 + [self.mutant("flight/scenario.cpp", "survived")]
                   + [self.mutant("host/needle_rule.cpp", "equivalent")] * 2)
        text = self.text(results, seed=29)
        self.assertIn("room: host (host/, flight/), seed 29", text)
        self.assertIn("equivalent (equivalents.txt): 2", text)
        self.assertIn("score, logic changes of the host and the flight session: 9 caught of 10 (90.0 %)", text)
        self.assertIn("flight/scenario.cpp", text.split("survivors:")[1])

    def test_a_module_run_keeps_its_wording(self):
        results = [self.mutant("gauges/radio/radio_com1.cpp", "caught", "data"),
                   self.mutant("sound/sound.cpp", "survived")]
        text = self.text(results)
        self.assertIn("room: module (framework/, sound/, gauges/, flaps_module/)", text)
        self.assertIn("score, behaviour and data the host reads: 1 caught of 2 (50.0 %)", text)


class TestOutput(unittest.TestCase):
    def test_a_run_that_prints_any_bytes_is_still_judged(self):
        with tempfile.TemporaryDirectory() as root:
            program = os.path.join(root, "tests")
            with open(program, "w") as f:
                f.write("#!/bin/sh\nprintf '\\320\\377 garbage\\n[  FAILED  ] Suite.Test\\n'\nexit 1\n")
            os.chmod(program, 0o755)

            class Args:
                build_dir = root
                jobs = 1
                timeout = 60

            runner = mutate.Runner(Args())
            runner.tests = program
            self.assertEqual(runner.run_tests("*"), ("failed", "Suite.Test"))


class Restoring(unittest.TestCase):
    def test_the_file_is_put_back_when_the_build_fails_midway(self):
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "gauges"))
            path = os.path.join(root, "gauges", "x.cpp")
            with open(path, "w") as f:
                f.write(SOURCE)
            saved = mutate.ROOT
            mutate.ROOT = root

            class Args:
                build_dir = os.path.join(root, "build")
                jobs = 1

            runner = mutate.Runner(Args())

            def broken_build():
                raise KeyboardInterrupt

            runner.build_targets = broken_build
            try:
                site = mutate.find_sites("gauges/x.cpp", SOURCE)[0]
                with self.assertRaises(KeyboardInterrupt):
                    runner.run_one(site)
            finally:
                mutate.ROOT = saved
            with open(path) as f:
                self.assertEqual(f.read(), SOURCE)
            self.assertFalse(os.path.exists(path + ".mutate-original"))


if __name__ == "__main__":
    unittest.main()
