"""Reads a drawing of the stream model with ezdxf and reports, as JSON, what an independent reader
sees: audit errors, model-space block references (name, layer, insertion point, scale, linetype,
attributes) and the entities of every named block definition."""
import json
import sys

import ezdxf


def entity(e):
    t = e.dxftype()
    d = {"type": t, "color": e.dxf.get("color", 256), "linetype": e.dxf.get("linetype", "BYLAYER")}
    if t == "LINE":
        d.update(x1=e.dxf.start.x, y1=e.dxf.start.y, x2=e.dxf.end.x, y2=e.dxf.end.y)
    elif t == "ARC":
        d.update(cx=e.dxf.center.x, cy=e.dxf.center.y, r=e.dxf.radius, a1=e.dxf.start_angle, a2=e.dxf.end_angle)
    elif t == "CIRCLE":
        d.update(r=e.dxf.radius)
    elif t == "ATTDEF":
        d.update(tag=e.dxf.tag, text=e.dxf.text, flags=e.dxf.get("flags", 0), height=e.dxf.height)
    elif t == "TEXT":
        align = e.dxf.get("align_point", e.dxf.insert)
        d.update(text=e.dxf.text, height=e.dxf.height, halign=e.dxf.get("halign", 0),
                 valign=e.dxf.get("valign", 0), ax=align.x, ay=align.y, style=e.dxf.get("style", "Standard"))
    elif t == "HATCH":
        d.update(pattern=e.dxf.pattern_name, solid=e.dxf.solid_fill, loops=len(e.paths))
    elif t == "LWPOLYLINE":
        d.update(points=[[p[0], p[1]] for p in e.get_points("xy")])
    return d


def main(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    inserts = []
    for e in doc.modelspace().query("INSERT"):
        inserts.append({
            "name": e.dxf.name,
            "layer": e.dxf.layer,
            "x": e.dxf.insert.x,
            "y": e.dxf.insert.y,
            "scale": e.dxf.get("xscale", 1.0),
            "color": e.dxf.get("color", 256),
            "linetype": e.dxf.get("linetype", "BYLAYER"),
            "attribs": {a.dxf.tag: a.dxf.text for a in e.attribs},
        })
    blocks = {}
    for b in doc.blocks:
        if b.name.startswith("*"):
            continue
        blocks[b.name] = [entity(e) for e in b]
    print(json.dumps({"errors": [str(err.message) for err in auditor.errors], "inserts": inserts,
                      "blocks": blocks}))


if __name__ == "__main__":
    main(sys.argv[1])
