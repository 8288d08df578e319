# Makes and checks workbooks with openpyxl for the workbook engine's round-trip test.
#   make OUT.xlsx            a workbook with formats, merges, a hyperlink, a two-range print area
#   check BEFORE AFTER       AFTER holds the engine's changes and everything else of BEFORE
#   extras OUT.xlsx          a matrix sheet with a conditional format, a data validation and a
#                            defined name used in a formula
#   ranges FILE.xlsx         prints the conditional-format and validation ranges with their formulas
import sys

import openpyxl
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.workbook.defined_name import DefinedName


def make(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Dane"
    m = wb.create_sheet("Matryca kolizji")
    wb.properties.subject = "wersja 2.6"
    wb.properties.title = "Czasy międzyzielone"
    ws["A1"] = "Skrzyżowanie"
    ws["A1"].font = Font(bold=True, size=14, name="Arial")
    ws["B2"] = 12.5
    ws["B2"].number_format = "0.00"
    ws["B3"] = 7
    ws["C2"] = "=B2*2"
    ws["C3"] = "=SUM(B2:B3)"
    ws["D4"] = "ramka"
    ws["D4"].fill = PatternFill("solid", fgColor="FFFF00")
    ws["D4"].border = Border(left=Side(style="medium"), bottom=Side(style="thin"))
    ws["D4"].alignment = Alignment(horizontal="center", vertical="top", wrap_text=True)
    ws["E5"] = True
    ws.merge_cells("A7:C8")
    ws["A7"] = "scalone"
    ws.column_dimensions["A"].width = 25.5
    ws.column_dimensions["D"].width = 7.25
    ws["A3"] = "rysunek"
    ws["A3"].hyperlink = "file:///dane/rysunek.dxf"
    ws.print_area = ["A1:E10", "G1:H5"]
    ws.page_setup.orientation = "landscape"
    m["A7"] = "Ewakuacja"
    m["O7"] = "Gr"
    m["C6"] = "K1, K2"
    m["C6"].alignment = Alignment(textRotation=90, shrink_to_fit=True)
    wb.save(path)


def extras(path):
    from openpyxl.formatting.rule import CellIsRule
    from openpyxl.worksheet.datavalidation import DataValidation
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Obliczenia"
    m = wb.create_sheet("MATRYCA KOLIZJI")
    ws["X9"] = 3
    ws["A1"] = "=Zolty*2"
    wb.defined_names.append(DefinedName("Zolty", attr_text="Obliczenia!$X$9"))
    m["O7"] = "Gr"
    m["O8"] = 1
    m.conditional_formatting.add("P8:Q20", CellIsRule(operator="greaterThan", formula=["O8"],
                                                      fill=PatternFill("solid", fgColor="FF0000")))
    dv = DataValidation(type="whole", operator="between", formula1="0", formula2="$P$1")
    dv.add("P10:P12")
    m.add_data_validation(dv)
    wb.save(path)


def ranges(path):
    m = openpyxl.load_workbook(path).worksheets[1]
    for k, v in m.conditional_formatting._cf_rules.items():
        print(str(k.sqref), [f for r in v for f in r.formula])
    for d in m.data_validations.dataValidation:
        print(str(d.sqref), d.formula1, d.formula2)


def edge(side):
    return side.style if side is not None else None


def cell_state(c):
    b = c.border
    return (c.value, c.number_format, c.font.b, c.font.sz, c.font.name, c.fill.fill_type,
            str(c.fill.fgColor.rgb) if c.fill.fill_type else None,
            edge(b.left), edge(b.right), edge(b.top), edge(b.bottom),
            c.alignment.horizontal, c.alignment.wrap_text, c.alignment.textRotation, c.alignment.shrink_to_fit)


def check(before_path, after_path):
    before = openpyxl.load_workbook(before_path)
    after = openpyxl.load_workbook(after_path)
    problems = []
    changed = {("Dane", "B3"), ("Dane", "C3"), ("Dane", "D4"), ("Dane", "F9"), ("Matryca kolizji", "C8")}
    if before.sheetnames != after.sheetnames:
        problems.append("sheet names %s != %s" % (before.sheetnames, after.sheetnames))
    for name in before.sheetnames:
        b, a = before[name], after[name]
        for row in b.iter_rows(min_row=1, max_row=max(b.max_row, a.max_row), max_col=max(b.max_column, a.max_column)):
            for c in row:
                if (name, c.coordinate) in changed:
                    continue
                if cell_state(c) != cell_state(a[c.coordinate]):
                    problems.append("%s!%s: %s != %s" % (name, c.coordinate, cell_state(c), cell_state(a[c.coordinate])))
        if sorted(map(str, b.merged_cells.ranges)) != sorted(map(str, a.merged_cells.ranges)):
            problems.append("%s merges differ" % name)
        for col in ("A", "D"):
            if b.column_dimensions[col].width != a.column_dimensions[col].width:
                problems.append("%s width of %s: %s != %s" % (name, col, b.column_dimensions[col].width, a.column_dimensions[col].width))
        if b.print_area != a.print_area:
            problems.append("%s print area %s != %s" % (name, b.print_area, a.print_area))
        if b.page_setup.orientation != a.page_setup.orientation:
            problems.append("%s orientation differs" % name)
    d = after["Dane"]
    if d["A3"].hyperlink is None or d["A3"].hyperlink.target != "file:///dane/rysunek.dxf":
        problems.append("hyperlink lost")
    if after.properties.subject != "wersja 2.6" or after.properties.title != before.properties.title:
        problems.append("properties changed")
    # The engine's changes.
    expect = {"B3": 8, "C3": "=SUM(B2:B3)*2", "F9": "nowy tekst"}
    for k, v in expect.items():
        if d[k].value != v:
            problems.append("%s is %r, expected %r" % (k, d[k].value, v))
    if not d["D4"].font.b or d["D4"].fill.fill_type != "solid" or edge(d["D4"].border.left) != "medium" \
            or edge(d["D4"].border.bottom) != "thin" or edge(d["D4"].border.top) != "thick" \
            or d["D4"].alignment.horizontal != "left" or d["D4"].alignment.vertical != "top" \
            or not d["D4"].alignment.wrap_text:
        problems.append("D4 lost its format or did not become bold: %s" % (cell_state(d["D4"]),))
    if after["Matryca kolizji"]["C8"].fill.fgColor.indexed != 22:
        problems.append("C8 colour index not grey")
    # Computed values stored with the formulas.
    values = openpyxl.load_workbook(after_path, data_only=True)["Dane"]
    if values["C3"].value != 41 or values["C2"].value != 25:
        problems.append("cached values %r %r" % (values["C2"].value, values["C3"].value))
    if problems:
        print("\n".join(problems))
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2])
    elif sys.argv[1] == "extras":
        extras(sys.argv[2])
    elif sys.argv[1] == "ranges":
        ranges(sys.argv[2])
    else:
        sys.exit(check(sys.argv[2], sys.argv[3]))
