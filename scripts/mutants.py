#!/usr/bin/env python3
"""A mutation check of the core: how many small faults do the unit tests notice?

Makes single-token changes ("mutants") in the core's .cpp files, applies each
one in a copy of the tree under build-mutants/, rebuilds only unit_tests
(one object and the link; ccache makes the restore cheap), runs them under a
time limit and reports, per file, the mutants the tests killed, the ones that
survived (with file:line and the change) and the ones that did not compile.

The sample is drawn with a seed, so a run can be repeated after tests were
added and the two reports compared. Each candidate is drawn by a hash of the
seed, its file, the text of its line and its change, not by its place in the
list of all candidates: an edit elsewhere in the core leaves the rest of the
sample as it was (only mutants on lines that changed come and go).

    scripts/mutants.py --seed 1 --count 150 --paths core/views core/encodings
    scripts/mutants.py --list --paths core/shell        # the candidates only

The copy is built with the standard library's and the compiler's cheap bounds
checks (_GLIBCXX_ASSERTIONS, and -fsanitize=bounds trapping without a runtime),
so a mutant that reads or writes one element past an array stops the tests as
the sanitizer build's run would, instead of passing by luck. Those checks do
not see raw pointers (a byte read past a buffer, a mapping): a mutant that
survives them is built once more with AddressSanitizer and
UndefinedBehaviorSanitizer, as CI runs the tests, and checked again there
(--no-sanitizer skips that pass).

The developer's tree is never touched: the copy is refreshed from it at the
start of each run, and a mutated file in the copy is put back even when the
run is interrupted.
"""

import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import asdict, dataclass

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------- tokens

TOKEN_RE = re.compile(
    r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"
              |(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*")
  | (?P<char>(?:u8|u|U|L)?'(?:\\.|[^'\\\n])+')
  | (?P<number>(?:0[xX][0-9a-fA-F']+|0[bB][01']+|\d[\d']*(?:\.\d*)?(?:[eE][+-]?\d+)?
                |\.\d+(?:[eE][+-]?\d+)?)[a-zA-Z]*)
  | (?P<ident>[A-Za-z_]\w*)
  | (?P<punct>::|->\*?|\.\.\.|<=>|<<=|>>=|<<|>>|<=|>=|==|!=|&&|\|\||\+\+|--
              |[-+*/%&|^!=<>]=?|[{}()\[\];,.?:~\#])
    """,
    re.VERBOSE | re.DOTALL,
)


@dataclass
class Token:
    kind: str
    text: str
    start: int  # offset in the file
    line: int


def directive_spans(source):
    """(start, end) of every preprocessor line, continuation lines included."""
    spans = []
    for m in re.finditer(r"^[ \t]*#(?:[^\n]*\\\n)*[^\n]*", source, re.MULTILINE):
        spans.append((m.start(), m.end()))
    return spans


def tokenize(source):
    """The file's tokens without spaces, comments and preprocessor lines."""
    directives = directive_spans(source)
    tokens = []
    pos, line, d = 0, 1, 0
    while pos < len(source):
        while d < len(directives) and directives[d][1] <= pos:
            d += 1
        if d < len(directives) and directives[d][0] <= pos:
            line += source.count("\n", pos, directives[d][1])
            pos = directives[d][1]
            continue
        m = TOKEN_RE.match(source, pos)
        if not m:  # a stray character: step over it
            pos += 1
            continue
        kind = "string" if m.group("string") is not None else m.lastgroup
        if kind not in ("space", "comment"):
            tokens.append(Token(kind, m.group(0), pos, line))
        line += m.group(0).count("\n")
        pos = m.end()
    return tokens


# ------------------------------------------------------------- candidates


@dataclass
class Mutant:
    path: str  # relative to the repository
    line: int
    start: int
    end: int
    original: str
    replacement: str
    kind: str

    def key(self):
        return f"{self.path}:{self.line}:{self.start}:{self.replacement}"


NEIGHBOUR = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ROUNDING = {"floor": "ceil", "ceil": "floor", "round": "trunc", "trunc": "round",
            "lround": "lrint", "llround": "llrint"}
SKIPPED_CALLS = {"assert", "static_assert", "PRAMBUS_ASSERT"}
TEMPLATE_ARG_TOKENS = {"::", ",", "*", "&", "const", "unsigned", "signed", "long",
                       "short", "int", "char", "bool", "(", ")", "[", "]", "...", "&&"}


def template_closers(tokens):
    """Indices of '<' and '>' that bracket template arguments, not comparisons."""
    brackets = set()
    for i, tok in enumerate(tokens):
        if tok.text != "<" or i == 0:
            continue
        before = tokens[i - 1]
        if before.kind != "ident" and before.text not in (">", "template"):
            continue
        if before.text == "operator":
            continue
        depth, j = 1, i + 1
        inner = []
        while j < len(tokens) and depth:
            t = tokens[j]
            if t.text == "<":
                depth += 1
            elif t.text == ">":
                depth -= 1
            elif t.text == ">>":
                depth -= 2
            elif t.kind not in ("ident", "number") and t.text not in TEMPLATE_ARG_TOKENS:
                break
            inner.append(j)
            j += 1
        if depth <= 0:
            brackets.add(i)
            brackets.update(k for k in inner if tokens[k].text in ("<", ">"))
    return brackets


def skipped_spans(tokens):
    """Indices inside assert(...) and static_assert(...): checks, not rules."""
    skipped = set()
    for i, tok in enumerate(tokens):
        if tok.kind == "ident" and tok.text in SKIPPED_CALLS and i + 1 < len(tokens) \
                and tokens[i + 1].text == "(":
            depth, j = 0, i + 1
            while j < len(tokens):
                if tokens[j].text == "(":
                    depth += 1
                elif tokens[j].text == ")":
                    depth -= 1
                    if depth == 0:
                        break
                skipped.add(j)
                j += 1
    return skipped


def table_spans(tokens):
    """Indices of numbers and characters in braced initialisers of arrays."""
    entries = {}  # token index -> table id
    for i, tok in enumerate(tokens):
        if tok.text != "{" or i < 2 or tokens[i - 1].text != "=":
            continue
        # A table is declared with [] or as a std::array.
        k, declared = i - 2, False
        while k >= 0 and tokens[k].text not in (";", "{", "}"):
            if tokens[k].text in ("]", "array"):
                declared = True
                break
            k -= 1
        if not declared:
            continue
        depth, j = 0, i
        while j < len(tokens):
            if tokens[j].text == "{":
                depth += 1
            elif tokens[j].text == "}":
                depth -= 1
                if depth == 0:
                    break
            elif tokens[j].kind in ("number", "char"):
                entries[j] = i
            j += 1
    return entries


def integer_value(text):
    """(value, suffix, base) of an integer literal, None for other numbers."""
    m = re.fullmatch(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|\d[\d']*)([uUlLzZ]*)", text)
    if not m:
        return None
    digits = m.group(1).replace("'", "")
    if digits[:2] in ("0x", "0X"):
        return int(digits, 16), m.group(2), 16
    if digits[:2] in ("0b", "0B"):
        return int(digits[2:], 2), m.group(2), 2
    if len(digits) > 1 and digits[0] == "0":
        return int(digits, 8), m.group(2), 8
    return int(digits), m.group(2), 10


def integer_text(value, suffix, base):
    if value < 0:
        return f"(-{integer_text(-value, suffix, base)})"
    if base == 16:
        return f"0x{value:X}{suffix}"
    if base == 2:
        return f"0b{value:b}{suffix}"
    if base == 8:
        return f"0{value:o}{suffix}"
    return f"{value}{suffix}"


def char_plus_one(text):
    m = re.fullmatch(r"'(.)'", text)
    if not m or not m.group(1).isprintable() or m.group(1) in "\\'":
        return None
    nxt = chr(ord(m.group(1)) + 1)
    return None if nxt in "\\'" else f"'{nxt}'"


def condition_end(tokens, open_index):
    depth = 0
    for j in range(open_index, len(tokens)):
        if tokens[j].text == "(":
            depth += 1
        elif tokens[j].text == ")":
            depth -= 1
            if depth == 0:
                return j
    return None


def negated_condition(tokens, i):
    """The mutant that negates the condition of the 'if' at token i."""
    if i + 1 >= len(tokens) or tokens[i + 1].text != "(":
        return None  # "if constexpr" and the like
    close = condition_end(tokens, i + 1)
    if close is None:
        return None
    first = i + 2
    depth = 0
    for j in range(i + 2, close):  # an init-statement: negate what follows it
        t = tokens[j].text
        if t in ("(", "[", "{"):
            depth += 1
        elif t in (")", "]", "}"):
            depth -= 1
        elif t == ";" and depth == 0:  # not one inside a lambda's body
            first = j + 1
    inner = tokens[first:close]
    if not inner:
        return None
    # A declaration in the condition cannot be negated.
    if inner[0].text in ("auto", "const") or (
            len(inner) > 2 and inner[0].kind == "ident" and inner[1].kind == "ident"):
        return None
    return inner[0].start, tokens[close].start


def candidates_in(path, source):
    tokens = tokenize(source)
    templates = template_closers(tokens)
    skipped = skipped_spans(tokens)
    tables = table_spans(tokens)
    found = []
    per_table = {}

    def add(tok, replacement, kind, end=None):
        found.append(Mutant(path, tok.line, tok.start, end if end is not None
                            else tok.start + len(tok.text), tok.text, replacement, kind))

    for i, tok in enumerate(tokens):
        if i in skipped:
            continue
        prev = tokens[i - 1] if i else None
        after_operator = prev is not None and prev.text == "operator"
        if i in tables:
            per_table.setdefault(tables[i], []).append(i)
            continue
        if tok.kind == "punct":
            if tok.text in NEIGHBOUR and i not in templates and not after_operator:
                add(tok, NEIGHBOUR[tok.text], "comparison")
            elif tok.text in ("&&", "||") and not after_operator:
                add(tok, "||" if tok.text == "&&" else "&&", "logic")
            elif tok.text in ("+", "-") and i + 1 < len(tokens) and \
                    tokens[i + 1].text == "1" and prev is not None and \
                    (prev.kind in ("ident", "number") or prev.text in (")", "]")):
                add(tok, "-" if tok.text == "+" else "+", "plus-minus-one")
        elif tok.kind == "number":
            parsed = integer_value(tok.text)
            if parsed is None or (prev is not None and prev.text in ("[",) and
                                  i + 1 < len(tokens) and tokens[i + 1].text == "]"
                                  and i >= 2 and tokens[i - 2].kind == "ident"
                                  and i >= 3 and tokens[i - 3].kind == "ident"):
                continue  # array sizes in declarations only move the bound
            value, suffix, base = parsed
            add(tok, integer_text(value + 1, suffix, base), "literal")
            if value > 0 or not suffix:
                add(tok, integer_text(value - 1, suffix, base), "literal")
        elif tok.kind == "ident":
            if tok.text in ROUNDING and i + 1 < len(tokens) and tokens[i + 1].text == "(":
                add(tok, ROUNDING[tok.text], "rounding")
            elif tok.text == "if" and (prev is None or prev.text != "#"):
                span = negated_condition(tokens, i)
                if span:
                    start, end = span
                    found.append(Mutant(path, tok.line, start, end, source[start:end],
                                        "!(" + source[start:end] + ")", "negated-if"))

    # Each table offers a few of its entries, so one long table does not
    # crowd every other rule out of the sample.
    chooser = random.Random(path)
    for _, indices in sorted(per_table.items()):
        for i in sorted(chooser.sample(indices, min(4, len(indices)))):
            tok = tokens[i]
            if tok.kind == "char":
                replacement = char_plus_one(tok.text)
            else:
                parsed = integer_value(tok.text)
                replacement = integer_text(parsed[0] + 1, parsed[1], parsed[2]) \
                    if parsed else None
            if replacement:
                add(tok, replacement, "table")
    return found


def is_generated(source):
    return "Generated by" in source[:300]


def core_files(paths):
    files = []
    for base in paths:
        full = os.path.join(ROOT, base)
        if os.path.isfile(full):
            files.append(base)
            continue
        for folder, _, names in os.walk(full):
            for name in names:
                if name.endswith(".cpp"):
                    files.append(os.path.relpath(os.path.join(folder, name), ROOT))
    return sorted(set(files))


def all_candidates(paths, include_generated):
    result = []
    for path in core_files(paths):
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            source = f.read()
        if is_generated(source) and not include_generated:
            continue
        result.extend(candidates_in(path, source))
    return result


def stable_sample(pool, seed, count):
    """The `count` candidates whose hashes under `seed` are the smallest.

    A candidate is known by its file, its line's text, its column in that line
    and its change (and, for lines of the same text, which of them it is), so
    the hash stays while the code around it moves."""
    lines_of = {}
    seen = {}
    keyed = []
    for m in pool:
        if m.path not in lines_of:
            with open(os.path.join(ROOT, m.path), encoding="utf-8") as f:
                lines_of[m.path] = f.read()
        source = lines_of[m.path]
        line_start = source.rfind("\n", 0, m.start) + 1
        line_end = source.find("\n", m.start)
        text = source[line_start:line_end if line_end >= 0 else len(source)]
        identity = (m.path, text.strip(), m.start - line_start - (len(text) - len(text.lstrip())),
                    m.original, m.replacement)
        nth = seen.get(identity, 0)
        seen[identity] = nth + 1
        digest = hashlib.sha256(
            ("\0".join(map(str, (seed,) + identity + (nth,)))).encode("utf-8")).hexdigest()
        keyed.append((digest, m))
    keyed.sort(key=lambda k: k[0])
    chosen = [m for _, m in keyed[:count]]
    chosen.sort(key=lambda m: (m.path, m.start, m.replacement))
    return chosen


def mutated_source(source, m):
    return source[:m.start] + m.replacement + source[m.end:]


def describe(m, source):
    line_start = source.rfind("\n", 0, m.start) + 1
    line_end = source.find("\n", m.start)
    line = source[line_start:line_end]
    column = m.start - line_start
    after = line[:column] + m.replacement + source[m.end:line_end if m.end <= line_end
                                                   else m.end]
    return line.strip(), after.split("\n")[0].strip()


# ------------------------------------------------------------- the tree copy


def tracked_files():
    out = subprocess.run(["git", "-C", ROOT, "ls-files", "-co", "--exclude-standard", "-z"],
                         check=True, capture_output=True).stdout.decode()
    return [f for f in out.split("\0") if f]


def refresh_copy(tree):
    """Makes the copy equal to the developer's tree (content; a file already equal is not touched)."""
    wanted = set(tracked_files())
    for rel in wanted:
        src, dst = os.path.join(ROOT, rel), os.path.join(tree, rel)
        if not os.path.isfile(src):
            continue
        if os.path.isfile(dst):
            with open(src, "rb") as a, open(dst, "rb") as b:
                if a.read() == b.read():
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        # A fresh modification time, not the source's: the copy's objects may
        # be newer than the source file, and would not be rebuilt from it.
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)
    # Files gone from the tree go from the copy too (CMake globs the folders).
    for folder in ("core", "tests", "include", "examples", "fuzz"):
        for base, _, names in os.walk(os.path.join(tree, folder)):
            for name in names:
                rel = os.path.relpath(os.path.join(base, name), tree)
                if rel not in wanted:
                    os.remove(os.path.join(tree, rel))


def run(cmd, timeout=None, **kw):
    """Runs cmd in its own process group; (returncode or None on timeout, output)."""
    proc = subprocess.Popen(["nice", "-n", "15"] + cmd, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, start_new_session=True, **kw)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out.decode(errors="replace")
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        return None, out.decode(errors="replace")
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        raise


# Bounds checks that need no sanitizer runtime: an index past a std::vector,
# std::array or string (the library's assertions) or past a built-in array of
# known size (the compiler's check, trapping) ends the test run.
CHECKS = "-D_GLIBCXX_ASSERTIONS -fsanitize=bounds -fsanitize-undefined-trap-on-error"


class Build:
    def __init__(self, work, sanitized=False):
        self.tree = os.path.join(work, "tree")
        self.sanitized = sanitized
        # Inside the copy, at the same places as the usual build folders (the
        # sanitized one as CI configures it), so ccache (base_dir) reuses what
        # the developer's and CI's builds compiled.
        self.dir = os.path.join(self.tree, "build-asan" if sanitized else "build")

    def prepare(self, refresh=True):
        os.makedirs(self.tree, exist_ok=True)
        if refresh:
            refresh_copy(self.tree)
        # Configured every run (cheap when nothing changed), so a copy made
        # before the checks were added is rebuilt with them.
        if self.sanitized:
            flags = ["-DCMAKE_BUILD_TYPE=Debug", "-DPRAMBUS_SANITIZE=ON"]
        else:
            flags = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS=" + CHECKS]
        code, out = run(["cmake", "-S", self.tree, "-B", self.dir, "-G", "Ninja",
                         "-DPRAMBUS_GUI=OFF", "-DPRAMBUS_BENCH=OFF"] + flags)
        if code != 0:
            sys.exit("cmake failed:\n" + out)

    def build(self, timeout=900):
        return run(["cmake", "--build", self.dir, "--target", "unit_tests"], timeout=timeout)

    def test(self, timeout):
        binary = os.path.join(self.dir, "tests", "unit_tests")
        env = dict(os.environ)
        if self.sanitized:
            env["ASAN_OPTIONS"] = "detect_leaks=1"
            env["UBSAN_OPTIONS"] = "print_stacktrace=1"
        return run([binary, "--gtest_brief=1", "--gtest_fail_fast"], timeout=timeout,
                   cwd=self.dir, env=env)

    def baseline(self, refresh=True):
        """Builds the unmutated copy and times its tests; the limit for a mutant's run."""
        self.prepare(refresh)
        code, out = self.build()
        if code != 0:
            sys.exit(f"the unmutated tree does not build in {self.dir}:\n" + out[-3000:])
        began = time.monotonic()
        code, out = self.test(timeout=1800)
        seconds = time.monotonic() - began
        if code != 0:
            sys.exit(f"the unit tests fail without any mutant in {self.dir}:\n" + out[-3000:])
        return seconds, max(30.0, 10 * seconds)


# ------------------------------------------------------------------ the run


@dataclass
class Outcome:
    key: str
    path: str
    line: int
    kind: str
    before: str
    after: str
    result: str  # killed, timeout, survived, not compiled
    seconds: float
    by: str = ""  # "sanitizer": killed only by the sanitized build's run


def load_explained(path):
    """Survivors already looked at: (file, line, mutated line) -> verdict and why.

    Each line of the file is tab-separated: the file, the line as written, the
    line as mutated (both as the report prints them), and "equivalent: why"
    (no input can tell the mutant from the code) or "unobservable: why" (only
    speed, memory or a value never read differs). Lines starting with # are
    comments. Matching by text, not offset, keeps entries valid while other
    lines of the file change.
    """
    explained = {}
    if not os.path.isfile(path):
        return explained
    with open(path, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split("\t")
            verdict = parts[3].split(":", 1)[0] if len(parts) == 4 else ""
            if verdict not in ("equivalent", "unobservable"):
                sys.exit(f"{path}:{n}: expected file, line, mutated line and "
                         f"'equivalent: …' or 'unobservable: …', tab-separated")
            explained[(parts[0], parts[1].strip(), parts[2].strip())] = parts[3]
    return explained


def stale_explanations(explained, paths, include_generated):
    """The entries, under paths, that no candidate of today's code matches."""
    described = set()
    sources = {}
    for m in all_candidates(paths, include_generated):
        if m.path not in sources:
            with open(os.path.join(ROOT, m.path), encoding="utf-8") as f:
                sources[m.path] = f.read()
        described.add((m.path, *describe(m, sources[m.path])))
    under = [os.path.normpath(p) for p in paths]
    return sorted(k for k in explained if k not in described and any(
        os.path.normpath(k[0]) == u or os.path.normpath(k[0]).startswith(u + os.sep)
        for u in under))


def summarise(outcomes, explained=None, out=sys.stdout):
    explained = explained or {}
    per_file = {}
    for o in outcomes:
        per_file.setdefault(o.path, {"killed": 0, "survived": 0, "not compiled": 0})
        if o.result == "build timed out":
            continue
        per_file[o.path]["killed" if o.result in ("killed", "timeout") else o.result] += 1
    print(f"\n{'file':48} killed survived not-compiled", file=out)
    totals = {"killed": 0, "survived": 0, "not compiled": 0}
    for path in sorted(per_file):
        c = per_file[path]
        for k in totals:
            totals[k] += c[k]
        print(f"{path:48} {c['killed']:6} {c['survived']:8} {c['not compiled']:12}", file=out)
    counted = totals["killed"] + totals["survived"]
    score = 100.0 * totals["killed"] / counted if counted else 0.0
    print(f"{'total':48} {totals['killed']:6} {totals['survived']:8} "
          f"{totals['not compiled']:12}", file=out)
    print(f"score: {totals['killed']}/{counted} killed = {score:.1f} %", file=out)
    sanitized = sum(1 for o in outcomes if o.by == "sanitizer")
    if sanitized:
        print(f"  of them killed only under the sanitizers: {sanitized}", file=out)
    survivors = [o for o in outcomes if o.result == "survived"]
    why = {id(o): explained.get((o.path, o.before, o.after)) for o in survivors}
    known = [o for o in survivors if why[id(o)]]
    if known:
        kinds = {}
        for o in known:
            v = why[id(o)].split(":", 1)[0]
            kinds[v] = kinds.get(v, 0) + 1
        telling = counted - len(known)
        print(f"explained survivors: {len(known)} "
              f"({', '.join(f'{k} {v}' for k, v in sorted(kinds.items()))}); of the "
              f"{telling} mutants a test could tell, {totals['killed']} killed = "
              f"{100.0 * totals['killed'] / telling if telling else 0.0:.1f} %", file=out)
    for title, group in (("survivors to look at", [o for o in survivors if not why[id(o)]]),
                         ("explained survivors", known)):
        if not group:
            continue
        print(f"\n{title}:", file=out)
        for o in sorted(group, key=lambda o: (o.path, o.line)):
            print(f"  {o.path}:{o.line} [{o.kind}]\n      {o.before}\n    → {o.after}", file=out)
            if why[id(o)]:
                print(f"      ({why[id(o)]})", file=out)
    return score


def check_mutant(build, m, test_timeout, build_timeout):
    src = os.path.join(build.tree, m.path)
    with open(src, encoding="utf-8") as f:
        original = f.read()
    before, after = describe(m, original)
    began = time.monotonic()
    try:
        with open(src, "w", encoding="utf-8") as f:
            f.write(mutated_source(original, m))
        code, _ = build.build(timeout=build_timeout)
        if code is None:
            result = "build timed out"  # a loaded machine, not the mutant: not counted
        elif code != 0:
            result = "not compiled"
        else:
            code, _ = build.test(test_timeout)
            result = "timeout" if code is None else ("survived" if code == 0 else "killed")
    finally:
        with open(src, "w", encoding="utf-8") as f:
            f.write(original)
    return Outcome(m.key(), m.path, m.line, m.kind, before, after, result,
                   round(time.monotonic() - began, 1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--paths", nargs="+",
                        default=["core/views", "core/encodings", "core/shell", "core/settings"],
                        help="folders or .cpp files of the core to mutate")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=150, help="mutants in the sample")
    parser.add_argument("--only", help="a report (.json) of an earlier run: check again only "
                        "its survivors")
    parser.add_argument("--where", nargs="+", metavar="FILE:LINE",
                        help="of the sample, check only the mutants on these lines")
    parser.add_argument("--include-generated", action="store_true",
                        help="mutate generated files (tables made by scripts) too")
    parser.add_argument("--build-timeout", type=float, default=1800,
                        help="seconds one mutant's rebuild may take")
    parser.add_argument("--list", action="store_true", help="list the sample, build nothing")
    parser.add_argument("--no-sanitizer", action="store_true",
                        help="skip the pass of the survivors under the sanitizers")
    parser.add_argument("--summary", metavar="REPORT",
                        help="print a report's (.json) summary again, build nothing")
    parser.add_argument("--work", default=os.path.join(ROOT, "build-mutants"))
    parser.add_argument("--explained", default=os.path.join(ROOT, "scripts",
                                                              "mutants-explained.txt"),
                        help="survivors already shown equivalent or unobservable")
    parser.add_argument("--report", help="where the .json report goes "
                        "(default: build-mutants/seed-SEED.json)")
    args = parser.parse_args()

    explained = load_explained(args.explained)
    stale = stale_explanations(explained, args.paths, args.include_generated)
    if stale:
        print(f"{len(stale)} entries of {os.path.relpath(args.explained, ROOT)} match no mutant "
              f"of the code any more (their line changed): look at them again", file=sys.stderr)
        for path, before, after in stale:
            print(f"  {path}: {before}  →  {after}", file=sys.stderr)
    if args.summary:
        with open(args.summary, encoding="utf-8") as f:
            summarise([Outcome(**o) for o in json.load(f)["outcomes"]], explained)
        return 0
    pool = all_candidates(args.paths, args.include_generated)
    sample = stable_sample(pool, args.seed, args.count)
    earlier = []  # with --only: the earlier report's outcomes not checked again
    if args.only:
        # Mutants are matched by their file and their line as written and as
        # mutated, so lines that only moved keep their outcomes; mutants the
        # earlier report does not have (on lines edited since) are checked.
        with open(args.only, encoding="utf-8") as f:
            earlier = [Outcome(**o) for o in json.load(f)["outcomes"]]
        sources = {}

        def identity(m):
            if m.path not in sources:
                with open(os.path.join(ROOT, m.path), encoding="utf-8") as f:
                    sources[m.path] = f.read()
            return (m.path,) + describe(m, sources[m.path])

        again = {(o.path, o.before, o.after) for o in earlier if o.result == "survived"}
        known = {(o.path, o.before, o.after) for o in earlier}
        drawn = {identity(m): m for m in sample}
        kept = []
        for o in earlier:
            m = drawn.get((o.path, o.before, o.after))
            if m is not None:
                o.line, o.key = m.line, m.key()  # where the line is now
                kept.append(o)
        sample = [m for m in sample if identity(m) in again or identity(m) not in known]
        if args.where:
            sample = [m for m in sample if f"{m.path}:{m.line}" in args.where]
        # What is checked again replaces its earlier outcome; the rest stand.
        checked = {identity(m) for m in sample}
        earlier = [o for o in kept if (o.path, o.before, o.after) not in checked]
    elif args.where:
        sample = [m for m in sample if f"{m.path}:{m.line}" in args.where]
    kinds = {}
    for m in pool:
        kinds[m.kind] = kinds.get(m.kind, 0) + 1
    print(f"{len(pool)} candidates ({', '.join(f'{k} {v}' for k, v in sorted(kinds.items()))}); "
          f"{len(sample)} in the sample, seed {args.seed}")
    if args.list:
        sources = {}
        for m in sample:
            if m.path not in sources:
                with open(os.path.join(ROOT, m.path), encoding="utf-8") as f:
                    sources[m.path] = f.read()
            before, after = describe(m, sources[m.path])
            print(f"{m.path}:{m.line} [{m.kind}] {before}  →  {after}")
        return 0

    build = Build(args.work)
    baseline, test_timeout = build.baseline()
    print(f"unit tests pass in {baseline:.1f} s; each mutant's run is limited to "
          f"{test_timeout:.0f} s")

    suffix = "-again" if args.only or args.where else ""
    report = args.report or os.path.join(args.work, f"seed-{args.seed}{suffix}.json")
    outcomes = []
    try:
        for n, m in enumerate(sample, 1):
            o = check_mutant(build, m, test_timeout, args.build_timeout)
            outcomes.append(o)
            print(f"[{n}/{len(sample)}] {o.result:12} {o.seconds:5.1f} s  {o.path}:{o.line} "
                  f"[{o.kind}] {o.after}", flush=True)
        survivors = [o for o in outcomes if o.result == "survived"]
        if survivors and not args.no_sanitizer:
            sanitized = Build(args.work, sanitized=True)
            # The copy as the run began: the sample's places in its files
            # hold only for those files, whatever was edited since.
            baseline, limit = sanitized.baseline(refresh=False)
            print(f"\n{len(survivors)} survivors again under the sanitizers (their tests pass "
                  f"in {baseline:.1f} s; limit {limit:.0f} s):", flush=True)
            by_key = {m.key(): m for m in sample}
            for n, o in enumerate(survivors, 1):
                again = check_mutant(sanitized, by_key[o.key], limit, args.build_timeout)
                if again.result in ("killed", "timeout"):
                    o.result, o.by = "killed", "sanitizer"
                o.seconds = round(o.seconds + again.seconds, 1)
                print(f"[{n}/{len(survivors)}] {again.result:12} {again.seconds:5.1f} s  "
                      f"{o.path}:{o.line} [{o.kind}] {o.after}", flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted; the copy is restored", file=sys.stderr)
    if earlier:
        # Tests were only added since: what was killed stays killed, and the
        # score covers the whole sample again.
        print(f"\nwith the {len(earlier)} outcomes of {os.path.relpath(args.only, ROOT)} "
              f"not checked again:")
        outcomes = earlier + outcomes
    score = summarise(outcomes, explained)
    with open(report, "w", encoding="utf-8") as f:
        json.dump({"seed": args.seed, "count": args.count, "paths": args.paths,
                   "score": score, "outcomes": [asdict(o) for o in outcomes]}, f,
                  ensure_ascii=False, indent=1)
    print(f"report: {os.path.relpath(report, ROOT)}")
    return 0


if __name__ == "__main__":
    def interrupted(*_):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, interrupted)
    sys.exit(main())
