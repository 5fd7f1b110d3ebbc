#!/usr/bin/env python3
"""Writes the program's information files (data/License.RTF and data/Readme.RTF) from the
repository's own text: LICENSE (plain text) and README.md (Markdown).

About -> License and About -> Readme show these files. They are committed; a test runs this
tool and checks that the committed files are what it writes, so edit LICENSE or README.md
and run the tool again:

    tools/make_rtf.py [--root REPOSITORY] [--out FOLDER]

Plain text: paragraphs are separated by blank lines and their lines are joined; a block
whose lines are all indented by ten spaces or more is centred (the headings of the licence);
a block indented by four or more keeps its lines. Markdown: headings, paragraphs, bullet
lists, code blocks (indented or fenced), `code`, **bold** and *italic*; pictures are left
out and links show their text.

The output is RTF 1 in Windows-1252 with \\uN for everything else, and is the same on every
machine (no dates, no names of the tool).
"""

import argparse
import os
import re
import sys

HEADER = (
    "{\\rtf1\\ansi\\ansicpg1252\\deff0"
    "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
    "{\\colortbl ;\\red0\\green0\\blue128;}\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20\n"
)
FOOTER = "}\n"


def escape(text):
    """RTF for plain text: specials escaped, 8-bit as \\'hh (Windows-1252), the rest \\uN?."""
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif 32 <= ord(ch) < 127:
            out.append(ch)
        else:
            try:
                b = ch.encode("cp1252")
                out.append("\\'%02x" % b[0])
            except UnicodeEncodeError:
                for unit in _utf16_units(ch):
                    out.append("\\u%d?" % (unit - 0x10000 if unit >= 0x8000 else unit))
    return "".join(out)


def _utf16_units(ch):
    data = ch.encode("utf-16-le")
    return [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)]


def paragraph(body, align="", indent=0, space_after=120, size=20):
    """One paragraph: \\pard with its settings, the body (already RTF), \\par."""
    settings = "\\pard" + align
    if indent:
        settings += "\\li%d" % indent
    settings += "\\sa%d\\fs%d " % (space_after, size)
    return settings + body + "\\par\n"


# ---- plain text ----

def blocks_of(lines):
    block = []
    for line in lines:
        if line.strip():
            block.append(line.rstrip())
        elif block:
            yield block
            block = []
    if block:
        yield block


def indent_of(line):
    return len(line) - len(line.lstrip(" "))


def plain_text_to_rtf(text):
    parts = [HEADER]
    for block in blocks_of(text.expandtabs(8).splitlines()):
        smallest = min(indent_of(line) for line in block)
        if smallest >= 10:
            body = "\\line ".join(escape(line.strip()) for line in block)
            parts.append(paragraph("\\b " + body + "\\b0", align="\\qc", size=24))
        elif smallest >= 4:
            body = "\\line ".join(escape(line[smallest:]) for line in block)
            parts.append(paragraph("\\f1 " + body + "\\f0", indent=360))
        else:
            joined = " ".join(line.strip() for line in block)
            # A numbered section heading ("  0. Definitions.") stands on its own line.
            if len(block) == 1 and re.match(r"^\d+\.\s+\S.{0,60}$", joined):
                parts.append(paragraph("\\b " + escape(joined) + "\\b0"))
            else:
                parts.append(paragraph(escape(joined)))
    parts.append(FOOTER)
    return "".join(parts)


# ---- Markdown ----

INLINE = re.compile(r"(`[^`]+`|\*\*[^*]+\*\*|\*[^*\s][^*]*\*|!\[[^\]]*\]\([^)]*\)|\[[^\]]+\]\([^)]*\))")


def inline_to_rtf(text):
    out = []
    pos = 0
    for m in INLINE.finditer(text):
        out.append(escape(text[pos:m.start()]))
        token = m.group(0)
        if token.startswith("`"):
            out.append("{\\f1 " + escape(token[1:-1]) + "}")
        elif token.startswith("**"):
            out.append("{\\b " + escape(token[2:-2]) + "}")
        elif token.startswith("!["):
            pass  # pictures are not part of the text
        elif token.startswith("["):
            out.append("{\\cf1 " + escape(token[1:token.index("]")]) + "}")
        else:
            out.append("{\\i " + escape(token[1:-1]) + "}")
        pos = m.end()
    out.append(escape(text[pos:]))
    return "".join(out).strip()


def markdown_to_rtf(text):
    parts = [HEADER]
    lines = text.expandtabs(4).splitlines()
    i = 0
    para = []

    def flush():
        if para:
            body = inline_to_rtf(" ".join(line.strip() for line in para))
            if body:
                parts.append(paragraph(body))
            para.clear()

    while i < len(lines):
        line = lines[i]
        stripped = line.strip()
        if not stripped:
            flush()
            i += 1
        elif stripped.startswith("```"):
            flush()
            i += 1
            code = []
            while i < len(lines) and not lines[i].strip().startswith("```"):
                code.append(lines[i])
                i += 1
            i += 1
            parts.append(paragraph("\\f1 " + "\\line ".join(escape(c) for c in code) + "\\f0", indent=360))
        elif line.startswith("    ") and not para:
            code = []
            while i < len(lines) and (lines[i].startswith("    ") or not lines[i].strip()):
                code.append(lines[i][4:])
                i += 1
            while code and not code[-1].strip():
                code.pop()
            parts.append(paragraph("\\f1 " + "\\line ".join(escape(c.rstrip()) for c in code) + "\\f0", indent=360))
        elif stripped.startswith("#"):
            flush()
            level = len(stripped) - len(stripped.lstrip("#"))
            title = inline_to_rtf(stripped[level:].strip())
            size = {1: 32, 2: 26}.get(level, 22)
            parts.append(paragraph("\\b " + title + "\\b0", space_after=160, size=size))
            i += 1
        elif re.match(r"^[-*+]\s+", stripped):
            flush()
            item = [re.sub(r"^[-*+]\s+", "", stripped)]
            i += 1
            while i < len(lines) and lines[i].strip() and lines[i].startswith("  ") \
                    and not re.match(r"^[-*+]\s+", lines[i].strip()):
                item.append(lines[i].strip())
                i += 1
            body = "\\'95\\tab " + inline_to_rtf(" ".join(item))
            parts.append("\\pard\\fi-240\\li480\\tx480\\sa60\\fs20 " + body + "\\par\n")
        else:
            para.append(line)
            i += 1
    flush()
    parts.append(FOOTER)
    return "".join(parts)


def write(path, text):
    data = text.encode("ascii")
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(here), help="the repository (default: this tool's)")
    parser.add_argument("--out", help="folder to write into (default: ROOT/data)")
    args = parser.parse_args()
    out = args.out or os.path.join(args.root, "data")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(args.root, "LICENSE"), encoding="utf-8") as f:
        write(os.path.join(out, "License.RTF"), plain_text_to_rtf(f.read()))
    with open(os.path.join(args.root, "README.md"), encoding="utf-8") as f:
        write(os.path.join(out, "Readme.RTF"), markdown_to_rtf(f.read()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
