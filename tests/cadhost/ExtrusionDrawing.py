# Writes a drawing with each planar kind at extrusion (0, 0, -1) to argv[1] and prints what ezdxf,
# the independent reader, makes of it: "ink <kind> x y" on each drawn curve, "none <kind> x y" where
# the same record would be drawn if its extrusion were ignored (away from every drawn curve),
# "text <kind> x y alongx alongy upx upy" for each text's world frame, "snap <kind> x y" for snap
# points and "box <what> x0 y0 x1 y1" for extents.
import ezdxf, sys, math
from ezdxf import path, disassemble, bbox
from ezdxf.math import Vec3
DOWN = (0, 0, -1)
doc = ezdxf.new()
msp = doc.modelspace()
b = doc.blocks.new("B")
b.add_line((0, 0), (6, 4))
b.add_circle((10, 0), 2)
o = doc.blocks.new("OUTER")
o.add_blockref("B", (-5, 3), dxfattribs={"rotation": 30, "extrusion": DOWN})
a = doc.blocks.new("A")
a.add_attdef("T", (0, 0), dxfattribs={"height": 4})
ents = {}
ents["circle"] = msp.add_circle((-75, 50), 5, dxfattribs={"extrusion": DOWN})
ents["arc"] = msp.add_arc((-60, 20), 6, 0, 90, dxfattribs={"extrusion": DOWN})
ents["lwpolyline"] = msp.add_lwpolyline([(-20, -10, 0, 0, 1), (-40, -10, 0, 0, 0), (-40, -20, 0, 0, 0)],
                                       format="xyseb", dxfattribs={"extrusion": DOWN, "const_width": 1.5})
ents["polyline"] = msp.add_polyline2d([(-20, -40), (-45, -40), (-45, -50)], dxfattribs={"extrusion": DOWN})
ents["polyline"].vertices[0].dxf.bulge = -0.5
ents["insert"] = msp.add_blockref("B", (-50, -70), dxfattribs={"rotation": 30, "extrusion": DOWN})
ents["nested"] = msp.add_blockref("OUTER", (-70, -60), dxfattribs={"rotation": 20, "extrusion": DOWN})
ents["hatch"] = msp.add_hatch(color=3, dxfattribs={"extrusion": DOWN})
ents["hatch"].paths.add_polyline_path([(-90, -30), (-80, -30), (-80, -20), (-90, -20)], is_closed=True)
ents["solid"] = msp.add_solid([(-90, 0), (-80, 0), (-90, 8), (-80, 8)], dxfattribs={"extrusion": DOWN})
ents["trace"] = msp.add_trace([(-100, 70), (-92, 70), (-100, 76), (-92, 76)], dxfattribs={"extrusion": DOWN})
ents["ellipse"] = msp.add_ellipse((0, 80), (10, 0, 0), 0.5, 0, math.pi / 2, dxfattribs={"extrusion": DOWN})
# A circle on a tilted plane: drawn as its plan projection, an ellipse round world (8; -70).
TILT = Vec3(0.6, 0, 0.8)
ents["tilted"] = msp.add_circle(ezdxf.math.OCS(TILT).from_wcs((8, -70, 0)), 5, dxfattribs={"extrusion": TILT})
# An ellipse on that plane, its major axis rising out of the plan: its minor axis turns from the
# major one about the tilted normal, a plan half-axis of 5 along Y round world (90; 30).
ents["tiltedellipse"] = msp.add_ellipse((90, 30, 0), (8, 0, -6), 0.5, dxfattribs={"extrusion": TILT})
texts = {}
texts["text"] = msp.add_text("L", dxfattribs={"height": 5, "insert": (-30, 40), "extrusion": DOWN})
texts["mtext"] = msp.add_mtext("L", dxfattribs={"char_height": 5, "insert": (30, 70), "text_direction": (1, 0, 0),
                                                 "extrusion": DOWN, "attachment_point": 1})
texts["turned"] = msp.add_mtext("L", dxfattribs={"char_height": 5, "insert": (10, 30), "rotation": 30,
                                                  "extrusion": DOWN, "attachment_point": 7})
ref = msp.add_blockref("A", (-30, -85), dxfattribs={"extrusion": DOWN})
att = ref.add_attrib("T", "L", (-30, -85), dxfattribs={"height": 5, "extrusion": DOWN})
texts["attrib"] = att
doc.saveas(sys.argv[1])

def flat(e):
    pts = []
    for p in disassemble.recursive_decompose([e]):
        if p.dxftype() in ("INSERT", "ATTRIB", "ATTDEF"):
            continue
        pts += [Vec3(v) for v in path.make_path(p).flattening(0.05)]
    return pts
true_pts = {}
wrong_pts = {}
for k, e in ents.items():
    true_pts[k] = flat(e)
    c = e.copy()
    c.dxf.extrusion = (0, 0, 1)
    if c.dxftype() == "INSERT":
        c.doc = doc
    wrong_pts[k] = flat(c)
every = [p for v in true_pts.values() for p in v]
for k in ents:
    for p in true_pts[k][:: max(1, len(true_pts[k]) // 12)]:
        print("ink", k, p.x, p.y)
    for p in wrong_pts[k][:: max(1, len(wrong_pts[k]) // 12)]:
        if min((p - q).magnitude for q in every) > 2.5:
            print("none", k, p.x, p.y)
for k, t in texts.items():
    ocs = t.ocs()
    at = ocs.to_wcs(t.dxf.insert) if t.dxftype() != "MTEXT" else Vec3(t.dxf.insert)
    if t.dxftype() == "MTEXT":
        along, up = t.ucs().ux, t.ucs().uy
    else:
        along, up = ocs.to_wcs((1, 0, 0)), ocs.to_wcs((0, 1, 0))
    print("text", k, at.x, at.y, along.x, along.y, up.x, up.y)
# Snap points: the world points every reader places them at.
def xy(v): return (v.x, v.y)
c = ents["circle"]; print("snap center", *xy(c.ocs().to_wcs(c.dxf.center)))
t = ents["tilted"]; print("snap center", *xy(t.ocs().to_wcs(t.dxf.center)))
a = ents["arc"]
print("snap end", *xy(a.start_point)); print("snap end", *xy(a.end_point))
print("snap center", *xy(a.ocs().to_wcs(a.dxf.center)))
print("snap middle", *xy(a.ocs().to_wcs(a.dxf.center + Vec3.from_deg_angle(45, 6))))
for v in list(ents["lwpolyline"].vertices_in_wcs()): print("snap end", v.x, v.y)
print("snap insertion", *xy(ents["insert"].ocs().to_wcs(ents["insert"].dxf.insert)))
print("snap insertion", *xy(texts["text"].ocs().to_wcs(texts["text"].dxf.insert)))
for p in disassemble.recursive_decompose([ents["nested"]]):
    if p.dxftype() == "LINE":
        print("snap end", p.dxf.end.x, p.dxf.end.y)
    if p.dxftype() == "CIRCLE":
        print("snap center", *xy(p.ocs().to_wcs(p.dxf.center)))
box = bbox.extents([ents["circle"]])
print("box circle", box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y)
box = bbox.extents(list(ents.values()))
print("box all", box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y)
