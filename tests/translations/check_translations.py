#!/usr/bin/env python3
"""Fails when a translation of the program is unfinished or obsolete, or when a window shows a text that
is not marked for translation.

usage: check_translations.py [--update] LUPDATE SOURCE_DIR

With --update, lupdate writes the texts of the sources into the .ts files themselves, for a translator to
finish (in Qt Linguist or any editor), and nothing is checked.

lupdate reads the sources into copies of the .ts files: a text that is new shows as unfinished, one that
went away as obsolete.
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

LANGUAGES = ("de", "es", "fr")
# The folders whose texts reach people. The printed report is a file, written in English.
SOURCE_FOLDERS = ("app", "cli", "common", "device", "report", "documents/ooxml", "documents/table",
                  "documents/excel", "documents/word", "documents/export", "archive")
# Literals in the windows' code that are not texts for people, each with the reason it stays as it is.
ENGLISH_ONLY = {
    "Arial": "a font family",
    "Courier New": "a font family",
    "Lorimet": "the product's name, drawn into its logo",
    "Adapter": "the product's name, drawn into its logo",
    "Tessaly Lorimet Adapter": "the product's name",
    "Lorimet Adapter": "the product's name",
    "Alarm Report": "the name of the PDF document, which is a file",
    "H2S event logs": "part of the product's logo",
    "MsWord": "a file type's key",
    "MsExcel": "a file type's key",
    "C:\\\\": "the text file dialog's start folder",
    "%s: out of memory.\\n": "printed when memory ran out, too late to look a translation up",
}


def failures_in_translations(lupdate, source, work):
    failures = []
    folders = [str(source / folder) for folder in SOURCE_FOLDERS]
    for language in LANGUAGES:
        original = source / "resources" / "translations" / f"lorimet_{language}.ts"
        if not original.is_file():
            failures.append(f"{original} is missing")
            continue
        copy = work / original.name
        shutil.copy(original, copy)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-I", str(source), *folders, "-ts", str(copy)],
                       check=True)
        for message in ET.parse(copy).getroot().iter("message"):
            translation = message.find("translation")
            state = translation.get("type") if translation is not None else "unfinished"
            text = message.findtext("source")
            if state in ("unfinished", "obsolete", "vanished"):
                failures.append(f"lorimet_{language}.ts: {state}: {text!r}")
    return failures


STRING = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
MARKED = re.compile(r'\b(?:tr|translate|QT_TR_NOOP|QT_TR_N_NOOP|QT_TRANSLATE_NOOP)\s*\($')
LOGGING = re.compile(r'\bq(?:C?(?:Debug|Info|Warning|Critical)|Fatal)\b|Q_LOGGING_CATEGORY|#include|static_assert')
# Object names, settings keys, resource paths, file patterns, date formats and texts without letters.
IDENTIFIER = re.compile(r"^[a-z][A-Za-z0-9_.-]*(?:_%1)?$|^[A-Z][a-z]+\d+$|^:/|^\*?\.[a-z]+$|^--[a-z-]+$"
                        r"|^(?:[^A-Za-z]|%s|\\n)*$"
                        r"|^(?:[yMdHhmsz]+|[^A-Za-z']|'[^']*')+$")


def without_comments(text):
    """The code with its comments blanked out, line breaks kept."""
    def blank(match):
        chunk = match.group(0)
        return chunk if chunk.startswith('"') else re.sub(r"[^\n]", " ", chunk)
    return re.sub(r'"(?:[^"\\\n]|\\.)*"|//[^\n]*|/\*.*?\*/', blank, text, flags=re.S)


def unmarked_literals(source):
    """String literals in the windows' code that read as text and are not passed to tr() or translate()."""
    found = []
    for path in sorted((source / "app").rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        code = without_comments(path.read_text(encoding="utf-8"))
        for match in STRING.finditer(code):
            literal = match.group(1)
            if IDENTIFIER.match(literal) or literal in ENGLISH_ONLY:
                continue
            line_start = code.rfind("\n", 0, match.start()) + 1
            line_end = code.find("\n", match.end())
            if LOGGING.search(code[line_start:line_end]):
                continue
            if is_marked(code, match.start()):
                continue
            line = code.count("\n", 0, match.start()) + 1
            found.append(f"{path.relative_to(source)}:{line}: \"{literal}\" is not marked for translation")
    return found


def is_marked(code, start):
    """Whether the literal at start is the text argument of a translation call (after adjacent literals)."""
    before = code[:start].rstrip()
    # Literals that continue an earlier one belong to it.
    while before.endswith('"'):
        opening = before.rfind('"', 0, len(before) - 1)
        while opening > 0 and code[opening - 1] == "\\":
            opening = before.rfind('"', 0, opening - 1)
        before = before[:opening].rstrip()
    if before.endswith("("):
        return bool(MARKED.search(before))
    # translate("Context", "text"): the second argument.
    if before.endswith(","):
        head = before[:-1].rstrip()
        if head.endswith('"'):
            opening = head.rfind('"', 0, len(head) - 1)
            return bool(MARKED.search(head[:opening].rstrip()))
    return False


def update(lupdate, source):
    folders = [str(source / folder) for folder in SOURCE_FOLDERS]
    for language in LANGUAGES:
        ts = source / "resources" / "translations" / f"lorimet_{language}.ts"
        subprocess.run([lupdate, "-locations", "none", "-no-obsolete", "-I", str(source), *folders,
                        "-target-language", language, "-ts", str(ts)], check=True)
    return 0


def main():
    if sys.argv[1] == "--update":
        return update(sys.argv[2], pathlib.Path(sys.argv[3]))
    lupdate, source = sys.argv[1], pathlib.Path(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        failures = failures_in_translations(lupdate, source, pathlib.Path(work))
    failures += unmarked_literals(source)
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
