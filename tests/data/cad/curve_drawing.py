"""Curves on map-grid coordinates as ezdxf writes them, and where ezdxf puts them after a transform.

  curve_drawing.py write PATH   a HELIX (radius 10, 2.25 turns of 5, right-handed, its axis at
      (7.5e9, 5.5e9)), a SPLINE with its end tangents (groups 12 and 13) near it, a HATCH closed by
      a spline edge with fit points and end tangents, and a heavy 2D POLYLINE with bulges and
      widths; each on the layer of its kind. Prints, as JSON, for each kind
      its extents (ezdxf.bbox; of the spline its curve at 20001 points, of the polyline its centre
      line), its data, and its data after TURN (ezdxf's own transform)
  curve_drawing.py read PATH    the same data (without extents or turned data) as ezdxf reads them

TURN is a half turn about (7.5e9 + 3, 5.5e9 - 4), then a mirror in Y about the line
y = 5.5e9 + 1, then a move by (3, -2): signs that a turn by 90 degrees or a mirror in X would
leave alone show.
"""
import json
import math
import sys

import ezdxf
from ezdxf import bbox
from ezdxf.math import Matrix44

X0, Y0 = 7.5e9, 5.5e9


def turn():
    about = Matrix44.chain(Matrix44.translate(-(X0 + 3), -(Y0 - 4), 0), Matrix44.z_rotate(math.pi),
                           Matrix44.translate(X0 + 3, Y0 - 4, 0))
    mirror = Matrix44.chain(Matrix44.translate(0, -(Y0 + 1), 0), Matrix44.scale(1, -1, 1),
                            Matrix44.translate(0, Y0 + 1, 0))
    return Matrix44.chain(about, mirror, Matrix44.translate(3, -2, 0))


def xy(v):
    return [v[0], v[1]]


def data(e):
    kind = e.dxftype()
    if kind in ("HELIX", "SPLINE"):
        d = {"control": [xy(p) for p in e.control_points], "fit": [xy(p) for p in e.fit_points],
             "knots": list(e.knots)}
        for name in ("start_tangent", "end_tangent"):
            if e.dxf.hasattr(name):
                d[name] = xy(e.dxf.get(name))
        if kind == "HELIX":
            d.update({"axis_base_point": xy(e.dxf.axis_base_point), "start_point": xy(e.dxf.start_point),
                      "axis_vector": list(e.dxf.axis_vector), "radius": e.dxf.radius,
                      "turns": e.dxf.turns, "turn_height": e.dxf.turn_height,
                      "handedness": e.dxf.handedness})
        return d
    if kind == "HATCH":  # its spline edge in world coordinates (a mirror may turn its system over)
        ocs = e.ocs()
        edge = e.paths[0].edges[0]
        world = lambda p: xy(ocs.to_wcs((p[0], p[1], 0)))
        return {"control": [world(p) for p in edge.control_points], "fit": [world(p) for p in edge.fit_points],
                "start_tangent": world(edge.start_tangent), "end_tangent": world(edge.end_tangent)}
    # A 2D polyline by what its plan shows: its vertices in world coordinates, each bulge as it
    # turns in the plan (a system seen from below turns it the other way), and its widths.
    ocs = e.ocs()
    down = e.dxf.extrusion[2] < 0
    return {"vertices": [xy(ocs.to_wcs(v.dxf.location)) + [(-1 if down else 1) * v.dxf.bulge,
                                                          v.dxf.start_width, v.dxf.end_width]
                         for v in e.vertices]}


def write(path):
    doc = ezdxf.new("R2018")
    msp = doc.modelspace()
    helix = msp.add_helix(radius=10, pitch=5, turns=2.25, ccw=True, dxfattribs={"layer": "HELIX"})
    helix.translate(X0, Y0, 0)
    spline = msp.add_open_spline([(X0 + 20, Y0), (X0 + 24, Y0 + 7), (X0 + 31, Y0 + 5), (X0 + 35, Y0 - 3)],
                                 degree=3, dxfattribs={"layer": "SPLINE"})
    spline.fit_points = [(X0 + 20, Y0), (X0 + 35, Y0 - 3)]
    spline.dxf.start_tangent = (0.6, 0.8, 0)
    spline.dxf.end_tangent = (0.28, -0.96, 0)
    hatch = msp.add_hatch(dxfattribs={"layer": "HATCH"})
    edges = hatch.paths.add_edge_path()
    edges.add_spline(control_points=[(X0 + 40, Y0), (X0 + 43, Y0 + 6), (X0 + 50, Y0 + 5), (X0 + 52, Y0 - 1)],
                     fit_points=[(X0 + 40, Y0), (X0 + 52, Y0 - 1)], knot_values=[0, 0, 0, 0, 1, 1, 1, 1],
                     degree=3, start_tangent=(0.6, 0.8), end_tangent=(0.8, -0.6))
    edges.add_line((X0 + 52, Y0 - 1), (X0 + 40, Y0))
    msp.add_polyline2d([(X0 - 30, Y0 + 5, 0.5, 1.5, 0.4), (X0 - 20, Y0 + 8, 1, 0, -0.7), (X0 - 14, Y0 - 2, 0, 0, 0)],
                       format="xyseb", dxfattribs={"layer": "POLYLINE"})
    m = turn()
    out = {}
    for e in msp:
        box = bbox.extents([e])
        if e.dxftype() == "SPLINE":  # its curve: ezdxf's extents are of a coarser flattening
            tool = e.construction_tool()
            ts = [tool.max_t * i / 20000 for i in range(20001)]
            points = list(tool.points(ts))
            box = bbox.BoundingBox(points)
        if e.dxftype() == "POLYLINE":  # its centre line: ezdxf's extents take in the widths too
            centre = e.copy()
            for v in centre.vertices:
                v.dxf.start_width = v.dxf.end_width = 0
            box = bbox.extents([centre])
        turned = e.copy()
        turned.transform(m)
        out[e.dxf.layer] = {"box": [box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y], "data": data(e),
                            "turned": data(turned)}
    doc.saveas(path)
    print(json.dumps(out))


def read(path):
    print(json.dumps({e.dxf.layer: {"data": data(e)} for e in ezdxf.readfile(path).modelspace()}))


if __name__ == "__main__":
    {"write": write, "read": read}[sys.argv[1]](sys.argv[2])
