# Writes to argv[1] an arc, a circle, a polyline, a block reference and an ellipse on the plane of direction
# (1, 1, 1), with that direction written as (1,1,1)×1e308 (layers "*_BIG"), as (1,1,1)×1e-170
# ("*_SMALL") and as its unit vector ("*_UNIT"), and the same kinds on the plane of
# (1e-10, -1e-10, 1) ("*_NOISE"). Prints where ezdxf, the independent reader, places them, from
# the unit vector of each direction (ezdxf itself cannot normalise 1e308 nor keep 1e-170):
# "ink <layer> x y" on each drawn curve, "none <layer> x y" where the same records would be drawn
# if the direction were taken for world Z (away from every drawn curve), "box <layer> x0 y0 x1 y1"
# for extents.
import sys

import ezdxf
from ezdxf import bbox, disassemble, path
from ezdxf.math import OCS, Vec3

SLANT = Vec3(1, 1, 1).normalize()
NOISE = Vec3(1e-10, -1e-10, 1).normalize()
VARIANTS = [("BIG", SLANT, "1e+308", 0), ("SMALL", SLANT, "1e-170", 150), ("UNIT", SLANT, None, 300),
            ("NOISE", NOISE, None, 450)]

doc = ezdxf.new()
msp = doc.modelspace()
block = doc.blocks.new("B")
block.add_line((0, 0), (8, 0))
block.add_circle((4, 3), 2)

ents = []
for name, normal, written, x in VARIANTS:
    ocs = OCS(normal)
    attribs = lambda kind: {"layer": kind + "_" + name, "extrusion": normal}
    # Each placed in its plane so that it is drawn round the world point given.
    c = ocs.from_wcs((x + 10, 10, 0))
    ents.append(msp.add_circle(c, 5, dxfattribs=attribs("CIRCLE")))
    c = ocs.from_wcs((x + 30, 10, 0))
    ents.append(msp.add_arc(c, 6, 20, 140, dxfattribs=attribs("ARC")))
    c = ocs.from_wcs((x + 55, 10, 0))
    pl = msp.add_lwpolyline([(c.x - 5, c.y - 5), (c.x + 5, c.y - 5), (c.x + 5, c.y + 5)], dxfattribs=attribs("LWPOLYLINE"))
    pl.dxf.elevation = c.z
    ents.append(pl)
    c = ocs.from_wcs((x + 80, 5, 0))
    ents.append(msp.add_blockref("B", c, dxfattribs=dict(attribs("INSERT"), rotation=30)))
    # An ellipse holds world points; its minor axis is the direction crossed with the major one.
    major = ocs.to_wcs((6, 0, 0))
    ents.append(msp.add_ellipse((x + 110, 10, 0), major, 0.5, dxfattribs=attribs("ELLIPSE")))
doc.saveas(sys.argv[1])

# The directions as the file is to hold them: every component of group 210, 220 and 230 of the
# entities on the "_BIG" and "_SMALL" layers replaced by the scaled value.
scaled = {name: written for name, _, written, _ in VARIANTS if written}
with open(sys.argv[1]) as f:
    lines = f.read().split("\n")
layer = None
for i in range(0, len(lines) - 1, 2):
    code = lines[i].strip()
    if code == "0":
        layer = None
    elif code == "8":
        layer = lines[i + 1].strip()
    elif code in ("210", "220", "230") and layer and layer.split("_")[-1] in scaled:
        lines[i + 1] = scaled[layer.split("_")[-1]]
with open(sys.argv[1], "w") as f:
    f.write("\n".join(lines))


def flat(e):
    pts = []
    for p in disassemble.recursive_decompose([e]):
        if p.dxftype() == "INSERT":
            continue
        pts += [Vec3(v) for v in path.make_path(p).flattening(0.05)]
    return pts


truth = {e.dxf.layer: flat(e) for e in ents}
wrong = {}
for e in ents:
    c = e.copy()
    c.dxf.extrusion = (0, 0, 1)
    if c.dxftype() == "INSERT":
        c.doc = doc
    wrong[e.dxf.layer] = flat(c)
every = [p for v in truth.values() for p in v]
for e in ents:
    k = e.dxf.layer
    for p in truth[k][:: max(1, len(truth[k]) // 16)]:
        print("ink", k, p.x, p.y)
    for p in wrong[k][:: max(1, len(wrong[k]) // 16)]:
        if min((p - q).magnitude for q in every) > 2.5:
            print("none", k, p.x, p.y)
    box = bbox.extents([e])
    print("box", k, box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y)
