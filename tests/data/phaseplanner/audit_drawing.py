# Prints, as JSON, what ezdxf's audit finds in a DXF drawing, with the group blocks of the drawn
# program (references whose name holds "SYGNALIZATOR_") and their IDENTYFIKATOR attributes, and
# the attribute values of the "ATRYBUTY_RYSUNKU" reference when there is one.
import json
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
ids = []
old = {}
for ref in doc.modelspace().query("INSERT"):
    if "SYGNALIZATOR_" in ref.dxf.name:
        for a in ref.attribs:
            if a.dxf.tag == "IDENTYFIKATOR":
                ids.append(a.dxf.text)
    if ref.dxf.name == "ATRYBUTY_RYSUNKU":
        old = {a.dxf.tag: a.dxf.text for a in ref.attribs}
print(json.dumps({"errors": len(auditor.errors), "ids": sorted(ids), "old": old,
                  "lines": len(doc.modelspace().query("LINE"))}, ensure_ascii=False))
