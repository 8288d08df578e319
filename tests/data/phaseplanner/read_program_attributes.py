# Prints, as JSON, every program attribute block reference of a DXF drawing with its layer,
# insertion point and attributes (tag: text), as ezdxf reads them.
import json
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
out = {}
for ref in doc.modelspace().query("INSERT"):
    if not ref.dxf.name.startswith("ATRYBUTY_PROGRAMU_"):
        continue
    out[ref.dxf.name] = {
        "layer": ref.dxf.layer,
        "x": ref.dxf.insert.x,
        "y": ref.dxf.insert.y,
        "attribs": {a.dxf.tag: a.dxf.text for a in ref.attribs},
    }
print(json.dumps(out, ensure_ascii=False))
