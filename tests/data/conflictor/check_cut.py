"""Checks a cut independently of the suite: reads the drawing before the cut and the drawing after
it with ezdxf, computes every crossing of two streams of the intersection with shapely from the
geometry before the cut (arcs as fine polylines), and compares them with the conflict-point markers
after it. Prints a JSON report: audit errors, the markers and crossings that have no counterpart,
and markers of the wrong kind."""
import json
import math
import sys

import ezdxf
from shapely.geometry import LineString, MultiLineString
from shapely.ops import unary_union

TOLERANCE = 0.005


def arc_points(center, radius, start_deg, end_deg):
    sweep = (end_deg - start_deg) % 360.0 or 360.0
    steps = max(8, int(sweep * 20))
    return [(center.x + radius * math.cos(math.radians(start_deg + sweep * k / steps)),
             center.y + radius * math.sin(math.radians(start_deg + sweep * k / steps))) for k in range(steps + 1)]


def streams(doc, number):
    prefix = number + "^STRUMIEN_"
    pieces, starts = {}, {}
    for ref in doc.modelspace().query("INSERT"):
        name = ref.dxf.name
        if name.startswith(number + "^POCZATEK_STRUMIEN_"):
            stream = name[len(number + "^POCZATEK_STRUMIEN_"):].rsplit("_", 1)[0]
            starts[stream] = (ref.dxf.insert.x, ref.dxf.insert.y)
            continue
        if not name.startswith(prefix) or ref.dxf.layer != "113-STRUMIENIE_RUCHU":
            continue
        for e in doc.blocks[name]:
            if e.dxftype() == "LINE":
                geometry = LineString([(e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y)])
            elif e.dxftype() == "ARC":
                geometry = LineString(arc_points(e.dxf.center, e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle))
            else:
                continue
            for stream in name[len(prefix):].split("^")[1:]:
                if stream:
                    pieces.setdefault(stream, []).append(geometry)
    return {s: unary_union(MultiLineString(g)) for s, g in pieces.items()}, starts


def points_of(geometry):
    if geometry.is_empty:
        return []
    if geometry.geom_type == "Point":
        return [(geometry.x, geometry.y)]
    if hasattr(geometry, "geoms"):
        return [p for g in geometry.geoms for p in points_of(g)]
    return []  # overlapping pieces are no crossing


def vehicle(stream):
    return stream[0].upper() not in ("P", "R")


def main(before, after, number):
    geometry, starts = streams(ezdxf.readfile(before), number)
    names = sorted(geometry, key=lambda s: (not vehicle(s), s))
    expected = []
    for i, a in enumerate(names):
        for b in names[i + 1:]:
            if not vehicle(a) and not vehicle(b):
                continue
            sa, sb = starts.get(a), starts.get(b)
            if sa and sb and abs(sa[0] - sb[0]) < 0.01 and abs(sa[1] - sb[1]) < 0.01:
                continue
            for p in points_of(geometry[a].intersection(geometry[b])):
                expected.append({"pair": sorted([a, b]), "x": p[0], "y": p[1],
                                 "vehicles": vehicle(a) and vehicle(b)})

    doc = ezdxf.readfile(after)
    auditor = doc.audit()
    markers = []
    for ref in doc.modelspace().query("INSERT"):
        name = ref.dxf.name
        if not name.startswith(number + "^") or "POJ" not in name or ref.dxf.layer != "114-PUNKTY_KOLIZJI":
            continue
        kind = name[len(number) + 1:].rsplit("_", 1)[0]
        values = {a.dxf.tag: a.dxf.text for a in ref.attribs}
        pair = sorted(v[1:] for t, v in values.items() if t.startswith(kind))
        markers.append({"kind": kind, "pair": pair, "x": ref.dxf.insert.x, "y": ref.dxf.insert.y})

    unmatched = list(range(len(expected)))
    extra, wrong_kind = [], []
    for m in markers:
        hit = next((k for k in unmatched if expected[k]["pair"] == m["pair"]
                    and abs(expected[k]["x"] - m["x"]) < TOLERANCE and abs(expected[k]["y"] - m["y"]) < TOLERANCE), None)
        if hit is None:
            extra.append(m)
            continue
        unmatched.remove(hit)
        want = ("POJPOJ_STRUMIEN",) if expected[hit]["vehicles"] else ("POJPIESZ_STRUMIEN", "PIESZPOJ_STRUMIEN")
        if m["kind"] not in want:
            wrong_kind.append(m)
    print(json.dumps({
        "audit_errors": [str(e.message) for e in auditor.errors],
        "streams": len(names),
        "markers": len(markers),
        "crossings": len(expected),
        "missing": [expected[k] for k in unmatched],
        "extra": extra,
        "wrong_kind": wrong_kind,
    }))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3])
