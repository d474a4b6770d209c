"""Reads a workbook with openpyxl and prints what the tests check, as JSON.

Every cell of the first worksheet (a formula as its cached result) becomes "value|number format|font|alignment|fill|borders"; the width of
every column comes with the width its texts need, measured with fontTools on the Carlito fonts
(metric-compatible with Calibri), in Excel's character units. A checksum of every part of the archive
and the workbook's request to recalculate on opening come with them.
"""
import datetime
import hashlib
import json
import sys
import zipfile

from openpyxl.utils import get_column_letter

import openpyxl
from fontTools.ttLib import TTFont

FONTS = "/usr/share/fonts/truetype/crosextra/Carlito-{}.ttf"


def advance_widths(style):
    font = TTFont(FONTS.format(style))
    cmap = font.getBestCmap()
    metrics = font["hmtx"].metrics
    em = font["head"].unitsPerEm
    widest = max(width for width, _ in metrics.values())
    return lambda text, size: sum(
        metrics[cmap[ord(c)]][0] if ord(c) in cmap else widest for c in text) * size / em * 96 / 72


def shown(cell):
    value = cell.value
    code = cell.number_format.replace("\\", "").lower()
    if isinstance(value, datetime.datetime) and code == "dd-mmm-yyyy":
        return value.strftime("%d-%b-%Y")
    if isinstance(value, datetime.datetime) and code == "yyyy-mm-dd h:mm:ss":
        return value.strftime("%Y-%m-%d %H:%M:%S")
    if isinstance(value, datetime.time):
        return value.strftime("%I:%M %p")
    if isinstance(value, (int, float)) and cell.number_format == "0":
        return str(round(value))
    return "" if value is None else str(value)


def describe(cell):
    value = cell.value
    if isinstance(value, datetime.datetime):
        value = "date " + value.date().isoformat()
    elif isinstance(value, datetime.time):
        value = "time " + value.strftime("%H:%M")
    elif isinstance(value, (int, float)):
        value = "number " + repr(value)
    elif value is not None:
        value = "text " + value
    font = "{}{} {}".format("bold " if cell.font.b else "", cell.font.name,
                            cell.font.color.rgb if cell.font.color is not None and cell.font.color.type == "rgb" else "-")
    fill = "{} {}".format(cell.fill.fill_type, cell.fill.fgColor.rgb) if cell.fill.fill_type else "none"
    edges = []
    for name in ("left", "right", "top", "bottom"):
        side = getattr(cell.border, name)
        if side is not None and side.style:
            edges.append("{} {} {}".format(name, side.style, side.color.rgb if side.color is not None else "-"))
    return "|".join(str(part) for part in (value, cell.number_format, font, cell.alignment.horizontal, fill,
                                           ",".join(edges)))


def main(path):
    workbook = openpyxl.load_workbook(path, data_only=True)
    with zipfile.ZipFile(path) as archive:
        parts = {name: hashlib.sha256(archive.read(name)).hexdigest() for name in archive.namelist()}
    sheet = workbook.worksheets[0]
    regular, bold = advance_widths("Regular"), advance_widths("Bold")
    needed = {}
    for row in sheet.iter_rows():
        for cell in row:
            text = shown(cell)
            if text:
                measure = bold if cell.font.b else regular
                pixels = measure(text, cell.font.sz or 11)
                needed[cell.column_letter] = max(needed.get(cell.column_letter, 0), (pixels + 5) / 7)
    print(json.dumps({
        "sheets": workbook.sheetnames,
        "cells": {cell.coordinate: describe(cell) for row in sheet.iter_rows() for cell in row},
        "widths": {get_column_letter(column): sheet.column_dimensions[get_column_letter(column)].width
                   for column in range(1, max(11, sheet.max_column) + 1)},
        "needed": needed,
        "fit": [sheet.sheet_properties.pageSetUpPr.fitToPage, sheet.page_setup.fitToWidth,
                sheet.page_setup.fitToHeight, sheet.print_title_rows],
        "fullCalcOnLoad": bool(workbook.calculation and workbook.calculation.fullCalcOnLoad),
        "parts": parts,
    }))


if __name__ == "__main__":
    main(sys.argv[1])
