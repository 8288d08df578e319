// Handles as the file gives them: the highest one before reading, duplicates renumbered, and the
// pointers that named a renumbered record led to its new handle after reading.
#include "platform/cad/dxf/DxfReading.h"

#include <charconv>
#include <cstring>

namespace cad::dxf::reading {

using namespace cad::db;

void Reader::collectHandles(const QByteArray& data) {
    // Only code lines "5" and "105" matter; a light scan of the lines, not a full tokenizing.
    const char* p = data.constData();
    const char* end = p + data.size();
    quint64 highest = 0;
    bool codeLine = true;
    bool handleNext = false;
    bool afterSeed = false;  // $HANDSEED's value (code 5) is the next free handle, not one in use
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = nl ? nl : end;
        std::string_view line(p, size_t(stop - p));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = trimmed(line);
        if (codeLine) {
            handleNext = (line == "5" || line == "105") && !afterSeed;
            afterSeed = false;
        } else if (line == "$HANDSEED") {
            afterSeed = true;
        } else if (handleNext) {
            quint64 v = 0;
            auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), v, 16);
            if (ec == std::errc() && v > highest && v < (quint64(1) << 62)) highest = v;
        }
        codeLine = !codeLine;
        p = nl ? nl + 1 : end;
    }
    db_->raiseHandleSeed(highest + 1);
}

void Reader::adopted(quint64 h, const DbObject* o) {
    if (h && o->handle() != h) renumbered_[h].push_back(o->handle());
}

quint64 Reader::claim(quint64 h) {
    if (h == 0 || claimed_.count(h) || db_->objectByHandle(h)) {
        if (h) renumbered_[h];  // a duplicate: pointers keep the object that holds it
        h = db_->handleSeed();
        while (db_->objectByHandle(h) || claimed_.count(h)) ++h;
        db_->raiseHandleSeed(h + 1);
    }
    claimed_.insert(h);
    return h;
}

quint64 Reader::remap(quint64 h, bool toObject) const {
    if (h == 0) return h;
    auto it = renumbered_.find(h);
    if (it == renumbered_.end() || it->second.empty()) return h;
    const DbObject* holder = db_->objectByHandle(h);
    // The handle itself went to no object (a record merged into an earlier one of its name).
    if (!holder) return it->second.front();
    auto inObjects = [](const DbObject* o) {
        const ObjectType t = o->objectType();
        return t == ObjectType::Dictionary || t == ObjectType::SortentsTable || t == ObjectType::RawObject;
    };
    if (toObject && !inObjects(holder))
        for (quint64 n : it->second)
            if (const DbObject* o = db_->objectByHandle(n); o && inObjects(o)) return n;
    return h;
}

void Reader::remapTags(Tags& tags, bool inObject) const {
    for (Tag& t : tags) {
        const bool pointer = (t.code >= 320 && t.code <= 369) || (t.code >= 390 && t.code <= 399) ||
                             t.code == 480 || t.code == 481 || t.code == 1005;
        if (!pointer) continue;
        const quint64 h = handleFromText(t.value);
        const quint64 n = remap(h, inObject && (t.code == 350 || t.code == 360 || t.code == 330));
        if (n != h) t.value = handleToText(n);
    }
}

void Reader::remapPointers() {
    if (renumbered_.empty()) return;
    auto common = [&](DbObject* o, bool inObject) {
        o->ownerHandle = remap(o->ownerHandle, inObject);
        o->extensionDictionary = remap(o->extensionDictionary, true);
        for (quint64& r : o->reactors) r = remap(r, true);
        remapTags(o->appData, inObject);
        remapTags(o->xdata, false);
    };
    for (DbObject* o : db_->objects()) {
        common(o, true);
        if (auto* d = dynamic_cast<Dictionary*>(o)) {
            for (auto& e : d->entries) e.handle = remap(e.handle, true);
            remapTags(d->extraTags, true);
        } else if (auto* r = dynamic_cast<RawObject*>(o)) {
            remapTags(r->tags, true);
        } else if (auto* st = dynamic_cast<SortentsTable*>(o)) {
            st->blockRecord = remap(st->blockRecord, false);
            for (auto& [entity, key] : st->entries) entity = remap(entity, false);
        }
    }
    auto records = [&](auto& table) {
        for (auto* r : table.records()) {
            common(r, false);
            remapTags(r->extraTags, false);
        }
    };
    records(db_->layers());
    records(db_->linetypes());
    records(db_->textStyles());
    records(db_->dimStyles());
    records(db_->appIds());
    records(db_->viewports());
    records(db_->views());
    records(db_->ucss());
    records(db_->shapeStyles());
    for (Layer* l : db_->layers().records()) l->plotStyleHandle = remap(l->plotStyleHandle, true);
    for (Linetype* lt : db_->linetypes().records()) remapTags(lt->complexTags, false);
    for (auto* tables : {&db_->viewports(), &db_->views(), &db_->ucss(), &db_->shapeStyles()})
        for (RawTableRecord* r : tables->records()) remapTags(r->tags, false);
    for (auto& [name, tags] : db_->tableHeadTags) remapTags(tags, true);
    // The solid-model records of ACDSDATA name their entities (320).
    for (auto& [name, tags] : db_->extraSections) remapTags(tags, false);
    for (BlockDefinition* b : db_->blocks()) {
        common(b, false);
        b->layoutHandle = remap(b->layoutHandle, true);
        remapTags(b->recordExtraTags, false);
        remapTags(b->blockXdata, false);
    }
    for (Entity* e : db_->allEntities()) {
        e->extensionDictionary = remap(e->extensionDictionary, true);
        for (quint64& r : e->reactors) r = remap(r, true);
        remapTags(e->xdata, false);
        remapTags(e->extraTags, false);
        remapTags(e->commonTags, false);
        if (auto* raw = e->tryAs<RawData>()) remapTags(raw->tags, false);
        if (auto* h = e->tryAs<HatchData>())
            for (auto& loop : h->loops)
                for (quint64& s : loop.sourceHandles) s = remap(s, false);
    }
}

// A layout names its block record (330 after the "AcDbLayout" marker) and the record names its
// layout (340). Writers in the way of dxflib give the records no handle, so the layout's pointer names
// a handle no record holds; the record's own 340 tells which layout is its, and the layout is pointed
// at the handle the record was given here (a pointer to nothing would make the saved file unreadable).
void Reader::pairLayoutsWithRecords() {
    for (BlockDefinition* b : db_->blocks()) {
        auto* layout = dynamic_cast<RawObject*>(db_->objectByHandle(b->layoutHandle));
        if (!layout || layout->dxfName != QLatin1String("LAYOUT")) continue;
        bool inLayout = false;
        for (Tag& t : layout->tags) {
            if (t.code == 100) inLayout = t.value == QLatin1String("AcDbLayout");
            if (!inLayout || t.code != 330) continue;
            if (!dynamic_cast<BlockDefinition*>(db_->objectByHandle(handleFromText(t.value))))
                t.value = handleToText(b->handle());
            break;
        }
    }
}

}  // namespace cad::dxf::reading
