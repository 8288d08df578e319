// The TABLES and BLOCKS sections: every symbol table with its records, the block records, and each
// block with its entities.
#include "platform/cad/dxf/DxfWriting.h"

namespace cad::dxf::writing {

using namespace cad::db;

void Writer::tableHead(const char* name, quint64 tableHandle, int count) {
    ascii(0, "TABLE");
    ascii(2, name);
    handle(5, tableHandle);
    if (auto it = db_.tableHeadTags.find(QLatin1String(name)); it != db_.tableHeadTags.end())
        tags(it->second);
    handle(330, 0);
    ascii(100, "AcDbSymbolTable");
    integer(70, count);
}

void Writer::recordHead(const char* type, const TableRecord& r, quint64 owner, const char* subclass,
                        int handleCode) {
    head(type, r, owner, handleCode);
    ascii(100, "AcDbSymbolTableRecord");
    ascii(100, subclass);
    str(2, r.name());
}

// A table whose records are kept as read.
void Writer::rawTable(const char* name, const Table<RawTableRecord>& table) {
    const auto recs = table.records();
    tableHead(name, table.tableHandle, int(recs.size()));
    for (const RawTableRecord* r : recs) {
        head(name, *r, table.tableHandle);
        tags(r->tags);
        tags(r->xdata);
    }
    ascii(0, "ENDTAB");
}

void Writer::tables() {
    ascii(0, "SECTION");
    ascii(2, "TABLES");
    rawTable("VPORT", db_.viewports());
    linetypeTable();
    layerTable();
    styleTable();
    rawTable("VIEW", db_.views());
    rawTable("UCS", db_.ucss());
    appIdTable();
    dimStyleTable();
    blockRecordTable();
    ascii(0, "ENDSEC");
}

void Writer::linetypeTable() {
    const auto recs = db_.linetypes().records();
    tableHead("LTYPE", db_.linetypes().tableHandle, int(recs.size()));
    for (const Linetype* lt : recs) {
        recordHead("LTYPE", *lt, db_.linetypes().tableHandle, "AcDbLinetypeTableRecord");
        integer(70, lt->flags);
        str(3, lt->description);
        integer(72, 65);
        if (!lt->complexTags.empty()) {
            int n = 0;
            for (const Tag& t : lt->complexTags)
                if (t.code == 49) ++n;
            integer(73, n);
            real(40, lt->patternLength);
            tags(lt->complexTags);
        } else {
            integer(73, int(lt->elements.size()));
            real(40, lt->patternLength);
            for (double el : lt->elements) {
                real(49, el);
                integer(74, 0);
            }
        }
        tags(lt->extraTags);
        tags(lt->xdata);
    }
    ascii(0, "ENDTAB");
}

void Writer::layerTable() {
    const auto recs = db_.layers().records();
    tableHead("LAYER", db_.layers().tableHandle, int(recs.size()));
    for (const Layer* l : recs) {
        recordHead("LAYER", *l, db_.layers().tableHandle, "AcDbLayerTableRecord");
        integer(70, (l->flags & ~5) | (l->frozen ? 1 : 0) | (l->locked ? 4 : 0));
        integer(62, l->on ? l->color : -l->color);
        if (l->trueColor >= 0) integer(420, l->trueColor);
        str(6, l->linetype);
        if (!l->plot) integer(290, 0);
        integer(370, l->lineweight);
        if (l->plotStyleHandle) handle(390, l->plotStyleHandle);
        tags(l->extraTags);
        tags(l->xdata);
    }
    ascii(0, "ENDTAB");
}

// Text styles, after the shape files that complex linetypes point at.
void Writer::styleTable() {
    const auto recs = db_.textStyles().records();
    const auto shapes = db_.shapeStyles().records();
    tableHead("STYLE", db_.textStyles().tableHandle, int(recs.size() + shapes.size()));
    for (const RawTableRecord* r : shapes) {
        head("STYLE", *r, db_.textStyles().tableHandle);
        tags(r->tags);
        tags(r->xdata);
    }
    for (const TextStyle* s : recs) {
        recordHead("STYLE", *s, db_.textStyles().tableHandle, "AcDbTextStyleTableRecord");
        integer(70, s->flags);
        real(40, s->height);
        real(41, s->widthFactor);
        real(50, s->oblique * radToDeg);
        integer(71, s->generation);
        real(42, s->lastHeight);
        str(3, s->font);
        str(4, s->bigFont);
        tags(s->extraTags);
        bool hasAcad = false;
        for (const Tag& t : s->xdata)
            if (t.code == 1001 && t.value == QLatin1String("ACAD")) hasAcad = true;
        tags(s->xdata);
        if (!hasAcad && !s->typeface.isEmpty()) {
            ascii(1001, "ACAD");
            str(1000, s->typeface);
            integer(1071, (s->bold ? 0x2000000 : 0) | (s->italic ? 0x1000000 : 0) | 34);
        }
    }
    ascii(0, "ENDTAB");
}

// Registered applications, with the one that dynamic-block data is written under when a
// reference carries such data and the drawing does not register it yet.
void Writer::appIdTable() {
    const auto recs = db_.appIds().records();
    bool dynamic = false;
    if (!db_.appIds().find(QLatin1String(dynamicApp)))
        for (const BlockDefinition* b : db_.blocks())
            for (const Entity* e : b->entities())
                if (hasDynamicData(*e)) dynamic = true;
    tableHead("APPID", db_.appIds().tableHandle, int(recs.size()) + (dynamic ? 1 : 0));
    for (const AppId* a : recs) {
        recordHead("APPID", *a, db_.appIds().tableHandle, "AcDbRegAppTableRecord");
        integer(70, a->flags);
        tags(a->xdata);
    }
    if (dynamic) {
        ascii(0, "APPID");
        handle(5, newHandle());
        handle(330, db_.appIds().tableHandle);
        ascii(100, "AcDbSymbolTableRecord");
        ascii(100, "AcDbRegAppTableRecord");
        ascii(2, dynamicApp);
        integer(70, 0);
    }
    ascii(0, "ENDTAB");
}

void Writer::dimStyleTable() {
    const auto recs = db_.dimStyles().records();
    tableHead("DIMSTYLE", db_.dimStyles().tableHandle, int(recs.size()));
    ascii(100, "AcDbDimStyleTable");
    integer(71, 0);
    for (const DimStyle* s : recs) {
        recordHead("DIMSTYLE", *s, db_.dimStyles().tableHandle, "AcDbDimStyleTableRecord", 105);
        integer(70, s->flags);
        for (const auto& [c, v] : s->values) str(c, v);
        tags(s->xdata);
    }
    ascii(0, "ENDTAB");
}

void Writer::blockRecordTable() {
    const auto blocks = db_.blocks();
    tableHead("BLOCK_RECORD", db_.blockRecordTableHandle, int(blocks.size()));
    for (const BlockDefinition* b : blocks) {
        head("BLOCK_RECORD", *b, db_.blockRecordTableHandle);
        ascii(100, "AcDbSymbolTableRecord");
        ascii(100, "AcDbBlockTableRecord");
        str(2, b->name());
        if (b->layoutHandle) handle(340, b->layoutHandle);
        tags(b->recordExtraTags);
        tags(b->xdata);
    }
    ascii(0, "ENDTAB");
}

void Writer::blocks() {
    ascii(0, "SECTION");
    ascii(2, "BLOCKS");
    for (const BlockDefinition* b : db_.blocks()) {
        const bool paper = b == db_.paperSpace();
        ascii(0, "BLOCK");
        handle(5, b->blockEntityHandle);
        if (!b->blockAppData.empty()) tags(b->blockAppData);
        handle(330, b->handle());
        ascii(100, "AcDbEntity");
        if (paper) integer(67, 1);
        str(8, b->blockLayer);
        ascii(100, "AcDbBlockBegin");
        str(2, b->name());
        integer(70, b->flags);
        point(10, b->basePoint);
        str(3, b->name());
        str(1, b->xrefPath);
        if (!b->description.isEmpty()) str(4, b->description);
        tags(b->blockXdata);
        if (!b->isLayout() || (b != db_.modelSpace() && !paper))
            for (const Entity* e : b->entities()) entity(*e, false);
        ascii(0, "ENDBLK");
        handle(5, b->endblkHandle);
        handle(330, b->handle());
        ascii(100, "AcDbEntity");
        if (paper) integer(67, 1);
        str(8, b->blockLayer);
        ascii(100, "AcDbBlockEnd");
    }
    ascii(0, "ENDSEC");
}

}  // namespace cad::dxf::writing
