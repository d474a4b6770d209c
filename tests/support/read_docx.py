#!/usr/bin/python3
"""Prints, as JSON, what python-docx reads from a Word document: the body paragraphs, the tables with
the text and formatting of every cell, the first section's page and header, the number of pictures, and
a checksum of every entry of the archive. Used by the Word export tests as an independent reader."""

import hashlib
import json
import sys
import zipfile

import docx
from docx.enum.section import WD_ORIENT


def run_facts(paragraph):
    runs = paragraph.runs
    run = runs[0] if runs else None
    return {
        "alignment": int(paragraph.alignment) if paragraph.alignment is not None else None,
        "bold": run.bold if run else None,
        "color": str(run.font.color.rgb) if run and run.font.color.type is not None else None,
        "font": run.font.name if run else None,
        "size": run.font.size.pt if run and run.font.size else None,
    }


def cell_facts(cell):
    facts = run_facts(cell.paragraphs[0])
    facts["text"] = cell.text
    return facts


def main(path):
    document = docx.Document(path)
    section = document.sections[0]
    with zipfile.ZipFile(path) as archive:
        parts = {name: hashlib.sha256(archive.read(name)).hexdigest() for name in archive.namelist()}
    facts = {
        "paragraphs": [dict(run_facts(p), text=p.text) for p in document.paragraphs],
        "tables": [
            {
                "style": table.style.name if table.style is not None else None,
                "columns": len(table.columns),
                "rows": [[cell_facts(cell) for cell in row.cells] for row in table.rows],
            }
            for table in document.tables
        ],
        "landscape": section.orientation == WD_ORIENT.LANDSCAPE,
        "pageWidth": section.page_width.twips,
        "pageHeight": section.page_height.twips,
        "header": [p.text for p in section.header.paragraphs],
        "pictures": len(document.inline_shapes),
        "parts": parts,
    }
    json.dump(facts, sys.stdout)


if __name__ == "__main__":
    main(sys.argv[1])
