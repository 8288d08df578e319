"""Writes a drawing of entities in their own coordinate systems (extrusion (0,0,-1), one tilted) and
reports, as JSON, where ezdxf places each one: its extents (ezdxf.bbox) and its points in world
coordinates (OCS.to_wcs). `write <out.dxf>` makes the drawing; `read <file.dxf>` reports each
entity's extrusion and stored values of a drawing saved by the engine.

Every entity carries its name as the layer, so the test finds it by layer."""
import json
import math
import sys

import ezdxf
from ezdxf import bbox

DOWN = (0, 0, -1)
TILTED = (0, 0.6, 0.8)


def world(e, p):
    return list(e.ocs().to_wcs(p))


def make(path):
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    block = doc.blocks.new("B1")
    block.add_line((0, 0), (10, 0))
    block.add_arc((0, 0), 5, 0, 90)
    block.add_circle((10, 0), 2)
    outer = doc.blocks.new("OUTER")
    outer.add_blockref("B1", (5, 5), dxfattribs={"extrusion": DOWN, "rotation": 30})
    report = {}

    def add(name, e, text=False, points=None):
        e.dxf.layer = name
        b = bbox.extents([e])
        report[name] = {"box": [b.extmin.x, b.extmin.y, b.extmax.x, b.extmax.y], "text": text,
                        "height": (e.dxf.char_height if e.dxftype() == "MTEXT" else e.dxf.height) if text else 0,
                        "points": points or {}}

    c = msp.add_circle((75, 50, 3), 10, dxfattribs={"extrusion": DOWN})
    add("CIRCLE", c, points={"Center": world(c, c.dxf.center)})
    a = msp.add_arc((20, 10, 2), 5, 30, 120, dxfattribs={"extrusion": DOWN})
    add("ARC", a, points={"Center": world(a, a.dxf.center), "StartPoint": list(a.start_point),
                          "EndPoint": list(a.end_point)})
    lw = msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (10, 0, 0, 0, -1), (10, 10)],
                            dxfattribs={"extrusion": DOWN, "elevation": 2})
    add("LWPOLYLINE", lw, points={"StartPoint": world(lw, (0, 0, 2)), "EndPoint": world(lw, (10, 10, 2))})
    pl = msp.add_polyline2d([(0, 0), (-8, 4), (-8, 12)], dxfattribs={"extrusion": DOWN})
    pl.vertices[0].dxf.bulge = 0.7
    pl.close(True)  # a closed one keeps its points in its own system as an open one does
    add("POLYLINE", pl, points={"StartPoint": world(pl, (0, 0, 0))})
    ref = msp.add_blockref("B1", (30, -20), dxfattribs={"extrusion": DOWN, "rotation": 90,
                                                         "xscale": 2, "yscale": 1.5})
    add("INSERT", ref, points={"InsertionPoint": world(ref, ref.dxf.insert)})
    nest = msp.add_blockref("OUTER", (100, 100), dxfattribs={"rotation": 90})
    add("NESTED", nest)
    t = msp.add_text("AB", dxfattribs={"height": 2.5, "extrusion": DOWN, "insert": (10, 5)})
    add("TEXT", t, text=True, points={"InsertionPoint": world(t, t.dxf.insert)})
    ad = msp.add_attdef("AB", (12, -7), "AB", dxfattribs={"height": 2, "extrusion": DOWN})
    add("ATTDEF", ad, text=True, points={"InsertionPoint": world(ad, ad.dxf.insert)})
    m = msp.add_mtext("AB", dxfattribs={"char_height": 2.5, "extrusion": DOWN, "insert": (10, -30)})
    add("MTEXT", m, text=True, points={"InsertionPoint": list(m.dxf.insert)})
    m2 = msp.add_mtext("AB", dxfattribs={"char_height": 2.5, "extrusion": DOWN, "insert": (-40, -30),
                                         "rotation": 30})
    add("MTEXTANGLE", m2, text=True)
    # ezdxf's extents of a turned MTEXT under -Z do not follow its own frame (ucs): the box of its
    # text rectangle (as wide and high as the unturned one) laid in that frame is the truth.
    size = report["MTEXT"]["box"]
    w, hgt = size[2] - size[0], size[3] - size[1]
    u = m2.ucs()
    corners = [m2.dxf.insert + u.ux * x - u.uy * y for x in (0, w) for y in (0, hgt)]
    report["MTEXTANGLE"]["box"] = [min(p.x for p in corners), min(p.y for p in corners),
                                   max(p.x for p in corners), max(p.y for p in corners)]
    h = msp.add_hatch(dxfattribs={"extrusion": DOWN, "elevation": (0, 0, 4)})
    h.paths.add_polyline_path([(40, 0), (50, 0, -0.5), (50, 10)], is_closed=True)
    add("HATCH", h)
    s = msp.add_solid([(60, 0), (70, 0), (60, 5), (72, 8)], dxfattribs={"extrusion": DOWN})
    add("SOLID", s)
    tr = msp.add_trace([(60, -10), (70, -10), (60, -5), (70, -5)], dxfattribs={"extrusion": DOWN})
    add("TRACE", tr)
    el = msp.add_ellipse((50, -50), major_axis=(10, 0, 0), ratio=0.5, start_param=0,
                         end_param=math.pi / 2, dxfattribs={"extrusion": DOWN})
    add("ELLIPSE", el, points={"StartPoint": list(el.start_point), "EndPoint": list(el.end_point)})
    closed = msp.add_lwpolyline([(0, 0), (10, 0), (10, 10, 0, 0, 1)], close=True, dxfattribs={"extrusion": DOWN})
    add("CLOSED", closed)
    he = msp.add_hatch(dxfattribs={"extrusion": DOWN})
    edges = he.paths.add_edge_path()
    edges.add_line((20, 20), (30, 20))
    edges.add_arc((30, 25), 5, -90, 90)
    edges.add_line((30, 30), (20, 20))
    add("HATCHEDGES", he)
    # An aligned dimension seen from below, measuring world (10, -60) to (30, -60) with its line 5
    # above. Its block is inserted at the world origin and holds world points whatever the
    # dimension's extrusion (only the text position is an OCS point); its arrowhead is a SOLID, a
    # kind kept as read. ezdxf's extents are the truth.
    dblock = doc.blocks.new_anonymous_block("D")
    dim_ocs = ezdxf.math.OCS(DOWN)
    for a, b in [((10, -60, 0), (10, -55, 0)), ((30, -60, 0), (30, -55, 0)), ((10, -55, 0), (30, -55, 0))]:
        dblock.add_line(a, b)
    dblock.add_solid([(30, -55), (29, -54.7), (29, -55.3)])
    d = msp.new_entity("DIMENSION", dxfattribs={
        "geometry": dblock.name, "dimstyle": "Standard", "dimtype": 33, "extrusion": DOWN,
        "defpoint": (30, -55, 0), "defpoint2": (10, -60, 0), "defpoint3": (30, -60, 0),
        "text_midpoint": dim_ocs.from_wcs((20, -54, 0))})
    add("DIMENSION", d)
    # A radius dimension, a kind kept as read: measured by the world lines and arrowhead of its block
    # (its text left out, ezdxf measures it with other font widths), not by its definition points.
    rd = msp.add_radius_dim(center=(-60, 40), radius=8, angle=30, dimstyle="EZ_RADIUS")
    rd.render()
    rblock = doc.blocks.get(rd.dimension.dxf.geometry)
    for e in list(rblock):
        if e.dxftype() in ("MTEXT", "TEXT"):
            rblock.delete_entity(e)
    add("RADIUSDIM", rd.dimension)
    # A hatch closed by a cubic spline edge whose control points lie inside the square its two lines
    # span; "turned" holds the control points ezdxf gives after a quarter turn about the origin and
    # a move by (3, -2).
    sh = msp.add_hatch()
    se = sh.paths.add_edge_path()
    se.add_line((100, -40), (110, -40))
    se.add_line((110, -40), (110, -30))
    se.add_spline(control_points=[(110, -30), (106, -31), (103, -36), (100, -40)],
                  knot_values=[0, 0, 0, 0, 1, 1, 1, 1], degree=3)
    add("SPLINEHATCH", sh)
    turned = sh.copy()
    turned.transform(ezdxf.math.Matrix44.chain(ezdxf.math.Matrix44.z_rotate(math.pi / 2),
                                               ezdxf.math.Matrix44.translate(3, -2, 0)))
    report["SPLINEHATCH"]["turned"] = [[p.x, p.y] for p in turned.paths[0].edges[2].control_points]
    tr2 = msp.add_blockref("B1", (3, 4), dxfattribs={"extrusion": TILTED, "rotation": 20})
    add("TILTEDREF", tr2)
    tc = msp.add_circle((5, 5, 1), 4, dxfattribs={"extrusion": TILTED})
    add("TILTED", tc, points={"Center": world(tc, tc.dxf.center)})
    doc.saveas(path)
    json.dump(report, sys.stdout)


def read(path):
    doc = ezdxf.readfile(path)
    out = {}
    for e in doc.modelspace():
        d = {"extrusion": list(e.dxf.get("extrusion", (0, 0, 1)))}
        for attr in ("center", "insert", "elevation", "rotation", "start_angle", "text_direction"):
            if e.dxf.hasattr(attr):
                v = e.dxf.get(attr)
                d[attr] = list(v) if hasattr(v, "__iter__") else v
        if e.dxftype() == "LWPOLYLINE":
            d["points"] = [list(p) for p in e.get_points("xyb")]
        out[e.dxf.layer] = d
    json.dump(out, sys.stdout)


if __name__ == "__main__":
    {"write": make, "read": read}[sys.argv[1]](sys.argv[2])
