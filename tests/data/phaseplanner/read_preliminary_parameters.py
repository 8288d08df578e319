# Prints, as JSON, the green lengths openpyxl finds in the preliminary-parameters sheet (the third
# worksheet) of a workbook: its A1 text and, for rows 4 to 40, the values of columns C, E, G and I.
import json
import sys

import openpyxl

wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[2]
rows = {}
for r in range(4, 41):
    values = [ws.cell(row=r, column=c).value for c in (3, 5, 7, 9)]
    if any(v not in (None, "") for v in values):
        rows[str(r)] = values
print(json.dumps({"marker": ws["A1"].value, "sheet2": wb.worksheets[1].title, "rows": rows},
                 ensure_ascii=False))
