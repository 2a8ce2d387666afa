#!/usr/bin/env python3
"""Does tools/setup.sh install every program the project's scripts call?

Reads the scripts under tests/, tools/, bench/ and .ci/ (shell scripts, the command lines that
the C++ tests and benchmarks hand to the shell, and the argument lists of Python's subprocess
calls), finds the programs they call, and looks up each program's Debian package in dpkg's
database. A program is covered when its package is one tools/setup.sh installs, something those
depend on, or part of every Debian system (Essential or required). A program that a script calls
but that is not installed here at all is reported too: it is missing on a fresh machine as well.

    setupcheck.py [ROOT]

Prints one line per program that is not covered and exits with 1; exits with 0 when all are,
and with 77 (skipped) where there is no dpkg database.
"""
import functools
import os
import re
import shutil
import subprocess
import sys

STATUS = "/var/lib/dpkg/status"
BUILTINS = set("""
    alias bg bind break builtin caller cd command compgen complete compopt continue declare dirs
    disown echo enable eval exec exit export false fc fg getopts hash help history jobs kill let
    local logout mapfile popd printf pushd pwd read readarray readonly return set shift shopt source
    suspend test times trap true type typeset ulimit umask unalias unset wait
    if then else elif fi case esac for select while until do done in function time coproc
""".split())
# Programs that run the command given in their arguments: for each, its options that take a
# value, and how many plain arguments come before the command.
WRAPPERS = {
    "env": ({"-u", "-C", "-S"}, 0), "exec": ({"-a"}, 0), "command": (set(), 0), "nohup": (set(), 0),
    "setsid": (set(), 0), "nice": ({"-n"}, 0), "timeout": ({"-s", "-k"}, 1), "flock": ({"-w", "-E"}, 1),
    "xargs": ({"-a", "-d", "-E", "-I", "-L", "-n", "-P", "-s"}, 0), "time": (set(), 0),
    "sudo": ({"-u", "-g"}, 0), "stdbuf": (set(), 0), "xvfb-run": ({"-n", "-s", "-f", "-e"}, 0),
    "valgrind": (set(), 0), "strace": ({"-o", "-e", "-p"}, 0), "builtin": (set(), 0),
}
SHELLS = {"bash", "sh", "dash"}
NAME = re.compile(r"[A-Za-z_][A-Za-z0-9_.+-]*$")
SYSPATH = re.compile(r"/(usr/)?s?bin/[\w.+-]+$")
ASSIGN = re.compile(r"[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])?\+?=")


class Shell:
    """A small reader of bash: enough to tell the words in command position from the rest."""

    def __init__(self, runners):
        self.runners = runners  # function name -> index of the argument that is a command
        self.commands = set()
        self.functions = set()
        self.codearg = False  # the word being read is a command line (eval's, trap's, bash -c's)
        self.heredocs = []  # delimiters of the here-documents whose bodies start on the next line

    def scan(self, text):
        self.t = text
        self.i = 0
        self.heredocs = []
        self.code(None)

    def code(self, close):
        """Reads commands up to the character `close` (")" or "`"), or to the end."""
        t = self.t
        words = []  # the words of the current simple command; None for one that is an expansion
        state = {"case": 0, "pattern": False, "cond": 0}
        while self.i < len(t):
            c = t[self.i]
            if close and c == close and not state["cond"] and not state["pattern"]:
                self.i += 1
                break
            if c in " \t\\" and (c != "\\" or t[self.i + 1:self.i + 2] == "\n"):
                self.i += 2 if c == "\\" else 1
                continue
            if c == "#":
                while self.i < len(t) and t[self.i] != "\n":
                    self.i += 1
                continue
            if c == "\n" and self.heredocs:
                self.skip_heredocs()
            if c == "&" and t.startswith("&>", self.i):
                c = ">"
            if c == "\n" or c == ";" or c == "&" or c == "|" or c in "(){}" and self.alone(c):
                if state["cond"] and c in "&|()":
                    self.i += 1
                    continue
                op = t[self.i:self.i + 2]
                if op == ";;" or op == ";&":
                    state["pattern"] = state["case"] > 0
                if c == ")" and state["pattern"]:
                    state["pattern"] = False
                if c == "(" and t[self.i:self.i + 2] == "((":
                    self.skip_arith()
                    continue
                if c == "(" and words and words[-1] and NAME.match(words[-1]) and t[self.i:self.i + 2] == "()":
                    # A function definition: name() { ... }
                    self.functions.add(words[-1])
                    words = []
                    self.i += 2
                    continue
                if words:
                    self.command(words, state)
                words = []
                self.i += 1
                continue
            if c == "<" and t.startswith("<<", self.i) and not t.startswith("<<<", self.i):
                self.heredoc()
                continue
            if c in "<>":
                self.i += 1
                if t[self.i:self.i + 1] in (">", "&", "("):
                    if t[self.i] == "(":  # process substitution <(...)
                        self.i += 1
                        self.code(")")
                        continue
                    self.i += 1
                self.word()  # the redirection's target is no argument
                continue
            before = self.i
            self.codearg = bool(words) and (words[-1] in ("eval", "trap") or words[-1] == "-c" and words[0] in SHELLS)
            text = self.word()
            self.codearg = False
            if self.i == before:  # a character that starts no word
                self.i += 1
                continue
            if state["pattern"]:  # the patterns of a case branch, up to its ")"
                if text == "esac":
                    state["case"] -= 1
                    state["pattern"] = False
                continue
            if not words and text == "esac":
                state["case"] -= 1
                continue
            if words and words[0] == "case" and text == "in":
                state["pattern"] = True
                words = []
                continue
            if not words and text == "case":
                state["case"] += 1
            if not words and text == "[[":
                state["cond"] += 1
            elif text == "]]" and state["cond"]:
                state["cond"] -= 1
            words.append(text)
        if words:
            self.command(words, state)

    def alone(self, c):
        # "{" and "}" separate commands only as words of their own.
        if c not in "{}":
            return True
        t, i = self.t, self.i
        before = t[i - 1] if i else " "
        after = t[i + 1] if i + 1 < len(t) else " "
        return before in " \t\n;" and after in " \t\n;"

    def command(self, words, state):
        """One simple command: note the program it runs and the commands in its arguments."""
        if state["cond"]:
            return
        k = 0
        while k < len(words):
            text = words[k]
            if text is None:
                return  # "$prog ...": a variable or a path, nothing to look up
            if text in ("!", "{", "}", "then", "do", "else", "elif", "if", "while", "until", "time", "function"):
                k += 1
                continue
            if text in ("for", "select", "case"):
                return
            if ASSIGN.match(text):
                k += 1
                continue
            break
        else:
            return
        name = words[k]
        if not (NAME.match(name) and "/" not in name or SYSPATH.match(name)):
            return
        if name in self.runners:
            k += self.runners[name]
            if k < len(words):
                self.command(words[k:], state)
            return
        self.commands.add(name)
        if name in WRAPPERS:
            valued, plain = WRAPPERS[name]
            k += 1
            while k < len(words) and words[k] is not None and (words[k].startswith("-") or ASSIGN.match(words[k])):
                k += 2 if words[k] in valued else 1
            k += plain
            if k < len(words):
                self.command(words[k:], state)

    def word(self):
        """Reads one word and returns its text, or None when it starts with an expansion
        ($x, "$x", $(...)). Notes the commands in $(...), `...` and a quoted command line."""
        t = self.t
        start = self.i
        text = ""
        plain = True
        while self.i < len(t):
            c = t[self.i]
            if c == "(" and self.i > start and ASSIGN.fullmatch(t, start, self.i):
                self.array()
                continue
            if c in " \t\n;&|()<>":
                break
            if c == "\\":
                text += t[self.i + 1:self.i + 2]
                self.i += 2
                continue
            if c == "'":
                end = t.find("'", self.i + 1)
                end = len(t) if end < 0 else end
                body = t[self.i + 1:end]
                if self.codearg:
                    self.sub(body)
                text += body
                self.i = end + 1
                continue
            if c == '"':
                self.i += 1
                body_start = self.i
                while self.i < len(t) and t[self.i] != '"':
                    if t[self.i] == "\\":
                        self.i += 2
                        continue
                    if t[self.i] == "$" or t[self.i] == "`":
                        self.dollar()
                        plain = False
                        continue
                    self.i += 1
                body = t[body_start:self.i]
                if self.codearg:
                    self.sub(body)
                text += body
                self.i += 1
                continue
            if c == "$" or c == "`":
                if self.i == start:
                    plain = False
                self.dollar()
                continue
            text += c
            self.i += 1
        return text if plain else None

    def sub(self, body):
        """The commands of a quoted command line."""
        saved = (self.t, self.i, self.heredocs, self.codearg)
        self.scan(body)
        self.t, self.i, self.heredocs, self.codearg = saved

    def dollar(self):
        t = self.t
        if t[self.i] == "`":
            self.i += 1
            self.code("`")
        elif t.startswith("$((", self.i):
            self.i += 1
            self.skip_arith()
        elif t.startswith("$(", self.i):
            self.i += 2
            self.code(")")
        elif t.startswith("${", self.i):
            depth = 0
            while self.i < len(t):
                if t[self.i] == "{":
                    depth += 1
                elif t[self.i] == "}":
                    depth -= 1
                    if depth == 0:
                        break
                self.i += 1
            self.i += 1
        else:
            self.i += 1
            while self.i < len(t) and (t[self.i].isalnum() or t[self.i] in "_@*#?$!-"):
                self.i += 1
                if not t[self.i - 1].isalnum() and t[self.i - 1] != "_":
                    break

    def array(self):
        """An array's value, name=( ... ): data, apart from the code of its expansions."""
        self.i += 1
        while self.i < len(self.t) and self.t[self.i] != ")":
            if self.t[self.i] in " \t\n":
                self.i += 1
            else:
                self.word()
        self.i += 1

    def skip_arith(self):
        depth = 0
        t = self.t
        while self.i < len(t):
            if t[self.i] == "(":
                depth += 1
            elif t[self.i] == ")":
                depth -= 1
                if depth == 0:
                    self.i += 1
                    return
            self.i += 1

    def heredoc(self):
        # The rest of the line is still code; the body, which is data, starts on the next one.
        m = re.compile(r"<<-?\s*(['\"]?)([A-Za-z_0-9]+)\1").match(self.t, self.i)
        self.i = m.end() if m else self.i + 2
        if m:
            self.heredocs.append(m.group(2))

    def skip_heredocs(self):
        for delim in self.heredocs:
            end = re.compile(r"^[ \t]*" + re.escape(delim) + r"[ \t]*$", re.M).search(self.t, self.i + 1)
            self.i = end.end() if end else len(self.t)
        self.heredocs = []


RUNS_ARGS = re.compile(r'(?:^|[;&|]|\buntil|\bwhile|\bif|\bthen|\bdo|!)\s*"\$@"', re.M)


def runner_functions(texts):
    """Functions of the scripts that run their arguments as a command ("$@" after shift N):
    name -> the index of the argument where the command starts."""
    found = {}
    for text in texts:
        bodies = [m.groups() for m in re.finditer(r"(?ms)^\s*(?:function\s+)?([A-Za-z_][\w-]*)\s*\(\)\s*\{(.*?)^\}", text)]
        bodies += [m.groups() for m in re.finditer(r"(?m)^\s*([A-Za-z_][\w-]*)\s*\(\)\s*\{([^\n]*)\}\s*$", text)]
        for name, body in bodies:
            if RUNS_ARGS.search(body):
                shift = re.search(r"\bshift(?:[ \t]+(\d+))?\b", body)
                found[name] = (int(shift.group(1) or 1) if shift else 0) + 1
    return found


CSTR = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def cpp_commands(text):
    """The command lines a C++ file hands to the shell: the argument of runcmd, system and
    popen, and the value of a variable named cmd; the literals joined with a placeholder
    where the code adds a value. execlp and execvp name their program in the first literal."""
    lines = []
    for m in re.finditer(r"\b(?:runcmd|system|popen)\s*\(|\bstd::string\s+cmd\s*=|\bcmd\s*\+?=", text):
        lines += cpp_expression(text, m.end())
    progs = re.findall(r'\bexec[lv]p\s*\(\s*"([^"]+)"', text)
    return progs, lines


def cpp_expression(text, i):
    """The shell text of one C++ string expression from position i to its end (a top-level
    comma, closing bracket or semicolon); each branch of a ?: is a command line of its own."""
    depth = 0
    parts = [""]
    while i < len(text):
        c = text[i]
        if c == '"':
            m = CSTR.match(text, i)
            if not m:
                break
            parts[-1] += bytes(m.group(1), "utf-8").decode("unicode_escape", "replace")
            i = m.end()
            continue
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                break
            depth -= 1
        elif depth == 0 and c in ",;":
            break
        elif depth == 0 and c in "?:" and text[i:i + 2] != "::" and text[i - 1:i + 1] != "::":
            parts.append("")
        elif not c.isspace() and c != "+" and not parts[-1].endswith("$V"):
            parts[-1] += "$V"
        i += 1
    return [p for p in parts if p.replace("$V", "").strip()]


def python_commands(text):
    """The programs of Python's subprocess calls given as argument lists, and the command lines
    given as strings (os.system, shell=True)."""
    progs = re.findall(r"\b(?:subprocess\.\w+|Popen|os\.exec\w+)\s*\(\s*\[\s*[\"']([^\"']+)[\"']", text)
    lines = re.findall(r"\bos\.(?:system|popen)\s*\(\s*[\"']([^\"']+)[\"']", text)
    lines += re.findall(r"\bsubprocess\.\w+\s*\(\s*[\"']([^\"']+)[\"'][^)]*shell\s*=\s*True", text)
    return progs, lines


def script_files(root):
    for top in ("tests", "tools", "bench", ".ci"):
        for dirpath, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = [d for d in dirs if d not in ("docfiles", "golden", "grids", "hard", "seeds")]
            for n in sorted(files):
                yield os.path.join(dirpath, n)


def called_programs(root):
    """Program name -> the scripts that call it."""
    shells, others = [], []
    for path in script_files(root):
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            continue
        first = text.split("\n", 1)[0]
        if path.endswith(".sh") or (first.startswith("#!") and re.search(r"\b(ba)?sh\b", first)):
            shells.append((path, text))
        elif path.endswith(".py"):
            others.append((path, "py", text))
        elif path.endswith((".cpp", ".h")):
            others.append((path, "cpp", text))
    runners = runner_functions([t for _, t in shells])
    functions = set()
    calls = {}

    def note(names, path):
        for n in names:
            calls.setdefault(n, set()).add(os.path.relpath(path, root))

    def shell_words(text):
        sh = Shell(runners)
        sh.scan(text)
        functions.update(sh.functions)
        return sh.commands

    for path, text in shells:
        note(shell_words(text), path)
    for path, kind, text in others:
        progs, lines = cpp_commands(text) if kind == "cpp" else python_commands(text)
        note(progs, path)
        for line in lines:
            note(shell_words(line), path)
    for n in list(calls):
        if n in BUILTINS or n in functions or n in runners:
            del calls[n]
    return calls


@functools.lru_cache(maxsize=1)
def read_status():
    """Installed packages: name -> (dependency groups, part of every system), and for each
    virtual name the installed packages that provide it."""
    pkgs, provides = {}, {}
    with open(STATUS, encoding="utf-8", errors="replace") as f:
        paras = f.read().split("\n\n")
    for para in paras:
        fields = dict(re.findall(r"(?m)^([A-Za-z-]+):[ \t]*(.*)$", para))
        if "Package" not in fields or not fields.get("Status", "").endswith(" installed"):
            continue
        groups = []
        for key in ("Pre-Depends", "Depends"):
            for group in fields.get(key, "").split(","):
                alts = [re.sub(r"[\s:(].*", "", a.strip()) for a in group.split("|")]
                alts = [a for a in alts if a]
                if alts:
                    groups.append(alts)
        base = fields.get("Essential") == "yes" or fields.get("Priority") == "required"
        name = fields["Package"]
        pkgs[name] = (groups, base)
        for p in fields.get("Provides", "").split(","):
            p = re.sub(r"[\s(].*", "", p.strip())
            if p:
                provides.setdefault(p, []).append(name)
    return pkgs, provides


def setup_packages(root):
    with open(os.path.join(root, "tools", "setup.sh"), encoding="utf-8") as f:
        m = re.search(r'(?m)^\s*pkgs="([^"]*)"', f.read())
    if not m:
        sys.exit("setupcheck: no pkgs=\"...\" list in tools/setup.sh")
    return m.group(1).split()


def covered_packages(listed, pkgs, provides):
    """The listed packages, the base system and everything they depend on. Of a dependency's
    alternatives the first one installed here counts, as apt would pick it."""
    have = set()
    todo = [p for p, (_, base) in pkgs.items() if base] + [p for p in listed if p in pkgs]
    while todo:
        p = todo.pop()
        if p in have:
            continue
        have.add(p)
        for alts in pkgs[p][0]:
            for a in alts:
                chosen = [a] if a in pkgs else [q for q in provides.get(a, []) if q in pkgs]
                if chosen:
                    todo += chosen
                    break
    return have


OWNERS = {}  # path -> packages owning it, for the paths asked so far


def owners(paths):
    """Path -> packages owning it, from one dpkg-query call for the paths not yet asked."""
    ask = sorted(p for p in paths if p not in OWNERS)
    if ask:
        r = subprocess.run(["dpkg-query", "-S"] + ask, capture_output=True, text=True)
        for p in ask:
            OWNERS[p] = set()
        for line in r.stdout.splitlines():
            # "pkg1, pkg2: /path"; "diversion by ..." lines name no owner
            if ": " not in line or line.startswith("diversion "):
                continue
            who, path = line.split(": ", 1)
            OWNERS.setdefault(path, set()).update(w.split(":")[0].strip() for w in who.split(","))
    return {p: OWNERS[p] for p in paths}


def program_paths(exe):
    """The paths a program may be recorded under: each step of its chain of symbolic links
    (alternatives), in both the /usr and the merged root form."""
    seen = []
    p = exe
    for _ in range(10):
        for q in (p, re.sub(r"^/usr/(s?bin)/", r"/\1/", p), re.sub(r"^/(s?bin)/", r"/usr/\1/", p)):
            if q not in seen:
                seen.append(q)
        if not os.path.islink(p):
            break
        p = os.path.join(os.path.dirname(p), os.readlink(p))
        p = os.path.normpath(p)
    real = os.path.realpath(exe)
    if real not in seen:
        seen.append(real)
    return seen


def check(root):
    """Lines for the programs the scripts call that tools/setup.sh does not bring."""
    pkgs, provides = read_status()
    have = covered_packages(setup_packages(root), pkgs, provides)
    calls = called_programs(root)
    # The project's own programs and scripts are built or lie in the tree.
    own = {"zyn", "zyn-export"}
    paths = {}
    problems = []
    for name in sorted(calls):
        if name in own:
            continue
        exe = shutil.which(name) if "/" not in name else name if os.path.exists(name) else None
        if not exe:
            problems.append(f"{name}: not installed (called by {', '.join(sorted(calls[name]))})")
            continue
        paths[name] = program_paths(exe)
    owned = owners({p for ps in paths.values() for p in ps})
    for name, ps in sorted(paths.items()):
        who = set().union(*(owned.get(p, set()) for p in ps))
        if not who:
            if ps[0].startswith(("/usr/", "/bin/", "/sbin/")) and not ps[0].startswith("/usr/local/"):
                problems.append(f"{name}: {ps[0]} belongs to no Debian package (called by {', '.join(sorted(calls[name]))})")
            continue  # a program of the user's own, outside the system's folders
        if not who & have:
            problems.append(f"{name}: package {', '.join(sorted(who))} is not installed by tools/setup.sh "
                            f"(called by {', '.join(sorted(calls[name]))})")
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    if not os.path.exists(STATUS) or not shutil.which("dpkg-query"):
        print("setupcheck: no dpkg database here; skipped")
        return 77
    problems = check(root)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
