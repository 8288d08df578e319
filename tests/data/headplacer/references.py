#!/usr/bin/python3
"""Prints the block references and texts of a drawing's model space, one sorted line each, so that two
drawings holding the same placement print the same: a reference with its block name, insertion
point, rotation, scale, layer and every attribute (tag=value); a text with its string, position,
height, rotation and layer. Usage: references.py DRAWING.dxf"""
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
lines = []
for e in doc.modelspace().query("INSERT TEXT"):
    p = e.dxf.insert
    where = "at=%.4f,%.4f rotation=%.4f layer=%s" % (p.x, p.y, e.dxf.rotation, e.dxf.layer)
    if e.dxftype() == "INSERT":
        attribs = " ".join(sorted("%s=%s" % (a.dxf.tag, a.dxf.text) for a in e.attribs))
        lines.append("INSERT %s %s scale=%g %s" % (e.dxf.name, where, e.dxf.xscale, attribs))
    else:
        lines.append("TEXT %s %s height=%g" % (e.dxf.text, where, e.dxf.height))
print("\n".join(sorted(lines)))
