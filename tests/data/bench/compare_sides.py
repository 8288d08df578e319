#!/usr/bin/python3
"""Compares what the socket benchmark's two sides wrote on the same drawing: every entity of model
space and of every block (kind, layer, geometry, texts, attributes of references), the workbook's
cells on every sheet and the XML export. Prints each difference; exits 1 when there is one.
Usage: compare_sides.py [--drawing-only] INPROCESS_DIR SOCKET_DIR
With --drawing-only (the sides stopped after a drawing command) only the drawings are compared, and
each side must have written one."""
import os
import sys
import ezdxf
import openpyxl

SKIPPED = {"handle", "owner"}
SIDE_FOLDERS = []  # each side names its own files: the folder is no difference


def text(v):
    for folder in SIDE_FOLDERS:
        v = v.replace(folder, "<side>")
    return v


def rounded(v):
    if isinstance(v, str):
        return text(v)
    if isinstance(v, float):
        return round(v, 6)
    if isinstance(v, (tuple, list)) or hasattr(v, "__iter__") and not isinstance(v, str):
        try:
            return tuple(rounded(x) for x in v)
        except TypeError:
            return v
    return v


def entity(e):
    attribs = {k: rounded(v) for k, v in e.dxfattribs().items() if k not in SKIPPED}
    row = [e.dxftype(), sorted(attribs.items(), key=lambda kv: kv[0])]
    if e.dxftype() == "INSERT":
        row.append([(a.dxf.tag, text(a.dxf.text)) for a in e.attribs])
    if e.dxftype() == "LWPOLYLINE":
        row.append([rounded(tuple(p)) for p in e.get_points()])
    return repr(row)


def drawing(path):
    doc = ezdxf.readfile(path)
    out = {}
    for block in doc.blocks:
        # Anonymous blocks are numbered as they are made: their contents count, not their names.
        name = "*anonymous" if block.name.startswith("*U") else block.name
        out.setdefault(name, []).extend(entity(e) for e in block)
    return {k: sorted(v) for k, v in out.items()}


def cells(path):
    book = openpyxl.load_workbook(path)
    return {ws.title: {c.coordinate: text(c.value) if isinstance(c.value, str) else c.value for row in ws.iter_rows() for c in row if c.value is not None}
            for ws in book.worksheets}


def main(a, b, drawing_only=False):
    SIDE_FOLDERS.extend([os.path.abspath(a), os.path.abspath(b)])
    differences = []
    da, db = {}, {}
    for f in ("wynik.dxf", "program.dxf"):
        if os.path.exists(a + "/" + f) or os.path.exists(b + "/" + f):
            da.update({f + ":" + k: v for k, v in drawing(a + "/" + f).items()})
            db.update({f + ":" + k: v for k, v in drawing(b + "/" + f).items()})
    for name in sorted(set(da) | set(db)):
        ea, eb = da.get(name), db.get(name)
        if ea != eb:
            only_a = sorted(set(ea or []) - set(eb or []))[:3]
            only_b = sorted(set(eb or []) - set(ea or []))[:3]
            differences.append("block %s: in-process only %s; socket only %s" % (name, only_a, only_b))
    if drawing_only:
        print("entities %d, differences %d (the drawings only)" % (sum(len(v) for v in da.values()), len(differences)))
        for d in differences[:40]:
            print(d)
        return 1 if differences or not da else 0
    ca, cb = cells(a + "/Miedzyzielone.xlsx"), cells(b + "/Miedzyzielone.xlsx")
    for sheet in sorted(set(ca) | set(cb)):
        sa, sb = ca.get(sheet, {}), cb.get(sheet, {})
        for ref in sorted(set(sa) | set(sb)):
            if sa.get(ref) != sb.get(ref):
                differences.append("sheet %s %s: %r != %r" % (sheet, ref, sa.get(ref), sb.get(ref)))
    xa, xb = open(a + "/Export.xml", "rb").read(), open(b + "/Export.xml", "rb").read()
    if xa != xb:
        differences.append("Export.xml differs")
    for d in differences[:40]:
        print(d)
    print("entities %d, cells %d, differences %d" % (sum(len(v) for v in da.values()),
                                                    sum(len(v) for v in ca.values()), len(differences)))
    return 1 if differences else 0


if __name__ == "__main__":
    args = sys.argv[1:]
    only = args[:1] == ["--drawing-only"]
    if only:
        args = args[1:]
    sys.exit(main(args[0], args[1], only))
