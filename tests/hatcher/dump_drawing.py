#!/usr/bin/python3
"""Prints what a saved drawing holds, as ezdxf reads it, one line per entity: model space first, then
every block definition by name; each entity with its DXF attributes (numbers rounded to 6 places),
its attributes (tag=text), polyline points and XDATA. Two drawings that print the same hold the same
entities, blocks and attributes."""
import sys
import ezdxf


def value(v):
    if isinstance(v, float):
        return "%.6f" % v
    if hasattr(v, "x") and hasattr(v, "y"):
        return "(" + ",".join("%.6f" % c for c in v) + ")"
    return str(v)


def line(e):
    attribs = e.dxfattribs()
    parts = [e.dxftype()] + ["%s=%s" % (k, value(attribs[k])) for k in sorted(attribs)]
    if e.dxftype() == "INSERT":
        parts += ["ATTRIB %s=%s" % (a.dxf.tag, a.dxf.text) for a in e.attribs]
    if e.dxftype() == "LWPOLYLINE":
        parts += ["(%s)" % ",".join("%.6f" % c for c in p) for p in e.get_points()]
    if e.xdata is not None:
        for app in sorted(e.xdata.data):
            parts += ["XDATA %s %s" % (app, [value(t.value) for t in e.get_xdata(app)])]
    return " ".join(parts)


doc = ezdxf.readfile(sys.argv[1])
for e in doc.modelspace():
    print("MODEL " + line(e))
for block in sorted(doc.blocks, key=lambda b: b.name):
    if block.name.lower() in ("*model_space", "*paper_space"):
        continue
    for e in block:
        print("BLOCK %s %s" % (block.name, line(e)))
