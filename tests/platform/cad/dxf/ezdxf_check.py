"""Reads a drawing written by the engine with ezdxf and reports, as JSON, what an independent
reader sees: audit errors, block references with their attributes, the blocks each block inserts,
the custom properties of the "DWGPROPS" record, the model-space draw order and the entity kinds
and handles."""
import json
import sys

import ezdxf


def custom_properties(doc):
    root = doc.rootdict
    if "DWGPROPS" not in root:
        return None
    xrecord = root["DWGPROPS"]
    props = []
    extra = False
    seen_cookie = False
    for code, value in xrecord.tags:
        if 300 <= code <= 309:
            key, _, val = str(value).partition("=")
            if key:
                props.append([key, val])
        elif code == 90:
            extra = True
        elif code == 1:
            if not seen_cookie:
                seen_cookie = True
            elif extra:
                key, _, val = str(value).partition("=")
                props.append([key, val])
    titles = {code: str(value) for code, value in xrecord.tags if code in (2, 3, 4, 6, 7)}
    return {"custom": props, "title": titles.get(2, ""), "subject": titles.get(3, ""),
            "author": titles.get(4, ""), "comments": titles.get(6, ""), "keywords": titles.get(7, "")}


def main(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    msp = doc.modelspace()
    inserts = []
    for ref in msp.query("INSERT"):
        inserts.append({"name": ref.dxf.name, "handle": ref.dxf.handle,
                        "attribs": [[a.dxf.tag, a.dxf.text, a.dxf.flags] for a in ref.attribs]})
    blocks = {}
    block_inserts = {}
    for block in doc.blocks:
        if block.name.lower() in ("*model_space", "*paper_space"):
            continue
        blocks[block.name] = [[a.dxf.tag, a.dxf.text, a.dxf.flags] for a in block.query("ATTDEF")]
        block_inserts[block.name] = [ref.dxf.name for ref in block.query("INSERT")]
    order = [e.dxf.handle for e in msp.entities_in_redraw_order()]
    report = {
        "errors": [f"{e.code} {e.message}" for e in auditor.errors],
        "version": doc.dxfversion,
        "encoding": doc.encoding,
        "inserts": inserts,
        "blocks": blocks,
        "block_inserts": block_inserts,
        "properties": custom_properties(doc),
        "order": order,
        "types": [e.dxftype() for e in msp],
        "handles": [e.dxf.handle for e in msp],
        "layers": {layer.dxf.name: layer.dxf.color for layer in doc.layers},
    }
    json.dump(report, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
