#!/usr/bin/env python3
"""Makes docs/templates.png: every shipped template as the design wizard makes it, with the
background it is described with and the sample card data of tools/templates/templates.json,
drawn by the program itself (`ostravel new` then `ostravel export`) and tiled by
`make_templates --sheet`. The program runs on a program folder of its own that shows the
shipped templates and backgrounds, with the option "Reduce graphics to 256 colors" off so
that the backgrounds keep their colours.

Usage: make_contact_sheet.py OSTRAVEL MAKE_TEMPLATES [OUT.png]
       (both programs from a build tree, e.g. build/asan/ostravel build/asan/tests/make_templates)
"""

import json
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The options are read in order and stop at the first missing value: the three before
# ReduceColor are given with their defaults.
SETTINGS = """[Software\\Dravmont\\Pelloran\\Ostravel\\Options\\General]
"PromptOnDelete"=dword:00000001
"SelectReturn"=dword:00000001
"MetricUnits"=dword:00000000
"ReduceColor"=dword:00000000
"""


def run(args, env):
    result = subprocess.run(args, env=env, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("%s failed:\n%s" % (" ".join(args), result.stderr))
    return result.stdout


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    ostravel, make_templates = sys.argv[1], sys.argv[2]
    out = sys.argv[3] if len(sys.argv) == 4 else os.path.join(ROOT, "docs", "templates.png")
    with open(os.path.join(ROOT, "tools", "templates", "templates.json"), encoding="utf-8") as f:
        description = json.load(f)
    backgrounds = {(t["category"], t["name"]): t.get("background", "") for t in description["templates"]}
    sample = description["sample"]

    cells = []
    with tempfile.TemporaryDirectory() as tmp:
        home = os.path.join(tmp, "home")
        os.mkdir(home)
        for folder in ("Template", "Background"):
            os.symlink(os.path.join(ROOT, "data", folder), os.path.join(home, folder))
        with open(os.path.join(home, "settings.reg"), "w", encoding="utf-8") as f:
            f.write(SETTINGS)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", OSTRAVEL_HOME=home)
        listed = json.loads(run([ostravel, "templates", "--json"], env))["templates"]
        for i, t in enumerate(listed):
            design = os.path.join(tmp, "%02d.bcp" % i)
            picture = os.path.join(tmp, "%02d.png" % i)
            args = [ostravel, "new", design, "--template", "%s/%s" % (t["category"], t["name"])]
            background = backgrounds.get((t["category"], t["name"]), "")
            if background:
                args += ["--background", background]
            if t["kind"] == 4:
                for field, value in sample.items():
                    args += ["--set", "%s=%s" % (field, value)]
            run(args, env)
            run([ostravel, "export", design, picture, "--zoom", "150"], env)
            cells.append("%s=%s / %s" % (picture, t["category"], t["name"]))
        run([make_templates, "--sheet", out, "5"] + cells, env)
    print("%s: %d templates" % (out, len(cells)))


if __name__ == "__main__":
    main()
