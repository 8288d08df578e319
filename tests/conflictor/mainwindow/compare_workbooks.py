#!/usr/bin/python3
# Compares two workbooks cell by cell, formulas as written (not their values): prints every cell that
# differs and exits 1 when one does, 2 when a workbook cannot be read.
import sys
import openpyxl

try:
    a = openpyxl.load_workbook(sys.argv[1])
    b = openpyxl.load_workbook(sys.argv[2])
except Exception as e:
    print(f"cannot read: {e}")
    sys.exit(2)
diffs = []
if a.sheetnames != b.sheetnames:
    diffs.append(f"sheets {a.sheetnames} != {b.sheetnames}")
cells = 0
for wa, wb in zip(a.worksheets, b.worksheets):
    rows = max(wa.max_row, wb.max_row)
    cols = max(wa.max_column, wb.max_column)
    for r in range(1, rows + 1):
        for c in range(1, cols + 1):
            va, vb = wa.cell(r, c).value, wb.cell(r, c).value
            if va is not None or vb is not None:
                cells += 1
            if va != vb:
                diffs.append(f"{wa.title}!{wa.cell(r, c).coordinate}: {va!r} != {vb!r}")
for d in diffs[:40]:
    print(d)
print(f"{cells} cells, {len(diffs)} differ")
sys.exit(1 if diffs else 0)
