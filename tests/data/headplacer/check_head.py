#!/usr/bin/python3
"""Reads a drawing saved by cadhost after headplacer placed a head, with ezdxf, and prints one
line per finding: the head references with their attribute count and inventory number, and the
description texts on the description layer. Usage: check_head.py DRAWING.dxf BLOCK"""
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
block = sys.argv[2]
msp = doc.modelspace()
for ref in msp.query("INSERT"):
    if ref.dxf.name != block:
        continue
    attribs = {a.dxf.tag: a.dxf.text for a in ref.attribs}
    print("HEAD layer=%s attribs=%d INWENT_NUMER=%s NUMER_SKRZYZ=%s SYMBOL=%s scale=%g" % (
        ref.dxf.layer, len(attribs), attribs.get("INWENT_NUMER", ""), attribs.get("NUMER_SKRZYZ", ""),
        attribs.get("SYMBOL", ""), ref.dxf.xscale))
for text in msp.query('TEXT[layer=="112-OPIS_SYGNALIZACJI"]'):
    print("TEXT %s height=%g" % (text.dxf.text, text.dxf.height))
print("BLOCKDEF attdefs=%d" % len([e for e in doc.blocks.get(block) if e.dxftype() == "ATTDEF"]))
