#!/usr/bin/env python3
"""Fails when README.md or docs/*.md quote a file or a test that does not exist.

Which backticked words are checked (inline `code` spans; fenced blocks are not
read):

1. Paths in the repository. A span (or, when it holds blanks, its first word:
   `scripts/fuzz.sh TARGET SECONDS` checks scripts/fuzz.sh) is a path when it
   - contains "/" and its first part names a top-level entry of the
     repository (`engine/...`, `rsc/...`, `tests/...`, `./run.sh`), or
   - has no "/" and ends in a source or script extension (.sh .bash .py .cpp
     .h .cmake .md): it must then exist somewhere in the repository by that
     base name.
   Paths are relative to the repository root. A path with "*" or "?" is a
   glob that must match at least one file; one with "<", "$" or "~" is a
   template and is not checked; so are paths under build/ and absolute paths
   (what the build writes, or what the system has).
2. Test names, as ctest lists them:
   - `e2e.NAME`   tests/e2e/NAME.sh exists;
   - `fuzz.NAME`  tests/fuzz/NAMEFuzz.cpp exists;
   - `Suite.Case` (both parts start with a capital letter) a GoogleTest
     TEST/TEST_F/TEST_P(Suite, Case) in tests/ (a parameterised case is
     quoted by its Suite.Case, without ctest's instance prefix and suffix);
   - `NAME` followed by the word "test" or "tests" ("the `layering` test") is
     one of the above or a name given by add_test(NAME ...) in a
     CMakeLists.txt under tests/.
   A test name may hold "*" (`e2e.sample_fight_*`): at least one must match;
   one with "<" is a template (`e2e.<name>`) and is not checked.

The names come from the sources, so no build is needed. With
--ctest-list FILE (the output of `ctest -N`), the names listed there count
too.

Usage: check-doc-references.py [REPO_ROOT] [--ctest-list FILE] [--docs FILE...]
Exit code 0 when every reference holds, 1 otherwise (each missing one printed
as FILE:LINE: reason).
"""

import argparse
import fnmatch
import glob
import os
import re
import sys

SOURCE_EXTENSIONS = (".sh", ".bash", ".py", ".cpp", ".h", ".cmake", ".md")
SKIPPED_DIRS = {".git", "build"}


def list_repo_files(root):
    files = []
    for base, dirs, names in os.walk(root):
        dirs[:] = [d for d in dirs if d not in SKIPPED_DIRS and not
                   (base == root and d.startswith("build"))]
        for name in names:
            files.append(os.path.relpath(os.path.join(base, name), root))
    return files


def ctest_names(root, files, list_file):
    names = set()
    for rel in files:
        if rel.startswith("tests/e2e/") and rel.count("/") == 2 and rel.endswith(".sh"):
            names.add("e2e." + os.path.basename(rel)[:-3])
        elif rel.startswith("tests/fuzz/") and rel.endswith("Fuzz.cpp"):
            names.add("fuzz." + os.path.basename(rel)[:-len("Fuzz.cpp")])
    test_macro = re.compile(r"\bTEST(?:_F|_P)?\s*\(\s*(\w+)\s*,\s*(\w+)\s*\)")
    add_test = re.compile(r"add_test\s*\(\s*NAME\s+([\w.\-]+)\s")
    for rel in files:
        if not rel.startswith("tests/"):
            continue
        path = os.path.join(root, rel)
        if rel.endswith(".cpp"):
            with open(path, encoding="utf-8", errors="replace") as f:
                for suite, case in test_macro.findall(f.read()):
                    names.add(f"{suite}.{case}")
        elif os.path.basename(rel) == "CMakeLists.txt":
            with open(path, encoding="utf-8", errors="replace") as f:
                names.update(n for n in add_test.findall(f.read()) if "$" not in n)
    if list_file:
        with open(list_file, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = re.match(r"\s*Test\s+#\d+:\s+(\S+)", line)
                if m:
                    names.add(m.group(1))
    return names


def inline_spans(text):
    """Yields (line number, span text, text after the span) outside fences."""
    in_fence = False
    for number, line in enumerate(text.splitlines(), 1):
        if line.lstrip().startswith("```"):
            in_fence = not in_fence
            continue
        if in_fence:
            continue
        for m in re.finditer(r"`([^`]+)`", line):
            yield number, m.group(1).strip(), line[m.end():]


class Checker:
    def __init__(self, root, files, names):
        self.root = root
        self.files = files
        self.file_set = set(files)
        self.base_names = {os.path.basename(f) for f in files}
        self.top_level = set(os.listdir(root)) - SKIPPED_DIRS
        self.names = names

    def path_fault(self, word):
        """None when the word is no checked path or exists; else the reason."""
        if word.startswith("./"):
            word = word[2:]
        word = word.rstrip(".,;:")
        if any(c in word for c in "<$~") or word.startswith("/"):
            return None
        if "/" in word:
            first = word.split("/", 1)[0]
            if first not in self.top_level:
                return None
            if any(c in word for c in "*?"):
                if glob.glob(os.path.join(self.root, word), recursive=True):
                    return None
                return f"no file matches '{word}'"
            if os.path.exists(os.path.join(self.root, word.rstrip("/"))):
                return None
            return f"'{word}' does not exist"
        if word.endswith(SOURCE_EXTENSIONS) and re.fullmatch(r"[\w.\-*?]+", word):
            if any(c in word for c in "*?"):
                return None if fnmatch.filter(self.base_names, word) else f"no file matches '{word}'"
            if word in self.base_names:
                return None
            return f"no file named '{word}' in the repository"
        return None

    def name_fault(self, word, followed_by_test):
        recognised = (word.startswith(("e2e.", "fuzz.")) or
                      re.fullmatch(r"[A-Z]\w*\.[A-Z*][\w*]*", word) is not None or
                      (followed_by_test and re.fullmatch(r"[\w.*\-]+", word) is not None))
        if not recognised or "<" in word:
            return None
        if "*" in word:
            return None if fnmatch.filter(self.names, word) else f"no test matches '{word}'"
        return None if word in self.names else f"no test named '{word}'"

    def check(self, doc):
        faults = []
        with open(doc, encoding="utf-8") as f:
            text = f.read()
        for number, span, after in inline_spans(text):
            word = span.split()[0]
            followed_by_test = re.match(r"\s*\)?\s*tests?\b", after) is not None
            fault = self.path_fault(word)
            if fault is None and " " not in span:
                fault = self.name_fault(span, followed_by_test)
            if fault:
                faults.append(f"{os.path.relpath(doc, self.root)}:{number}: {fault}")
        return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root", nargs="?",
                        default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--ctest-list")
    parser.add_argument("--docs", nargs="+")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    docs = args.docs or ([os.path.join(root, "README.md")] +
                         sorted(glob.glob(os.path.join(root, "docs", "*.md"))))
    files = list_repo_files(root)
    checker = Checker(root, files, ctest_names(root, files, args.ctest_list))
    faults = []
    checked = 0
    for doc in docs:
        if not os.path.isfile(doc):
            faults.append(f"{doc}: the document does not exist")
            continue
        checked += 1
        faults.extend(checker.check(doc))
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} reference(s) in the documentation name nothing that exists")
        return 1
    print(f"{checked} document(s): every quoted path and test name exists")
    return 0


if __name__ == "__main__":
    sys.exit(main())
