#!/usr/bin/python3
# Prints, one line each and sorted, what a DXF drawing holds of a drawn program: every model-space
# entity (kind, layer, block name, points rounded to 1e-6, text, attributes) and every block
# definition with the same for its entities. Handles are left out: two drawings of one program by
# two routes print the same lines.
import sys

import ezdxf


def r(v):
    return tuple(round(c, 6) for c in v)


def describe(e):
    d = [e.dxftype(), e.dxf.get("layer", "")]
    for key in ("name", "insert", "start", "end", "center", "radius", "text", "height", "rotation",
                "xscale", "yscale", "start_angle", "end_angle", "color", "linetype", "style"):
        if e.dxf.hasattr(key):
            v = e.dxf.get(key)
            d.append(f"{key}={r(v) if hasattr(v, '__iter__') and not isinstance(v, str) else v}")
    if e.dxftype() == "MTEXT":
        d.append("text=" + e.text)
    if e.dxftype() in ("LWPOLYLINE",):
        d.append("points=" + str([r(p) for p in e.get_points("xy")]))
    if e.dxftype() == "HATCH":
        d.append("pattern=" + e.dxf.pattern_name)
    if e.dxftype() == "INSERT":
        d.append("attribs=" + str(sorted((a.dxf.tag, a.dxf.text) for a in e.attribs)))
    return " ".join(str(x) for x in d)


doc = ezdxf.readfile(sys.argv[1])
lines = ["model " + describe(e) for e in doc.modelspace()]
for block in doc.blocks:
    if block.name.lower().startswith("*model_space") or block.name.lower().startswith("*paper_space"):
        continue
    lines += [f"block {block.name} " + describe(e) for e in block]
for line in sorted(lines):
    print(line)
