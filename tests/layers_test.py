#!/usr/bin/env python3
"""tools/layers.py on a copy of Zyn's sources: the tree passes as it is, and one include added
against the layer order is reported with its file and line."""
import os
import shutil
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
import layers  # noqa: E402


def copy(root):
    """Copies the module folders of Zyn's sources into root."""
    for folder in sorted({n.split("/")[0] for _, names in layers.LAYERS for n in names}):
        shutil.copytree(os.path.join(ROOT, folder), os.path.join(root, folder))


def add(root, path, header):
    """Adds an include of header as the second line of path; returns that line's number."""
    full = os.path.join(root, path)
    with open(full) as f:
        lines = f.readlines()
    lines.insert(1, '#include "%s"\n' % header)
    with open(full, "w") as f:
        f.writelines(lines)
    return 2


class Layers(unittest.TestCase):
    def test_tree_as_it_is(self):
        with tempfile.TemporaryDirectory() as root:
            copy(root)
            self.assertEqual(layers.check(root)[0], [])
            self.assertEqual(layers.main(["layers.py", root]), 0)

    def test_added_includes(self):
        # (file, header, reported): up across folders, up inside grid/ from the document to the
        # editing engine, down, and up from a file whose every include is a known exception.
        cases = [
            ("alphabet/utf8.cpp", "gui/window.h", True),
            ("grid/zyn.cpp", "grid/edit.h", True),
            ("filler/search.cpp", "export/export.h", True),
            ("export/html.cpp", "grid/edit.h", False),
            ("grid/edit.cpp", "grid/zyn.h", False),
            ("core/startup.cpp", "gui/window.h", False),
        ]
        for path, header, reported in cases:
            with self.subTest(path=path, header=header), tempfile.TemporaryDirectory() as root:
                copy(root)
                line = add(root, path, header)
                errors = layers.check(root)[0]
                mine = [e for e in errors if e.startswith("%s:%d: includes %s " % (path, line, header))]
                self.assertEqual(len(mine), 1 if reported else 0, errors)
                self.assertEqual(len(errors), len(mine), errors)
                self.assertEqual(layers.main(["layers.py", root]), 1 if reported else 0)


if __name__ == "__main__":
    unittest.main()
