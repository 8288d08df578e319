"""A drawing with a MINSERT, written by ezdxf, and what ezdxf reads back from a drawing.

  grid_reference.py write PATH [DXF version] [--attribute]   block "KRATKA" (a 4 x 2 frame with a
      diagonal mark, base point (1, 0.5)) as a MINSERT at (10, 20), rotated 30 degrees, X scale 1.5,
      2 rows 5 apart and 3 columns 8 apart, then once as a plain INSERT at (-20, 0); with
      --attribute the block defines attribute "NR" at (2.6, 0.6), 0.8 high, and the MINSERT
      carries it with the text "7"; with --no-spacing the MINSERT is written without its spacings
      (groups 44 and 45), so every cell lies on the first; with --down the MINSERT stands on
      extrusion (0, 0, -1) at world (7.5e9, 5.5e9), and a third reference, of block "ZESTAW"
      holding such a MINSERT at (3, 4), is placed at (7.5e9 + 40, 5.5e9 - 30), turned half round
      and mirrored in Y
  grid_reference.py read PATH    JSON: every model-space INSERT with its name, grid and extents
      (ezdxf.bbox.extents of the reference alone), in file order; for a reference whose block
      holds references, "cells" too: the extents of its lines cell by cell, each cell's own lines
      placed by ezdxf's matrices (ezdxf's bbox moves a nested MINSERT by its point, rotation and
      scales, but a mirrored one's rows then run on the side they ran before)
"""
import json
import sys

import ezdxf
from ezdxf import bbox
from ezdxf.math import Matrix44


X0, Y0 = 7.5e9, 5.5e9


def write(path, version, attribute, spacing, down):
    doc = ezdxf.new(version)
    block = doc.blocks.new("KRATKA", base_point=(1, 0.5))
    corners = [(0, 0), (4, 0), (4, 2), (0, 2)]
    for i in range(4):
        block.add_line(corners[i], corners[(i + 1) % 4])
    block.add_line((0, 0), (1, 1.5))
    if attribute:
        block.add_attdef("NR", (2.6, 0.6), dxfattribs={"height": 0.8})
    msp = doc.modelspace()
    placement = {"rotation": 30, "xscale": 1.5, "row_count": 2, "column_count": 3}
    if spacing:
        placement.update({"row_spacing": 5, "column_spacing": 8})
    if down:  # seen from below: the OCS X axis points to world -X
        placement["extrusion"] = (0, 0, -1)
    grid = msp.add_blockref("KRATKA", (-X0, Y0) if down else (10, 20), dxfattribs=placement)
    if attribute:
        grid.add_auto_attribs({"NR": "7"})
    msp.add_blockref("KRATKA", (-20, 0))
    if down:
        doc.blocks.new("ZESTAW").add_blockref("KRATKA", (-3, 4), dxfattribs=placement)
        msp.add_blockref("ZESTAW", (X0 + 40, Y0 - 30), dxfattribs={"rotation": 180, "yscale": -1})
    doc.saveas(path)


def cell_points(doc, ref, m):
    """The ends of the lines a reference shows, through `m` (what places the reference)."""
    points = []
    for cell in ref.multi_insert():
        placed = cell.matrix44() @ m
        for e in doc.blocks.get(cell.dxf.name):
            if e.dxftype() == "INSERT":
                points += cell_points(doc, e, placed)
            elif e.dxftype() == "LINE":
                points += [placed.transform(e.dxf.start), placed.transform(e.dxf.end)]
    return points


def read(path):
    doc = ezdxf.readfile(path)
    out = []
    for ref in doc.modelspace().query("INSERT"):
        box = bbox.extents([ref])
        found = {"name": ref.dxf.name, "rows": ref.dxf.row_count, "columns": ref.dxf.column_count,
                 "row_spacing": ref.dxf.row_spacing, "column_spacing": ref.dxf.column_spacing,
                 "box": [box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y]}
        if doc.blocks.get(ref.dxf.name).query("INSERT"):
            p = cell_points(doc, ref, Matrix44())
            found["cells"] = [min(q.x for q in p), min(q.y for q in p), max(q.x for q in p), max(q.y for q in p)]
        out.append(found)
    print(json.dumps(out))


if __name__ == "__main__":
    if sys.argv[1] == "write":
        options = [a for a in sys.argv[3:] if a.startswith("--")]
        versions = [a for a in sys.argv[3:] if not a.startswith("--")]
        write(sys.argv[2], versions[0] if versions else "R2010", "--attribute" in options,
              "--no-spacing" not in options, "--down" in options)
    else:
        read(sys.argv[2])
