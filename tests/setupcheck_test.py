#!/usr/bin/env python3
"""tools/setupcheck.py on small fake trees: which calls of which programs it reports.

The fake tools/setup.sh lists only what a case names; the programs come from this machine,
where tools/setup.sh has installed libxml2-utils (xmllint) and imagemagick (import).
"""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import setupcheck  # noqa: E402

NOSUCH = "zyn-no-such-tool"


def problems(files, packages="make"):
    with tempfile.TemporaryDirectory() as root:
        files = dict(files)
        files["tools/setup.sh"] = f'#!/usr/bin/env bash\npkgs="{packages}"\napt-get install -y $pkgs\n'
        for name, text in files.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        return setupcheck.check(root)


def reported(files, packages="make"):
    return sorted(p.split(":")[0] for p in problems(files, packages))


@unittest.skipUnless(os.path.exists(setupcheck.STATUS), "no dpkg database")
class SetupCheck(unittest.TestCase):
    def test_packages(self):
        # A program of a package that tools/setup.sh does not list, directly or through a
        # dependency, is reported with its package; a listed one, a dependency's (import
        # comes from imagemagick-6.q16) and the base system's (sed, ls) are not.
        script = {"tests/gui/fake.sh": "#!/usr/bin/env bash\nxmllint --noout a.xml\nimport -window root s.png\n"
                                       "sed -n 1p x | ls\nmake -C build\n"}
        got = problems(script)
        self.assertEqual(len(got), 2, got)
        self.assertIn("xmllint: package libxml2-utils is not installed by tools/setup.sh (called by tests/gui/fake.sh)", got)
        self.assertEqual(reported(script, "make libxml2-utils imagemagick"), [])
        self.assertEqual(reported(script, "make imagemagick"), ["xmllint"])

    def test_calls_found(self):
        # Each script calls the missing program once, in a different place of the language.
        cases = [
            ("plain", f"{NOSUCH} -o x"),
            ("after an assignment and a wrapper", f"LC_ALL=C timeout -s KILL 5 env -u DISPLAY {NOSUCH}"),
            ("in a pipeline and a list", f"ls | sort && true || {NOSUCH} x"),
            ("in a command substitution inside quotes", f'echo "got $(cat a | {NOSUCH})"'),
            ("in backquotes", f"x=`{NOSUCH} -v`"),
            ("in a condition", f"if ! {NOSUCH} -q; then exit 1; fi"),
            ("in a loop body", f"for f in a b; do\n  {NOSUCH} \"$f\"\ndone"),
            ("in a case branch", f"case $1 in\n  a|b) {NOSUCH} ;;\n  *) true ;;\nesac"),
            ("in a function's body", f"go() {{\n  local a=$1\n  {NOSUCH} \"$a\"\n}}"),
            ("in eval's quoted command line", f"eval '[[ $({NOSUCH} -o) == x ]]'"),
            ("in bash -c's command line", f'bash -c "cd /tmp && {NOSUCH}"'),
            ("as the command of a function that runs its arguments",
             f'poll() {{ local n=$1; shift 2; until "$@"; do sleep $n; done; }}\npoll 2 "what" {NOSUCH} -x'),
            ("by its path", f"/usr/bin/{NOSUCH} -x"),
            ("after a here-document", f"cat <<EOF >f\nline\nEOF\n{NOSUCH}"),
        ]
        for what, text in cases:
            with self.subTest(what):
                self.assertEqual(reported({"tools/x.sh": f"#!/usr/bin/env bash\n{text}\n"}),
                                 [f"/usr/bin/{NOSUCH}" if "/usr/bin" in text else NOSUCH])

    def test_words_that_are_no_calls(self):
        text = "\n".join([
            f"echo {NOSUCH} '{NOSUCH} x' \"run {NOSUCH}\"",
            f"# {NOSUCH} in a comment",
            f"cat <<'EOF'\n{NOSUCH} in a here-document\nEOF",
            f"[[ $a == x && $b == {NOSUCH} ]]",
            f"case $a in\n  x|{NOSUCH}) true ;;\nesac",
            f"list=(a {NOSUCH} b)",
            f"grep -q {NOSUCH} f 2>/dev/null; grep -c '{NOSUCH} x' f",
            f"for w in {NOSUCH} b; do echo $w; done",
            "helper() { echo x; }\nhelper",
            "\"$ZYN\" -b deck; zyn -b deck; zyn-export a zyn b",
        ])
        self.assertEqual(reported({"tests/gui/x.sh": "#!/usr/bin/env bash\n" + text + "\n"}), [])

    def test_other_languages(self):
        cpp = (f'TEST(A, B) {{ runcmd("cd \'" + dir + "\' && {NOSUCH} --x " + p, &out, nullptr);\n'
               '  std::string cmd = f ? "ls " + a : "sort -u " + b;\n'
               '  runcmd("\'" ZYN_BINARY "\' -b " + deck, nullptr, nullptr);\n'
               f'  EXPECT_EQ(s, "{NOSUCH} is only a word here"); }}\n')
        py = f'import subprocess\nsubprocess.run(["{NOSUCH}", "-x"])\nprint("{NOSUCH}")\n'
        self.assertEqual(reported({"tests/test_x.cpp": cpp}), [NOSUCH])
        self.assertEqual(reported({"bench/x.py": py}), [NOSUCH])
        # Files elsewhere in the tree, and data folders of the test tree, are not scripts.
        self.assertEqual(reported({"docs/x.sh": f"{NOSUCH}\n", "tests/golden/x.sh": f"{NOSUCH}\n"}), [])


if __name__ == "__main__":
    unittest.main()
