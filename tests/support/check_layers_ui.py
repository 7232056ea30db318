#!/usr/bin/env python3
"""The layer check refuses a ui folder reaching one above it, by an include
or by defining a member of a class there, and accepts the order top down."""
import os
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-layers.py")
BASE = {
    "ui/mainwin/mainform.h": '#include "ui/dialogs/link.h"\nclass MainForm : public Link {\n};\n',
    "ui/dialogs/link.h": "class Link {\n};\n",
    "ui/fill/confirm.h": "class Confirm {\n};\n",
}
# name, extra files, the problem expected ("" for none)
ROWS = [
    ("top down", {"ui/menu/menu.cpp": '#include "ui/mainwin/mainform.h"\nvoid build(MainForm &m) {}\n',
                  "ui/mainwin/mainform.cpp": '#include "ui/fill/confirm.h"\nvoid MainForm::ok() {}\n'}, ""),
    ("sub-window includes the main window", {"ui/fill/confirm.cpp": '#include "ui/mainwin/mainform.h"\n'},
     "ui/fill may not include ui/mainwin/mainform.h, a folder above it"),
    ("dialog includes a sub-window", {"ui/dialogs/link.cpp": '#include "ui/fill/confirm.h"\n'},
     "ui/dialogs may not include ui/fill/confirm.h, a folder above it"),
    ("menu defines a main window member", {"ui/menu/menu.cpp": "void MainForm::buildMenu()\n{\n}\n"},
     "defines a member of MainForm, a class of ui/mainwin"),
]


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for path, text in {**BASE, **files}.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                f.write(text)
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout


def main():
    failed = 0
    for name, files, expected in ROWS:
        status, out = run(files)
        if (status == 0) != (expected == "") or expected not in out:
            print(f"FAIL {name}: status {status}, output:\n{out}")
            failed += 1
    print(f"{len(ROWS) - failed} of {len(ROWS)} rows passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
