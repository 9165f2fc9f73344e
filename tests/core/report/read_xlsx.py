"""Reads a workbook with openpyxl and prints what its first sheet holds, one line per column
width and per cell that has a value or a format, fields separated by tabs:
    width  <column letter>  <width>
    cell   <reference>  <value type>  <value>  <number format>  <horizontal alignment>
Dates print as YYYY-MM-DD hh:mm:ss. Run by the report tests."""
import datetime
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
for letter, dimension in sorted(sheet.column_dimensions.items()):
    if dimension.width:
        print("width", letter, dimension.width, sep="\t")
for row in sheet.iter_rows():
    for cell in row:
        value = cell.value
        if value is None and cell.number_format == "General" and cell.alignment.horizontal is None:
            continue
        if isinstance(value, datetime.datetime):
            shown = value.strftime("%Y-%m-%d %H:%M:%S")
        else:
            shown = "" if value is None else str(value)
        print("cell", cell.coordinate, type(value).__name__, shown, cell.number_format,
              cell.alignment.horizontal, sep="\t")
