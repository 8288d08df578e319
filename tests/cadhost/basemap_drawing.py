"""The base-map drawing of the rendering tests, made and read back by ezdxf.

make OUT.dxf: writes a closed 3D polyline, a hatch bounded by line, elliptic arc, arc and spline
edges, multiline texts with an unclosed colour code, paragraph alignments and columns (static,
dynamic with one height and with a height each), and an attribute definition; prints, as JSON,
ezdxf's own geometry of them (extents, points on the spline edge).
same A.dxf B.dxf: prints what differs between the entities of two files by handle (nothing when
every entity of A is in B as read)."""
import json
import sys

import ezdxf
from ezdxf import bbox


def make(path):
    doc = ezdxf.new("R2018")
    msp = doc.modelspace()
    out = {}
    # A kerb line: closed, climbing, placed away from the origin.
    kerb = msp.add_polyline3d([(12, 41, 1), (30, 44, 2.5), (27, 55, 4), (14, 52, 3)], close=True)
    out["kerb"] = handle_box(kerb)
    msp.add_polyline3d([(100, 41, 0), (110, 41, 1), (105, 50, 2)], close=True)  # the fewest a closed one has
    # The spline edge first (other edges follow its fit count), one line given the other way round.
    h = msp.add_hatch(color=3)
    ep = h.paths.add_edge_path()
    spline = ep.add_spline(control_points=[(44, 50), (40, 56), (36, 48), (40, 40)],
                           knot_values=[0, 0, 0, 0, 1, 1, 1, 1], degree=3)
    ep.add_line((40, 40), (52, 40))
    ep.add_ellipse((52, 43), major_axis=(0, -3), ratio=0.5, start_angle=0, end_angle=180, ccw=True)
    ep.add_line((50, 46), (52, 46))
    ep.add_arc((47, 46), 3, 0, 180, ccw=True)
    ep.add_line((44, 46), (44, 50))
    tool = spline.construction_tool()
    out["spline"] = [list(tool.point(t))[:2] for t in (0.25, 0.5, 0.75)]
    out["hatch"] = handle_box(h)
    # An unclosed colour code, and paragraphs right, centred and left in a 30 wide box.
    text = msp.add_mtext("AB\\C1CD;EF\\PGH", dxfattribs={"insert": (0, 30), "char_height": 2})
    out["codes"] = text.dxf.handle
    aligned = msp.add_mtext("\\pxqr;RRR\\P\\pxqc;CCC\\P\\pxql;LLL",
                            dxfattribs={"insert": (60, 30), "char_height": 2, "width": 30})
    out["aligned"] = aligned.dxf.handle
    static = msp.add_mtext_static_columns(["A1\\PA2", "B1\\PB2\\PB3"], width=10, gutter_width=3,
                                          height=12, dxfattribs={"insert": (0, 20), "char_height": 2})
    auto = msp.add_mtext_dynamic_auto_height_columns("C1\\PC2\\PC3\\PC4\\PC5", width=10, gutter_width=3,
                                                     height=7, count=3,
                                                     dxfattribs={"insert": (45, 20), "char_height": 2})
    manual = msp.add_mtext_dynamic_manual_height_columns("D1\\PD2\\PD3\\PD4", width=10, gutter_width=3,
                                                         heights=[4, 12], dxfattribs={"insert": (90, 20),
                                                                                      "char_height": 2})
    out["columns"] = [static.dxf.handle, auto.dxf.handle, manual.dxf.handle]
    tag = msp.add_attdef("NR_SLUPA", insert=(70, 2), dxfattribs={"height": 3})
    out["attdef"] = tag.dxf.handle
    doc.saveas(path)
    print(json.dumps(out))


def handle_box(e):
    box = bbox.extents([e])
    return {"handle": e.dxf.handle, "box": [box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y]}


def entity_tags(e):
    tags = [(t.code, str(t.value)) for t in e.tags.tags] if hasattr(e, "tags") else []
    return tags


def same(path_a, path_b):
    a = ezdxf.readfile(path_a).modelspace()
    b = {e.dxf.handle: e for e in ezdxf.readfile(path_b).modelspace()}
    diffs = []
    for e in a:
        other = b.get(e.dxf.handle)
        if other is None or other.dxftype() != e.dxftype():
            diffs.append(f"{e.dxftype()} {e.dxf.handle} missing")
            continue
        # An attribute left out reads as its default, as it does in ezdxf and in CAD programs (an
        # MTEXT without a width does not wrap, as one of width 0).
        for key in set(e.dxfattribs()) | set(other.dxfattribs()):
            default = 0.0 if (e.dxftype(), key) == ("MTEXT", "width") else e.dxf.get_default(key)
            mine, theirs = e.dxf.get(key, default), other.dxf.get(key, default)
            if mine != theirs:
                diffs.append(f"{e.dxftype()} {e.dxf.handle} {key}: {mine} != {theirs}")
        if e.dxftype() == "POLYLINE":
            pa = [tuple(v.dxf.location) for v in e.vertices]
            pb = [tuple(v.dxf.location) for v in other.vertices]
            if pa != pb:
                diffs.append(f"vertices {pa} != {pb}")
        if e.dxftype() == "HATCH":
            for pa, pb in zip(e.paths, other.paths):
                if [vars_of(x) for x in pa.edges] != [vars_of(x) for x in pb.edges]:
                    diffs.append(f"edges {[vars_of(x) for x in pa.edges]} != {[vars_of(x) for x in pb.edges]}")
        if e.dxftype() == "MTEXT":
            if e.text != other.text or e.has_columns != other.has_columns:
                diffs.append(f"text {e.text!r} != {other.text!r}")
            if e.has_columns and vars(e.columns) != vars(other.columns):
                diffs.append(f"columns {vars(e.columns)} != {vars(other.columns)}")
    print("\n".join(diffs))


def vars_of(edge):
    return {k: (list(v) if isinstance(v, (list, tuple)) else str(v)) for k, v in vars(edge).items()}


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2])
    else:
        same(sys.argv[2], sys.argv[3])
