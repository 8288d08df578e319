#!/usr/bin/python3
# Reads an intergreen workbook written by conflictor with openpyxl and checks it independently: every
# pair row's values recomputed from the parameter cells and the stream rows, the formulas pointing at
# the right stream rows, and the group matrix equal to the largest rounded time per group pair.
# Usage: check_intergreen_workbook.py WORKBOOK.xlsx NR EXPECTED_PAIRS
import math
import re
import sys

import openpyxl


def fail(text):
    sys.exit("check_intergreen_workbook: " + text)


def close(a, b, what):
    if a is None or b is None or abs(float(a) - float(b)) > 1e-6:
        fail("%s: stored %r, recomputed %r" % (what, a, b))


def main():
    path, nr, expected_pairs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    values = openpyxl.load_workbook(path, data_only=True)
    formulas = openpyxl.load_workbook(path, data_only=False)
    ws, wf = values.worksheets[0], formulas.worksheets[0]
    if values.properties.subject != "wersja 2.6":
        fail("Subject is %r" % values.properties.subject)
    if str(ws["C2"].value) != nr:
        fail("C2 holds %r" % ws["C2"].value)
    amber, accel = ws["X9"].value, ws["X10"].value

    streams = {}
    row = 24
    while ws.cell(row=row, column=17).value:
        name = ws.cell(row=row, column=17).value
        streams[name] = dict(row=row, length=ws.cell(row=row, column=18).value or 0,
                             s_app=ws.cell(row=row, column=19).value, t_app=ws.cell(row=row, column=20).value,
                             u_clr=ws.cell(row=row, column=21).value, v_clr=ws.cell(row=row, column=22).value,
                             w_acc=ws.cell(row=row, column=23).value)
        row += 1
    if not streams:
        fail("no stream rows")

    pairs = []
    row = 12
    while ws.cell(row=row, column=1).value:
        pairs.append(row)
        row += 1
    if len(pairs) != expected_pairs:
        fail("%d pair rows, expected %d" % (len(pairs), expected_pairs))

    rounded = {}
    for r in pairs:
        a, b = ws.cell(row=r, column=1).value, ws.cell(row=r, column=2).value
        sa, sb = streams[a], streams[b]
        cf = wf.cell(row=r, column=3).value
        gf = wf.cell(row=r, column=7).value
        if not re.fullmatch(r"=\d+(\.\d)?(\+\d+(\.\d)?)*", cf) or not re.fullmatch(r"=\d+(\.\d)?(\+\d+(\.\d)?)*", gf):
            fail("row %d: distance formulas %r %r" % (r, cf, gf))
        c = sum(float(x) for x in cf[1:].split("+"))
        g = sum(float(x) for x in gf[1:].split("+"))
        close(ws.cell(row=r, column=3).value, c, "C%d" % r)
        close(ws.cell(row=r, column=7).value, g, "G%d" % r)
        # Which stream-row column each formula takes is read from the formula and checked against the row.
        def ref(col):
            f = wf.cell(row=r, column=col).value
            if not isinstance(f, str) or not f.startswith("="):
                return None
            m = re.fullmatch(r"=\$?([A-Z]+)\$?(\d+)", f)
            if not m:
                fail("row %d col %d: formula %r" % (r, col, f))
            return m.group(1), int(m.group(2))
        d_ref, e_ref, h_ref, n_ref = ref(4), ref(5), ref(8), ref(14)
        d = 0.0
        if d_ref:
            if d_ref != ("R", sa["row"]):
                fail("D%d refers to %r" % (r, d_ref))
            d = sa["length"]
        if e_ref[1] != sa["row"] or e_ref[0] not in ("U", "V"):
            fail("E%d refers to %r" % (r, e_ref))
        e = sa["u_clr"] if e_ref[0] == "U" else sa["v_clr"]
        f = (c + d) / e
        h = 0.0
        if h_ref:
            if h_ref[1] != sb["row"] or h_ref[0] not in ("S", "T"):
                fail("H%d refers to %r" % (r, h_ref))
            h = sb["s_app"] if h_ref[0] == "S" else sb["t_app"]
        i = g / h + 1 if h_ref else 0.0
        if n_ref == ("X", 10):
            n = accel
        elif n_ref == ("W", sb["row"]):
            n = sb["w_acc"]
        else:
            fail("N%d refers to %r" % (r, n_ref))
        j = math.sqrt(2 * (g + 1.5) / n)
        k_formula = wf.cell(row=r, column=11).value
        k = amber if k_formula == "=$X$9" or k_formula == "=X9" else 0.0
        l_val = f + k - i
        m_val = f + k - j
        o = math.ceil(l_val - 1e-12) if l_val >= 0 else -math.ceil(-l_val - 1e-12)
        for col, expected in ((4, d), (5, e), (6, f), (8, h), (9, i), (10, j), (11, k), (12, l_val),
                              (13, m_val), (14, n), (15, o)):
            stored = ws.cell(row=r, column=col).value
            close(float(stored), expected, "%s%d" % ("ABCDEFGHIJKLMNO"[col - 1], r))
        rounded[(a, b)] = o

    m2 = values.worksheets[1]
    if not m2.title.upper().startswith("MATRYCA KOLIZJI"):
        fail("worksheet 2 is %r" % m2.title)
    if m2["O7"].value != "Gr":
        fail("O7 holds %r" % m2["O7"].value)
    if str(m2["G2"].value) != nr:
        fail("G2 holds %r" % m2["G2"].value)
    if values.worksheets[2]["A1"].value != "PARAMETRY WSTĘPNE":
        fail("worksheet 3 A1 holds %r" % values.worksheets[2]["A1"].value)
    group_of = {}
    g = 1
    while m2.cell(row=7 + g, column=15).value == g:
        for name in str(m2.cell(row=7 + g, column=16).value).split(", "):
            group_of[name] = g
        g += 1
    n = g - 1
    expected = {}
    for (a, b), o in rounded.items():
        key = (group_of[b.split("[")[0]], group_of[a.split("[")[0]])  # (entering, clearing)
        expected[key] = max(expected.get(key, -111), o)
    for e in range(1, n + 1):
        for c in range(1, n + 1):
            cell = m2.cell(row=7 + e, column=2 + c).value
            if (e, c) in expected:
                if cell != max(expected[(e, c)], 0):
                    fail("matrix (%d, %d) holds %r, expected %r" % (e, c, cell, expected[(e, c)]))
            elif e == c:
                if cell != "X":
                    fail("diagonal (%d) holds %r" % (e, cell))
            elif cell not in (None, ""):
                fail("matrix (%d, %d) holds %r without a pair" % (e, c, cell))
    if m2["V8"].value != "V.1" or not m2["W8"].value:
        fail("no phase set in V8/W8")
    print("ok: %d pair rows, %d groups" % (len(pairs), n))


if __name__ == "__main__":
    main()
