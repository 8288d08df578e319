"""Edits the cut sample intersection as other programs and users leave drawings, with ezdxf.

usage: edit_sample.py IN.dxf OUT.dxf EDIT
EDIT: explode   K1's pieces east of x -16 exploded: one line on layer "0", one on the stream layer
      nest      the same pieces moved into a base-map block "PODKLAD" inserted at the origin
      minsert   K1's last piece inserted as a MINSERT of 2 rows
      paper     K1's last piece moved to paper space
      lower     K1's last piece's block renamed to list "k1"
      mirrored  every stream arc written with extrusion (0, 0, -1), and K2's arc piece inserted with
                extrusion (0, 0, -1) around its block mirrored in X: drawn where it was
"""
import math
import sys

import ezdxf

STREAM_LAYER = "113-STRUMIENIE_RUCHU"


def pieces(msp, stream):
    return [e for e in msp.query("INSERT")
            if e.dxf.name.upper().startswith("1^STRUMIEN_") and stream in e.dxf.name.split("^")[2:]]


def curve(doc, ref):
    return [e for e in doc.blocks[ref.dxf.name] if e.dxftype() in ("LINE", "ARC")][0]


def k1_tail(doc, msp):
    """K1's pieces east of x -16, west to east."""
    tail = [r for r in pieces(msp, "K1") if min(curve(doc, r).dxf.start.x, curve(doc, r).dxf.end.x) >= -16.01]
    return sorted(tail, key=lambda r: min(curve(doc, r).dxf.start.x, curve(doc, r).dxf.end.x))


def mirrored_arc(arc):
    """The same world arc written in the OCS of extrusion (0, 0, -1): x mirrored, angles a -> 180 - a."""
    c = arc.dxf.center
    a1, a2 = arc.dxf.start_angle, arc.dxf.end_angle
    arc.dxf.center = (-c.x, c.y, -c.z)
    arc.dxf.start_angle = (180 - a2) % 360
    arc.dxf.end_angle = (180 - a1) % 360
    arc.dxf.extrusion = (0, 0, -1)


def main():
    src, out, edit = sys.argv[1:4]
    doc = ezdxf.readfile(src)
    msp = doc.modelspace()
    if edit == "explode":
        for i, ref in enumerate(k1_tail(doc, msp)):
            line = curve(doc, ref)
            msp.add_line(line.dxf.start, line.dxf.end, dxfattribs={"layer": "0" if i == 0 else STREAM_LAYER})
            msp.delete_entity(ref)
    elif edit == "nest":
        base = doc.blocks.new("PODKLAD")
        base.add_line((-60, -10), (60, -10))
        for ref in k1_tail(doc, msp):
            base.add_blockref(ref.dxf.name, (0, 0), dxfattribs={"layer": STREAM_LAYER})
            msp.delete_entity(ref)
        msp.add_blockref("PODKLAD", (0, 0))
    elif edit == "minsert":
        ref = k1_tail(doc, msp)[-1]
        m = msp.add_blockref(ref.dxf.name, (0, 0), dxfattribs={"layer": STREAM_LAYER})
        m.grid(size=(2, 1), spacing=(4, 1))
        msp.delete_entity(ref)
    elif edit == "paper":
        ref = k1_tail(doc, msp)[-1]
        doc.layout("Layout1").add_blockref(ref.dxf.name, (0, 0), dxfattribs={"layer": STREAM_LAYER})
        msp.delete_entity(ref)
    elif edit == "lower":
        ref = k1_tail(doc, msp)[-1]
        old = ref.dxf.name
        new = "^".join(old.split("^")[:2] + ["k1"])
        doc.blocks.rename_block(old, new)
        ref.dxf.name = new
    elif edit == "mirrored":
        for ref in msp.query("INSERT"):
            if not ref.dxf.name.upper().startswith("1^STRUMIEN_"):
                continue
            for e in doc.blocks[ref.dxf.name]:
                if e.dxftype() == "ARC":
                    mirrored_arc(e)
        for ref in pieces(msp, "K2"):
            block = doc.blocks[ref.dxf.name]
            arcs = [e for e in block if e.dxftype() == "ARC"]
            if not arcs:
                continue
            # The block's arc turned back to +Z and mirrored in X, the reference mirrors it again.
            arc = arcs[0]
            c = arc.dxf.center
            arc.dxf.extrusion = (0, 0, 1)
            arc.dxf.center = (c.x, c.y, c.z)
            ref.dxf.extrusion = (0, 0, -1)
            ref.dxf.insert = (0, 0, 0)
    else:
        sys.exit("unknown edit " + edit)
    doc.saveas(out)


if __name__ == "__main__":
    main()
