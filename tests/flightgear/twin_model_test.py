#!/usr/bin/env python3
"""The twin's generated files: the committed model, its materials and the
propeller's tables are what make-twin-files.py writes today, every object
the model's animations move is in the model, every face names vertices
the model has, and every material a part uses is defined.

usage: twin_model_test.py SOURCE_DIR
"""
import filecmp
import os
import re
import subprocess
import sys
import tempfile

source = sys.argv[1]
protocol = os.path.join(source, "flightgear", "protocol")
folder = os.path.join(protocol, "Aircraft", "morvane-twin")
failures = []


def check(ok, what):
    print(("ok: " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)


with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, os.path.join(protocol, "make-twin-files.py"), out], check=True,
                   stdout=subprocess.DEVNULL)
    for part in ("Models/morvane-twin.obj", "Models/morvane-twin.mtl", "Engines/morvane-propeller.xml"):
        check(filecmp.cmp(os.path.join(out, part), os.path.join(folder, part), shallow=False),
              f"the committed {part} is what the generator writes")

obj = open(os.path.join(folder, "Models", "morvane-twin.obj")).read().splitlines()
mtl = open(os.path.join(folder, "Models", "morvane-twin.mtl")).read()
animations = open(os.path.join(folder, "Models", "morvane-twin.xml")).read()

objects = [line.split()[1] for line in obj if line.startswith("o ")]
vertices = sum(1 for line in obj if line.startswith("v "))
faces = [[int(i) for i in line.split()[1:]] for line in obj if line.startswith("f ")]
check(len(objects) == len(set(objects)) and len(objects) >= 20,
      f"the model's parts have a name each ({len(objects)} parts)")
check(all(len(f) >= 3 and all(1 <= i <= vertices for i in f) for f in faces),
      f"each of the {len(faces)} faces names three or more of the {vertices} vertices")
defined = set(re.findall(r"^newmtl (\S+)", mtl, re.M))
used = {line.split()[1] for line in obj if line.startswith("usemtl ")}
check(used and used <= defined, f"the materials the parts use ({sorted(used)}) are defined in the .mtl")
check(re.search(r"<path>morvane-twin\.obj</path>", animations) is not None, "the model file is the one the XML loads")
moved = set(re.findall(r"<object-name>\s*(\S+?)\s*</object-name>", animations))
missing = sorted(moved - set(objects))
check(moved and not missing, f"every part the animations move is in the model ({len(moved)}; missing: {missing})")

sys.exit(1 if failures else 0)
