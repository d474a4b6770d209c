"""Reads a workbook with openpyxl and prints what the tests check, as JSON.

Every cell of the first worksheet becomes "value|number format|font|alignment|fill|borders"; the widths of
columns A to K come with the width each column's texts need, measured with fontTools on the Carlito fonts
(metric-compatible with Calibri), in Excel's character units.
"""
import datetime
import json
import sys

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
    if isinstance(value, datetime.datetime) and cell.number_format.replace("\\", "").lower() == "dd-mmm-yyyy":
        return value.strftime("%d-%b-%Y")
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
    workbook = openpyxl.load_workbook(path)
    sheet = workbook.worksheets[0]
    regular, bold = advance_widths("Regular"), advance_widths("Bold")
    needed = {}
    for row in sheet.iter_rows():
        for cell in row:
            text = shown(cell)
            if text and cell.column <= 11:
                measure = bold if cell.font.b else regular
                pixels = measure(text, cell.font.sz or 11)
                needed[cell.column_letter] = max(needed.get(cell.column_letter, 0), (pixels + 5) / 7)
    print(json.dumps({
        "sheets": workbook.sheetnames,
        "cells": {cell.coordinate: describe(cell) for row in sheet.iter_rows() for cell in row},
        "widths": {letter: sheet.column_dimensions[letter].width for letter in "ABCDEFGHIJK"},
        "needed": needed,
        "fit": [sheet.sheet_properties.pageSetUpPr.fitToPage, sheet.page_setup.fitToWidth,
                sheet.page_setup.fitToHeight],
    }))


if __name__ == "__main__":
    main(sys.argv[1])
