#!/usr/bin/python3
"""Reads a drawing saved by cadhost after headplacer placed a head, with ezdxf, and prints one
line per finding: the head references with their attribute count, inventory number, insertion scale
and the extent of their drawn geometry (the longer side of its box, in drawing units), and the
description texts on the description layer. Usage: check_head.py DRAWING.dxf BLOCK"""
import sys

import ezdxf
from ezdxf import bbox

doc = ezdxf.readfile(sys.argv[1])
block = sys.argv[2]
msp = doc.modelspace()
for ref in msp.query("INSERT"):
    if ref.dxf.name != block:
        continue
    attribs = {a.dxf.tag: a.dxf.text for a in ref.attribs}
    # The block's lines, circles and polylines only: attributes are not the symbol.
    shapes = [e for e in ref.virtual_entities() if e.dxftype() in ("LINE", "CIRCLE", "ARC", "LWPOLYLINE")]
    box = bbox.extents(shapes)
    extent = max(box.size.x, box.size.y) if box.has_data else 0
    print("HEAD layer=%s attribs=%d INWENT_NUMER=%s NUMER_SKRZYZ=%s SYMBOL=%s scale=%g extent=%.2f" % (
        ref.dxf.layer, len(attribs), attribs.get("INWENT_NUMER", ""), attribs.get("NUMER_SKRZYZ", ""),
        attribs.get("SYMBOL", ""), ref.dxf.xscale, extent))
for text in msp.query('TEXT[layer=="112-OPIS_SYGNALIZACJI"]'):
    print("TEXT %s height=%g" % (text.dxf.text, text.dxf.height))
print("BLOCKDEF attdefs=%d" % len([e for e in doc.blocks.get(block) if e.dxftype() == "ATTDEF"]))
