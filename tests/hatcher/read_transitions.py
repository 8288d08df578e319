#!/usr/bin/python3
"""Lists the phase-transition references of a drawing as ezdxf reads them: one line per reference,
"<effective name>|<block name>|<SKRZYZOWANIE>|<OPIS>|<Distance>|<Distance2>|<Angle>|<arrow length>".
The effective name and the property values come from the reference's TESMAR_DYNAMIC XDATA; the
arrow length is measured on the anonymous block's geometry, scaled by the reference."""
import sys
import ezdxf

doc = ezdxf.readfile(sys.argv[1])
for ins in doc.modelspace().query("INSERT"):
    if not ins.has_xdata("TESMAR_DYNAMIC"):
        continue
    tags = [t.value for t in ins.get_xdata("TESMAR_DYNAMIC")]
    effective = tags[0] or ins.dxf.name
    props = dict(zip(tags[1::2], tags[2::2]))
    attrs = {a.dxf.tag: a.dxf.text for a in ins.attribs}
    pts = []
    for e in doc.blocks.get(ins.dxf.name):
        if e.dxftype() == "LWPOLYLINE":
            pts += [(p[0], p[1]) for p in e.get_points()]
    length = max(((a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2) ** 0.5 for a in pts for b in pts) * ins.dxf.xscale
    print("%s|%s|%s|%s|%.4f|%.4f|%.6f|%.4f" % (effective, ins.dxf.name, attrs.get("SKRZYZOWANIE", ""),
          attrs.get("OPIS", ""), props.get("Distance", -1), props.get("Distance2", -1), props.get("Angle", -1), length))
