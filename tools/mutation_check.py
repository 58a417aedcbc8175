#!/usr/bin/env python3
"""Measures how many small faults in the sources the test suite catches.

Each mutant changes one spot of one .cpp under src/core/ or src/platform/, or the folders given
with --dirs (a comparison, an arithmetic or boolean operator, a `!`, a number, or a whole
call/assignment statement), rebuilds the test executables that link the changed library in a
build folder of its own, and runs them. A mutant is killed when one of them fails or runs past its time, invalid when it does not compile.

The selection depends only on the sources and the seed, and every mutant has a stable id
(file:line:col:kind:replacement), so a run before and a run after a change to the tests try the
same mutants; --compare lists the ones the second run no longer kills.

  tools/mutation_check.py --list                  # the mutants a run would try
  tools/mutation_check.py --limit 5 --jobs 1      # a short trial
  tools/mutation_check.py --results before.tsv   # all of them; later again into after.tsv
  tools/mutation_check.py --compare before.tsv after.tsv
  tools/mutation_check.py --dirs src/app src/views --mutants 50   # the Qt services and views

The sources are changed in place, so the checkout must have no local change under src/; each
file is put back after its mutant, whatever happens.
"""

import argparse
import bisect
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_DIRS = ("src/core", "src/platform")
DEFAULT_MUTANTS = 120
DEFAULT_SEED = 1
FILE_API_CLIENT = "client-mutation-check"
# Where the file being mutated is copied first, so a run killed without warning can be undone.
BACKUP_NAME = "mutation-in-progress.json"
KILLED_STATUSES = ("killed", "timeout")
# A slow test executable runs as several processes, one shard of its tests each, of about this long.
SHARD_SECONDS = 3.0
MAX_SHARDS = 4


@dataclass(frozen=True)
class Mutant:
    path: str  # relative to the checkout
    line: int  # 1-based
    col: int  # 1-based, in characters of the line
    kind: str
    original: str
    replacement: str  # "del" for a removal

    @property
    def id(self):
        return f"{self.path}:{self.line}:{self.col}:{self.kind}:{self.replacement}"

    def apply(self, text):
        # Lines as the sites were found: split at line feeds only.
        lines = text.split("\n")
        line = lines[self.line - 1]
        start = self.col - 1
        if line[start:start + len(self.original)] != self.original:
            raise RuntimeError(f"{self.id}: the source no longer has {self.original!r} there")
        new = "" if self.replacement == "del" else self.replacement
        lines[self.line - 1] = line[:start] + new + line[start + len(self.original):]
        return "\n".join(lines)


# ---------------------------------------------------------------------------------------------
# Finding mutation sites

IDENT_CHARS = set("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_")
RAW_PREFIXES = ("R", "u8R", "uR", "UR", "LR")


def mask_code(text):
    """Returns the text with comments, string and character literals blanked out (line breaks and
    positions kept), and the list of number tokens as (offset, text)."""
    out = list(text)
    numbers = []
    n = len(text)
    i = 0

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if c == "/" and text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif c == "/" and text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c in IDENT_CHARS and not c.isdigit():
            j = i
            while j < n and text[j] in IDENT_CHARS:
                j += 1
            word = text[i:j]
            if j < n and text[j] == '"' and word in RAW_PREFIXES:
                paren = text.find("(", j)
                delim = text[j + 1:paren]
                end = text.find(")" + delim + '"', paren)
                end = n if end < 0 else end + len(delim) + 2
                blank(i, end)
                i = end
            else:
                i = j  # an ordinary name, or the u8/L prefix of a literal that comes next
        elif c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            # A preprocessing number: digits, letters, dots, digit separators and signed exponents.
            j = i + 1
            while j < n:
                d = text[j]
                if d in "+-" and text[j - 1] in "eEpP" and not text[i:j].lower().startswith("0x"):
                    j += 1
                elif d in "+-" and text[j - 1] in "pP":
                    j += 1
                elif d in IDENT_CHARS or d == "." or (d == "'" and j + 1 < n and text[j + 1] in IDENT_CHARS):
                    j += 1
                else:
                    break
            numbers.append((i, text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i, j)
            i = j
        else:
            i += 1
    return "".join(out), numbers


def blank_preprocessor_and_asserts(masked):
    """Blanks preprocessor lines (with their continuations) and static_assert(...) declarations."""
    lines = masked.split("\n")
    continuing = False
    for k, line in enumerate(lines):
        if continuing or line.lstrip().startswith("#"):
            continuing = line.rstrip().endswith("\\")
            lines[k] = " " * len(line)
    masked = "\n".join(lines)
    out = list(masked)
    for m in re.finditer(r"\bstatic_assert\b", masked):
        depth = 0
        j = m.end()
        while j < len(masked):
            if masked[j] == "(":
                depth += 1
            elif masked[j] == ")":
                depth -= 1
            elif masked[j] == ";" and depth == 0:
                break
            j += 1
        for k in range(m.start(), min(j + 1, len(masked))):
            if out[k] != "\n":
                out[k] = " "
    return "".join(out)


def bumped_number(token):
    """The literal one more than token (zero becomes one), or None for a number not worth it."""
    t = token.replace("'", "")
    m = re.fullmatch(r"(0[xX][0-9a-fA-F]+|0[bB][01]+|[0-9]+)([uUlLzZ]*)", t)
    if m:
        body, suffix = m.groups()
        low = body.lower()
        if low.startswith("0x"):
            return f"{body[:2]}{int(body, 16) + 1:X}{suffix}"
        if low.startswith("0b"):
            return f"{body[:2]}{int(body, 2) + 1:b}{suffix}"
        if len(body) > 1 and body.startswith("0"):
            return f"0{int(body, 8) + 1:o}{suffix}"
        return f"{int(body) + 1}{suffix}"
    m = re.fullmatch(r"((?:[0-9]+\.[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?|[0-9]+[eE][+-]?[0-9]+)([fFlL]?)", t)
    if m:
        body, suffix = m.groups()
        value = float(body) + 1.0
        text = repr(value)
        if "e" not in text and "." not in text:
            text += ".0"
        return text + suffix
    return None


COMPARE_SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITH_SWAP = {"+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}
BOOL_SWAP = {"&&": "||", "||": "&&"}
# A binary operator written with a space either side; templates, pointers and references are not.
SPACED_OPERATOR = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>|\+=|-=|\*=|/=|\+|-|\*|/|&&|\|\|)(?=\s)")
NEGATION = re.compile(r"(?<![\w)\]!])!(?!=)")
STATEMENT_KEYWORDS = re.compile(
    r"(return|co_return|throw|break|continue|goto|if|else|for|while|do|switch|case|default|using|"
    r"namespace|typedef|template|friend|enum|struct|class|union|public|private|protected|delete|"
    r"extern|static|constexpr|const|auto|virtual|explicit|inline)\b")


def removable_statement(line, previous):
    """The column where a removable statement of this masked line starts, or None.

    Removable: a call or an assignment that starts and ends on this line, after a line that ended a
    statement or opened a block; never a declaration, a return or a control statement."""
    code = line.strip()
    if not code.endswith(";") or code == ";":
        return None
    if previous is not None and not previous.rstrip().endswith((";", "{", "}", ":")):
        return None
    if STATEMENT_KEYWORDS.match(code) or code.startswith(("}", "{", "[")):
        return None
    for open_, close in ("()", "[]", "{}"):
        if code.count(open_) != code.count(close):
            return None
    if code.count(";") != 1 or re.search(r"=\s*(delete|default)\s*;$", code):
        return None
    # The part before the first call or assignment names what is called or assigned; two names
    # side by side there ("Type name", "const auto& x") make it a declaration.
    head = re.split(r"\(|(?<![=!<>])=(?!=)|[+\-*/%&|^]=|<<=|>>=|\{", code, maxsplit=1)
    if len(head) == 1:
        if not re.search(r"\+\+|--", code):
            return None  # "Type name;" or a bare expression: nothing worth removing
    lhs = re.sub(r"::|->|\.|\[[^\]]*\]|<[^<>;]*>", "", head[0]).strip()
    lhs = lhs.lstrip("*&").strip()
    if re.search(r"\w\s+[\w*&]", lhs) or re.search(r"\w[*&]+\s*\w", lhs):
        return None
    if not lhs or not re.match(r"[\w(+-]", lhs):
        return None
    return line.index(code[0])


def find_mutants(rel_path, text):
    masked, numbers = mask_code(text)
    masked = blank_preprocessor_and_asserts(masked)
    line_starts = [0] + [m.end() for m in re.finditer("\n", masked)]
    masked_lines = masked.split("\n")
    original_lines = text.split("\n")
    found = []

    def add(line_no, col, kind, original, replacement):
        found.append(Mutant(rel_path, line_no, col, kind, original, replacement))

    previous = None
    for k, line in enumerate(masked_lines):
        line_no = k + 1
        if not line.strip():
            continue
        for m in SPACED_OPERATOR.finditer(line):
            op = m.group(1)
            around = original_lines[k][max(m.start() - 2, 0):m.end() + 2]
            if op in ("+", "+=") and '"' in around:
                continue  # joins text: the other operator does not compile
            kind = "cmp" if op in COMPARE_SWAP else "bool" if op in BOOL_SWAP else "arith"
            replacement = {**COMPARE_SWAP, **ARITH_SWAP, **BOOL_SWAP}[op]
            add(line_no, m.start() + 1, kind, op, replacement)
        for m in NEGATION.finditer(line):
            if not line[:m.start()].rstrip().endswith("operator"):
                add(line_no, m.start() + 1, "not", "!", "del")
        col = removable_statement(line, previous)
        if col is not None:
            # Blanking keeps every character in place, so the same span of the real line is the statement.
            add(line_no, col + 1, "stmt", original_lines[k][col:col + len(line.strip())], "del")
        previous = line
    for offset, token in numbers:
        if masked[offset:offset + len(token)] != token:
            continue  # inside a blanked preprocessor line or static_assert
        if offset > 0 and (masked[offset - 1] in IDENT_CHARS or masked[offset - 1] == "."):
            continue
        bumped = bumped_number(token)
        if bumped is None:
            continue
        k = bisect.bisect_right(line_starts, offset) - 1
        add(k + 1, offset - line_starts[k] + 1, "const", token, bumped)
    found.sort(key=lambda mu: (mu.line, mu.col, mu.kind))
    return found


def source_files(dirs):
    files = []
    for d in dirs:
        files += sorted(p for p in (ROOT / d).rglob("*.cpp"))
    return [p.relative_to(ROOT).as_posix() for p in files]


def all_candidates(dirs):
    return {path: find_mutants(path, (ROOT / path).read_text(encoding="utf-8")) for path in source_files(dirs)}


def select_mutants(candidates, count, seed):
    """Spreads count mutants over the files (round robin in a seeded order) and, within a file,
    over its lines (one pick in each of equal slices of its sites)."""
    rng = random.Random(seed)
    files = sorted(p for p, c in candidates.items() if c)
    rng.shuffle(files)
    quota = dict.fromkeys(files, 0)
    left = count
    while left > 0:
        progressed = False
        for path in files:
            if left > 0 and quota[path] < len(candidates[path]):
                quota[path] += 1
                left -= 1
                progressed = True
        if not progressed:
            break
    chosen = []
    for path in sorted(files):
        sites, k = candidates[path], quota[path]
        pick = random.Random(f"{seed}:{path}")
        for s in range(k):
            lo, hi = len(sites) * s // k, len(sites) * (s + 1) // k
            chosen.append(sites[pick.randrange(lo, hi)])
    return chosen


# ---------------------------------------------------------------------------------------------
# Building and running

def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace", **kw)


def configure(build_dir):
    query = build_dir / ".cmake/api/v1/query" / FILE_API_CLIENT / "query.json"
    if not query.exists() or not (build_dir / "CMakeCache.txt").exists():
        query.parent.mkdir(parents=True, exist_ok=True)
        query.write_text(json.dumps({"requests": [{"kind": "codemodel", "version": 2}]}))
        print(f"configuring {build_dir}", flush=True)
        r = run(["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"])
        if r.returncode != 0:
            sys.exit(f"configuring failed:\n{r.stdout}")


def read_code_model(build_dir):
    """Maps each mutable source to the gtest executables that link the library it is part of."""
    reply = build_dir / ".cmake/api/v1/reply"
    index = sorted(reply.glob("index-*.json"))
    if not index:
        sys.exit(f"{build_dir} has no CMake file-API reply; remove the folder and run again")
    data = json.loads(index[-1].read_text())
    responses = data["reply"][FILE_API_CLIENT]["query.json"]["responses"]
    codemodel = json.loads((reply / next(r["jsonFile"] for r in responses if r["kind"] == "codemodel")).read_text())
    targets = [json.loads((reply / t["jsonFile"]).read_text())
               for t in codemodel["configurations"][0]["targets"]]
    library_of = {}
    libraries = {}
    tests = []
    for t in targets:
        if t["type"] == "STATIC_LIBRARY":
            libraries[t["name"]] = t["artifacts"][0]["path"]
            for s in t.get("sources", []):
                library_of[Path(s["path"]).as_posix()] = t["name"]
        elif t["type"] == "EXECUTABLE":
            fragments = " ".join(f["fragment"] for f in t.get("link", {}).get("commandFragments", []))
            if "gtest" in fragments:
                tests.append((t["name"], build_dir / t["artifacts"][0]["path"], fragments))
    executables = {name: exe for name, exe, _ in tests}
    linked = {name: [lib for lib, artifact in libraries.items() if Path(artifact).name in frags]
              for name, _, frags in tests}
    # The executable linking the fewest of our libraries tests that library most directly: it
    # comes first, so that a mutant dies there before the others are built.
    users = {lib: sorted((name for name in linked if lib in linked[name]), key=lambda n: len(linked[n]))
             for lib in libraries}

    def rel(p):
        p = Path(p)
        return (p.relative_to(ROOT) if p.is_absolute() else p).as_posix()
    suites = {rel(src): users[lib] for src, lib in library_of.items()}
    return suites, executables


def build(build_dir, targets, jobs):
    return run(["cmake", "--build", str(build_dir), "--parallel", str(jobs), "--target", *targets])


def run_tests(suites, timeouts, shards):
    """Runs gtest executables side by side, the slow ones split into shards; stops them all at the
    first failure. Returns ("passed", "") or ("failed" or "timeout", the executable's name)."""
    procs = []
    now = time.monotonic()
    for name, exe in suites:
        for index in range(shards.get(name, 1)):
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                       GTEST_TOTAL_SHARDS=str(shards.get(name, 1)), GTEST_SHARD_INDEX=str(index))
            proc = subprocess.Popen([str(exe), "--gtest_brief=1", "--gtest_fail_fast"], cwd=exe.parent,
                                    env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, start_new_session=True)
            procs.append((proc, name, now + timeouts[name] if timeouts else None))
    outcome = ("passed", "")
    try:
        running = list(procs)
        while running and outcome[0] == "passed":
            time.sleep(0.05)
            for entry in list(running):
                proc, name, deadline = entry
                if proc.poll() is not None:
                    running.remove(entry)
                    if proc.returncode != 0:
                        outcome = ("failed", name)
                elif deadline is not None and time.monotonic() > deadline:
                    outcome = ("timeout", name)
    finally:
        # Whatever the tests started (shells, helper processes) goes with them.
        for proc, _, _ in procs:
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            proc.wait()
    return outcome


def src_changes():
    r = run(["git", "-C", str(ROOT), "status", "--porcelain", "--", "src"])
    if r.returncode != 0:
        sys.exit(f"git status failed:\n{r.stdout}")
    return r.stdout.strip()


def restore_from_backup(backup):
    state = json.loads(backup.read_text(encoding="utf-8"))
    (ROOT / state["path"]).write_text(state["text"], encoding="utf-8")
    backup.unlink()
    print(f"restored {state['path']} (mutant {state['id']})")


class Terminated(Exception):
    pass


def on_signal(signum, _frame):
    raise Terminated(signal.Signals(signum).name)


def test_mutant(mutant, stages, build_dir, jobs, backup, timeouts, shards):
    """Applies the mutant, builds and runs each stage (lists of (name, executable)) in turn, and
    puts the file back."""
    path = ROOT / mutant.path
    original = path.read_text(encoding="utf-8")
    mutated = mutant.apply(original)
    backup.write_text(json.dumps({"id": mutant.id, "path": mutant.path, "text": original}), encoding="utf-8")
    try:
        path.write_text(mutated, encoding="utf-8")
        for stage in stages:
            r = build(build_dir, [name for name, _ in stage], jobs)
            if r.returncode != 0:
                error = next((l for l in r.stdout.splitlines() if "error" in l), "build failed")
                return "invalid", error.strip()[:200]
            status, name = run_tests(stage, timeouts, shards)
            if status == "failed":
                return "killed", name
            if status == "timeout":
                return "timeout", name
        return "survived", ""
    finally:
        path.write_text(original, encoding="utf-8")
        if path.read_text(encoding="utf-8") != original:
            raise RuntimeError(f"could not restore {mutant.path}")
        backup.unlink()


def load_results(path):
    results = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            fields = line.split("\t")
            results[fields[0]] = fields[1] if len(fields) > 1 else ""
    return results


def compare(old_path, new_path):
    old, new = load_results(old_path), load_results(new_path)
    lost = [(i, new.get(i, "not run")) for i, s in old.items()
            if s in KILLED_STATUSES and new.get(i) not in KILLED_STATUSES]
    for i, status in lost:
        print(f"{i}\t{status}")
    killed = sum(s in KILLED_STATUSES for s in old.values())
    print(f"{len(lost)} of the {killed} mutants killed in {old_path} are not killed in {new_path}")
    return 1 if lost else 0


def summary(results, seconds):
    valid = [s for s in results.values() if s != "invalid"]
    killed = sum(s in KILLED_STATUSES for s in valid)
    score = 100.0 * killed / len(valid) if valid else 0.0
    invalid = len(results) - len(valid)
    return (f"killed {killed} of {len(valid)} valid mutants (score {score:.1f} %), "
            f"invalid {invalid}, took {seconds:.0f} s")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build-dir", default="build-mutation", help="build folder (relative to the checkout)")
    ap.add_argument("--dirs", nargs="+", default=DEFAULT_DIRS, metavar="DIR",
                    help="the source folders to mutate (default: src/core src/platform)")
    ap.add_argument("--seed", type=int, default=DEFAULT_SEED, help="chooses which sites make the selection")
    ap.add_argument("--mutants", type=int, default=DEFAULT_MUTANTS, help="how many mutants make the selection")
    ap.add_argument("--limit", type=int, help="try only the first N mutants of the selection")
    ap.add_argument("--ids", help="try the mutants whose ids start the lines of this file (a --list or results file)")
    ap.add_argument("--list", action="store_true", help="print the selected mutants and stop")
    ap.add_argument("--results", help="results file (TSV: id, status, detail, seconds); "
                                      "default mutation-results.tsv in the build folder")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1, help="parallel build jobs")
    ap.add_argument("--timeout", type=float, help="seconds per test executable "
                                                  "(default: three times its unmutated time plus 10)")
    ap.add_argument("--compare", nargs=2, metavar=("OLD", "NEW"),
                    help="list the mutants killed in OLD and not killed in NEW; fails if there are any")
    ap.add_argument("--restore", action="store_true", help="put back a file a killed run left mutated")
    args = ap.parse_args()

    if args.compare:
        return compare(*args.compare)

    build_dir = Path(args.build_dir)
    build_dir = build_dir if build_dir.is_absolute() else ROOT / build_dir
    backup = build_dir / BACKUP_NAME
    if args.restore:
        if backup.exists():
            restore_from_backup(backup)
        else:
            print("nothing to restore")
        return 0

    if backup.exists() and args.list:
        # The sources hold a mutant right now, and the sites found in them would not be the usual ones.
        sys.exit(f"a run is mutating the sources, or one left a mutant in place ({sys.argv[0]} --restore)")
    selection = select_mutants(all_candidates(args.dirs), args.mutants, args.seed)
    if args.ids:
        wanted = [l.split("\t")[0] for l in Path(args.ids).read_text(encoding="utf-8").splitlines()
                  if l.strip() and not l.startswith("#")]
        # The ids name their folders, whatever --dirs says.
        dirs = sorted({"/".join(i.split(":")[0].split("/")[:2]) for i in wanted})
        by_id = {m.id: m for ms in all_candidates(dirs).values() for m in ms}
        missing = [i for i in wanted if i not in by_id]
        if missing:
            sys.exit("these mutants are not in the sources any more:\n" + "\n".join(missing))
        selection = [by_id[i] for i in wanted]
    if args.limit is not None:
        selection = selection[:args.limit]
    if args.list:
        for m in selection:
            print(f"{m.id}\t{m.original}")
        kinds = {}
        for m in selection:
            kinds[m.kind] = kinds.get(m.kind, 0) + 1
        files = len({m.path for m in selection})
        print(f"# {len(selection)} mutants in {files} files: "
              + ", ".join(f"{k} {v}" for k, v in sorted(kinds.items())), file=sys.stderr)
        return 0

    if backup.exists():
        if src_changes():
            sys.exit(f"a previous run left a mutant in place; put it back with {sys.argv[0]} --restore")
        backup.unlink()
    changes = src_changes()
    if changes:
        sys.exit("src/ has local changes; mutating it would mix them into the results:\n" + changes)

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGHUP, on_signal)
    started = time.monotonic()
    configure(build_dir)
    suites, executables = read_code_model(build_dir)

    # The unmutated tests must pass, or every mutant would count as killed; their times set the
    # limits, and how many shards a slow one is split into.
    needed = sorted({name for m in selection for name in suites.get(m.path, [])})
    r = build(build_dir, needed, args.jobs)
    if r.returncode != 0:
        sys.exit(f"building the tests failed:\n{r.stdout[-3000:]}")
    timeouts, durations, shards = {}, {}, {}
    for name in needed:
        t0 = time.monotonic()
        if run_tests([(name, executables[name])], None, {})[0] != "passed":
            sys.exit(f"{name} fails without any mutant; fix that first")
        took = durations[name] = time.monotonic() - t0
        timeouts[name] = args.timeout or 3 * took + 10
        shards[name] = max(1, min(MAX_SHARDS, round(took / SHARD_SECONDS)))
        print(f"{name}: passes in {took:.1f} s", flush=True)
    # The first executable runs alone, the others together once it has passed.
    def stages_for(path):
        mine = [(name, executables[name]) for name in suites[path]]
        return [stage for stage in (mine[:1], mine[1:]) if stage]

    together = [(name, executables[name]) for name in needed]
    t0 = time.monotonic()
    if run_tests(together, timeouts, shards)[0] != "passed":
        sys.exit(f"{', '.join(needed)} fail when run side by side in shards")
    print(f"all pass side by side in {time.monotonic() - t0:.1f} s", flush=True)

    results_path = Path(args.results) if args.results else build_dir / "mutation-results.tsv"
    head = run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"]).stdout.strip()
    results = {}
    with open(results_path, "w", encoding="utf-8") as out:
        out.write(f"# commit {head}, seed {args.seed}, {len(selection)} mutants\n")
        for n, m in enumerate(selection, 1):
            if m.path not in suites:
                sys.exit(f"{m.path} is in no library the tests link")
            t0 = time.monotonic()
            status, detail = test_mutant(m, stages_for(m.path), build_dir, args.jobs, backup, timeouts, shards)
            took = time.monotonic() - t0
            results[m.id] = status
            out.write(f"{m.id}\t{status}\t{detail}\t{took:.1f}\n")
            out.flush()
            print(f"[{n}/{len(selection)}] {status:8} {m.id}  ({m.original!r}, {took:.0f} s)", flush=True)
        line = summary(results, time.monotonic() - started)
        out.write(f"# {line}\n")
    print(line)
    print(f"results in {results_path}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (KeyboardInterrupt, Terminated) as e:
        sys.exit(f"stopped ({e or 'interrupt'}); the mutated file was put back")
