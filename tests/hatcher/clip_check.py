#!/usr/bin/python3
"""Checks clipped geometry against shapely: for each case the input, cut by shapely to the clip
circle, must match what the program took (length or area, and boundary within a small distance).

Input file, one item a line:
  CASE <name> <kind>        kind: lines | area | none
  CLIP <cx> <cy> <r>
  IN <wkt>                  input linework (lines) or one loop as a LINESTRING ring (area)
  OUT <wkt>                 result linework (lines), or one line of a result loop (area)
  OUTLOOP                   starts the next result loop (area)
  END
Prints one line per case and exits 1 when any case fails."""
import sys
from shapely import wkt
from shapely.geometry import Point, Polygon, MultiLineString, GeometryCollection
from shapely.ops import unary_union, polygonize, linemerge

def xor_all(polys):
    area = GeometryCollection()
    for p in polys:
        area = area.symmetric_difference(p)
    return area

def loop_polygon(lines):
    merged = unary_union(lines)
    polys = list(polygonize(merged))
    if not polys:
        return Polygon()
    return unary_union(polys)

def check(case):
    name, kind, clip = case["name"], case["kind"], case["clip"]
    disk = Point(clip[0], clip[1]).buffer(clip[2], 1024)
    if kind == "none":
        ok = not case["out"] and not case["loops"]
        return ok, "nothing taken" if ok else "something was taken"
    if kind == "lines":
        expected = unary_union(case["in"]).intersection(disk)
        got = unary_union(case["out"]) if case["out"] else GeometryCollection()
        le, lg = expected.length, got.length
        d = expected.hausdorff_distance(got) if not expected.is_empty and not got.is_empty else (0 if expected.is_empty and got.is_empty else 1e9)
        ok = abs(le - lg) <= 2e-3 * max(1.0, le) and d <= 0.02
        return ok, "length %.4f expected %.4f, boundary distance %.4f" % (lg, le, d)
    rings = [Polygon(g.coords) for g in case["in"]]
    expected = xor_all(rings).intersection(disk)
    got = xor_all([loop_polygon(l) for l in case["loops"] if l])
    ae, ag = expected.area, got.area
    diff = expected.symmetric_difference(got).area
    d = expected.boundary.hausdorff_distance(got.boundary) if not got.is_empty else 1e9
    ok = abs(ae - ag) <= 2e-3 * max(1.0, ae) and diff <= 5e-3 * max(1.0, ae) and d <= 0.05
    return ok, "area %.4f expected %.4f, difference %.5f, boundary distance %.4f" % (ag, ae, diff, d)

def main(path):
    cases, case = [], None
    for raw in open(path, encoding="utf-8"):
        line = raw.strip()
        if not line:
            continue
        tag, _, rest = line.partition(" ")
        if tag == "CASE":
            name, kind = rest.split()
            case = {"name": name, "kind": kind, "in": [], "out": [], "loops": [], "clip": None}
        elif tag == "CLIP":
            case["clip"] = [float(v) for v in rest.split()]
        elif tag == "IN":
            case["in"].append(wkt.loads(rest))
        elif tag == "OUT":
            g = wkt.loads(rest)
            if case["kind"] == "area":
                if not case["loops"]:
                    case["loops"].append([])
                case["loops"][-1].append(g)
            else:
                case["out"].append(g)
        elif tag == "OUTLOOP":
            case["loops"].append([])
        elif tag == "END":
            cases.append(case)
    failed = 0
    for c in cases:
        ok, detail = check(c)
        print("%s %s: %s" % ("OK" if ok else "FAIL", c["name"], detail))
        failed += 0 if ok else 1
    return 1 if failed else 0

if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
