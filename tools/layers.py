#!/usr/bin/env python3
"""Checks that Zyn's includes point down the layer order.

Every source file of a module folder belongs to one layer: a file listed below by its stem
(folder/name, for the .h and the .cpp together) takes that layer, any other file its folder's.
A file may include headers of its own layer and of the layers below it; an include of a higher
layer is an error unless EXCEPTIONS lists it, and so is an engine module (ZYN_MODULES in
CMakeLists.txt) that LAYERS does not place. Usage: layers.py [source root]. Exit status 0 when
every include points down, 1 when some does not (each printed as file:line), 2 on a usage error.
"""

import os
import re
import sys

# Bottom to top. ARCHITECTURE.md describes each layer.
LAYERS = [
    ("platform", ["platform/"]),
    ("core", ["core/"]),
    ("alphabet", ["alphabet/"]),
    ("dicts", ["dicts/"]),
    ("document", ["grid/zyn", "grid/geometry", "grid/charset", "grid/lights", "grid/clues"]),
    ("treatment", ["treatment/"]),
    ("filler", ["filler/"]),
    ("editing", ["grid/"]),
    ("docfile", ["docfile/"]),
    ("deck", ["deck/"]),
    ("draw", ["draw/"]),
    ("export", ["export/"]),
    ("gui", ["gui/"]),
]

# The known includes that point up, each with its reason: (file, header) for one include,
# (file, "*") for every include of the file.
EXCEPTIONS = {
    # Start-up wires every module together, and the undo ring restores the whole document.
    ("core/startup.cpp", "*"): "start-up",
    ("core/main.cpp", "*"): "start-up of the window's program",
    ("core/zynexport.cpp", "*"): "start-up of zyn-export",
    ("core/undo.cpp", "*"): "undo restores the document, the alphabet and the word lists",
    # The rebuild derives the treatment's message forms and message words.
    ("grid/lights.cpp", "treatment/treatment.h"): "rebuild",
    # The interchange readers share the exports' format tables.
    ("docfile/import.cpp", "export/clueseam.h"): "clue of each light",
    ("docfile/puzread.cpp", "export/interchange.h"): ".puz tables",
    # The dictionaries dialog's warning names the slots no light of the document uses.
    ("dicts/dictinfo.cpp", "grid/geometry.h"): "unused-slot warning",
    ("dicts/dictinfo.cpp", "grid/zyn.h"): "unused-slot warning",
}

INCLUDE = re.compile(r'\s*#\s*include\s+"([a-z0-9_]+)/([A-Za-z0-9_.]+)"')


def layerof(path):
    """The layer index of a path such as grid/zyn.h, or None outside every layer."""
    stem = os.path.splitext(path)[0]
    folder = path.split("/")[0] + "/"
    for i, (_, names) in enumerate(LAYERS):
        if stem in names:
            return i
    for i, (_, names) in enumerate(LAYERS):
        if folder in names:
            return i
    return None


def sources(root):
    folders = sorted({n.split("/")[0] for _, names in LAYERS for n in names})
    for folder in folders:
        top = os.path.join(root, folder)
        if not os.path.isdir(top):
            continue
        for name in sorted(os.listdir(top)):
            if name.endswith((".cpp", ".h")):
                yield folder + "/" + name


def unlayered(root):
    """The engine's module folders (ZYN_MODULES of CMakeLists.txt) that LAYERS does not place."""
    try:
        with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
            m = re.search(r"set\(ZYN_MODULES([^)]*)\)", f.read())
    except OSError:
        return []
    placed = {n.split("/")[0] for _, names in LAYERS for n in names}
    return [d for d in (m.group(1).split() if m else []) if d not in placed]


def check(root):
    """Returns the upward includes (as messages) and the exceptions no include needs."""
    errors = ["%s/: a module without a layer; add it to LAYERS" % d for d in unlayered(root)]
    used = set()
    for path in sources(root):
        mine = layerof(path)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for lineno, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                header = m.group(1) + "/" + m.group(2)
                theirs = layerof(header)
                if theirs is None or theirs <= mine:
                    continue
                for key in ((path, header), (path, "*")):
                    if key in EXCEPTIONS:
                        used.add(key)
                        break
                else:
                    errors.append("%s:%d: includes %s (layer %s) from layer %s"
                                  % (path, lineno, header, LAYERS[theirs][0], LAYERS[mine][0]))
    stale = sorted(k for k in EXCEPTIONS if k not in used)
    return errors, stale


def main(argv):
    if len(argv) > 2:
        print("usage: layers.py [source root]", file=sys.stderr)
        return 2
    root = argv[1] if len(argv) == 2 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    errors, stale = check(root)
    for e in errors:
        print(e)
    for f, h in stale:
        print("note: the exception %s -> %s is no longer needed; remove it from tools/layers.py" % (f, h))
    if errors:
        print("%d break(s) of the layer order (see ARCHITECTURE.md, Layers)" % len(errors))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
