// The OBJECTS section, and what is settled once every section is read: drawing properties,
// layers that entities name, layouts and the names of dynamic-block references.
#include "platform/cad/dxf/DxfReading.h"

#include <QSet>

namespace cad::dxf::reading {

using namespace cad::db;

void Reader::readObjects() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    Split s;
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        split(rec_, s);
        if (type == QLatin1String("DICTIONARY")) {
            Dictionary* d = db_->addDictionary(want(s.handle));
            adopted(s.handle, d);
            applyObject(d, s);
            d->hasCloning = false;
            for (size_t i = 0; i < s.body.size(); ++i) {
                const RawTag* t = s.body[i];
                switch (t->code) {
                    case 100:
                        break;
                    case 280:
                        d->hardOwner = integer(*t);
                        break;
                    case 281:
                        d->cloning = integer(*t);
                        d->hasCloning = true;
                        break;
                    case 3: {
                        Dictionary::Entry entry;
                        entry.name = text(*t);
                        if (i + 1 < s.body.size() &&
                            (s.body[i + 1]->code == 350 || s.body[i + 1]->code == 360)) {
                            entry.owned = s.body[i + 1]->code == 350;
                            entry.handle = toHandle(*s.body[i + 1]);
                            ++i;
                        }
                        d->entries.push_back(entry);
                        break;
                    }
                    default:
                        d->extraTags.push_back(toTag(*t));
                }
            }
            if (!root_) root_ = d;
        } else if (type == QLatin1String("SORTENTSTABLE")) {
            SortentsTable* st = db_->addSortentsTable(want(s.handle));
            adopted(s.handle, st);
            applyObject(st, s);
            for (size_t i = 0; i < s.body.size(); ++i) {
                const RawTag* t = s.body[i];
                if (t->code == 330 && st->blockRecord == 0)
                    st->blockRecord = toHandle(*t);
                else if (t->code == 331) {
                    const quint64 entity = toHandle(*t);
                    quint64 key = entity;
                    if (i + 1 < s.body.size() && s.body[i + 1]->code == 5) key = toHandle(*s.body[++i]);
                    st->entries.emplace_back(entity, key);
                }
            }
        } else {
            RawObject* o = db_->addRawObject(type, want(s.handle));
            adopted(s.handle, o);
            applyObject(o, s);
            o->tags.reserve(s.body.size());
            for (const RawTag* t : s.body) o->tags.push_back(toTag(*t));
        }
    }
    tk_.fail(start, QStringLiteral("sekcja OBJECTS nie jest zamknięta przez ENDSEC"));
}

void Reader::finish() {
    db_->setLayouts(modelSpace(), paperSpace());
    remapPointers();
    pairLayoutsWithRecords();
    db_->setRootDictionary(root_);
    if (root_) readDrawingProperties();
    for (const auto& [key, value] : headerCustom_)
        if (!db_->summaryInfo().hasCustom(key)) db_->summaryInfo().addCustom(key, value);
    addMissingLayers();
    db_->raiseHandleSeed(handseed_);
    db_->ensureDefaults();
    nameDynamicReferences();
}

// The drawing properties live in the "DWGPROPS" record of the root dictionary.
void Reader::readDrawingProperties() {
    if (auto* props = dynamic_cast<RawObject*>(db_->dictionaryObject(root_, QStringLiteral("DWGPROPS")))) {
        SummaryInfo& info = db_->summaryInfo();
        bool cookie = false, inExtra = false;
        auto addPair = [&](const QString& pair) {
            const qsizetype eq = pair.indexOf('=');
            const QString key = eq < 0 ? pair : pair.left(eq);
            if (key.isEmpty() || info.hasCustom(key)) return;
            info.addCustom(key, eq < 0 ? QString() : pair.mid(eq + 1));
        };
        for (const Tag& t : props->tags) {
            if (inExtra && t.code == 1) {
                addPair(t.value);
                continue;
            }
            switch (t.code) {
                case 1:
                    if (!cookie)
                        cookie = true;
                    else
                        info.hyperlinkBase = t.value;
                    break;
                case 2:
                    info.title = t.value;
                    break;
                case 3:
                    info.subject = t.value;
                    break;
                case 4:
                    info.author = t.value;
                    break;
                case 6:
                    info.comments = t.value;
                    break;
                case 7:
                    info.keywords = t.value;
                    break;
                case 8:
                    info.lastSavedBy = t.value;
                    break;
                case 9:
                    info.revisionNumber = t.value;
                    break;
                case 90:
                    inExtra = true;
                    break;
                default:
                    if (t.code >= 300 && t.code <= 309) addPair(t.value);
            }
        }
        db_->summaryInfoHandle = props->handle();
        db_->eraseObject(props);
        std::erase_if(root_->entries,
                      [](const Dictionary::Entry& e) { return e.name == QLatin1String("DWGPROPS"); });
    }
}

// Layers that entities name but the table lacks are added, as the CAD does on opening.
void Reader::addMissingLayers() {
    QSet<QString> known;
    for (Entity* e : db_->allEntities()) {
        if (known.contains(e->layer())) continue;
        if (!db_->layers().find(e->layer())) {
            try {
                db_->addLayer(e->layer());
            } catch (const InvalidArgument&) {
                db_->setLayerRaw(e, QStringLiteral("0"));  // a name no layer may have
                continue;
            }
        }
        known.insert(e->layer());
    }
}

// A reference to an anonymous representation of a dynamic block names the original.
void Reader::nameDynamicReferences() {
    for (Entity* e : db_->modelSpace()->entities()) {
        auto* ins = e->tryAs<InsertData>();
        if (!ins || !ins->blockName.startsWith('*') || !ins->effectiveName.isEmpty()) continue;
        BlockDefinition* b = db_->findBlock(ins->blockName);
        if (!b) continue;
        for (size_t i = 0; i + 1 < b->xdata.size(); ++i) {
            if (b->xdata[i].code != 1001 || b->xdata[i].value != QLatin1String("AcDbBlockRepBTag")) continue;
            for (size_t k = i + 1; k < b->xdata.size() && b->xdata[k].code != 1001; ++k)
                if (b->xdata[k].code == 1005)
                    if (auto* orig = dynamic_cast<BlockDefinition*>(
                            db_->objectByHandle(handleFromText(b->xdata[k].value))))
                        ins->effectiveName = orig->name();
        }
    }
}

}  // namespace cad::dxf::reading
