// The OBJECTS section: the root dictionary first, then every dictionary, draw-order table and
// object kept as read, and the drawing properties as the "DWGPROPS" record.
#include "platform/cad/dxf/DxfWriting.h"

#include <QDateTime>
#include <unordered_map>

namespace cad::dxf::writing {

using namespace cad::db;

void Writer::objects() {
    ascii(0, "SECTION");
    ascii(2, "OBJECTS");
    const Dictionary* root = db_.rootDictionary();
    if (root) dictionary(*root);
    for (const DbObject* o : db_.objects()) {
        if (o == root) continue;
        switch (o->objectType()) {
            case ObjectType::Dictionary:
                dictionary(*static_cast<const Dictionary*>(o));
                break;
            case ObjectType::SortentsTable:
                sortentsTable(*static_cast<const SortentsTable*>(o));
                break;
            case ObjectType::RawObject: {
                const auto& r = *static_cast<const RawObject*>(o);
                const QByteArray type = r.dxfName.toLatin1();
                head(type.constData(), r, r.ownerHandle);
                tags(r.tags);
                tags(r.xdata);
                break;
            }
            default:
                break;
        }
    }
    if (root) summary(root->handle());
    ascii(0, "ENDSEC");
}

// A dictionary without its entries for erased objects; the root one names the drawing properties.
void Writer::dictionary(const Dictionary& d) {
    const Dictionary* root = db_.rootDictionary();
    auto alive = [&](quint64 h) {
        const DbObject* o = db_.objectByHandle(h);
        return !o || !o->isErased();  // handles of objects the engine never saw are kept
    };
    head("DICTIONARY", d, d.ownerHandle);
    ascii(100, "AcDbDictionary");
    if (d.hardOwner) integer(280, d.hardOwner);
    if (d.hasCloning) integer(281, d.cloning);
    for (const auto& entry : d.entries) {
        if (!alive(entry.handle) || (&d == root && entry.name == QLatin1String("DWGPROPS"))) continue;
        str(3, entry.name);
        handle(entry.owned ? 350 : 360, entry.handle);
    }
    if (&d == root) {
        ascii(3, "DWGPROPS");
        handle(350, db_.summaryInfoHandle);
    }
    tags(d.extraTags);
    tags(d.xdata);
}

void Writer::sortentsTable(const SortentsTable& st) {
    head("SORTENTSTABLE", st, st.ownerHandle);
    ascii(100, "AcDbSortentsTable");
    handle(330, st.blockRecord);
    const auto* block = dynamic_cast<const BlockDefinition*>(db_.objectByHandle(st.blockRecord));
    if (block && !block->isErased()) {
        // Sort keys rise along the drawing order. A key is the file's own while it still
        // rises and names no record of the file (readers take a repeated value of code 5
        // for a duplicate handle); otherwise a new handle above every other one.
        std::unordered_map<quint64, quint64> keyOf;
        for (auto [entity, key] : st.entries) keyOf.emplace(entity, key);
        quint64 previous = 0;
        for (const Entity* e : db_.drawOrder(block)) {
            const auto it = keyOf.find(e->handle());
            quint64 key = it == keyOf.end() ? e->handle() : it->second;
            const bool named = key != e->handle() && (given_.count(key) || db_.objectByHandle(key));
            if (key <= previous || named) key = newHandle();
            if (key != e->handle()) {
                handle(331, e->handle());
                handle(5, key);
            }
            previous = key;
        }
    }
    tags(st.xdata);
}

void Writer::summary(quint64 owner) {
    const SummaryInfo& info = db_.summaryInfo();
    ascii(0, "XRECORD");
    handle(5, db_.summaryInfoHandle);
    ascii(102, "{ACAD_REACTORS");
    handle(330, owner);
    ascii(102, "}");
    handle(330, owner);
    ascii(100, "AcDbXrecord");
    integer(280, 1);
    ascii(1, "DWGPROPS COOKIE");
    str(2, info.title);
    str(3, info.subject);
    str(4, info.author);
    str(6, info.comments);
    str(7, info.keywords);
    str(8, info.lastSavedBy);
    str(9, info.revisionNumber);
    const auto& custom = info.custom();
    for (int i = 0; i < 10; ++i) {
        if (size_t(i) < custom.size())
            str(300 + i, custom[size_t(i)].first + QLatin1Char('=') + custom[size_t(i)].second);
        else
            ascii(300 + i, "=");
    }
    // Dates as Julian days.
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 86400000.0 + 2440587.5;
    real(40, 0);
    real(41, now);
    real(42, now);
    str(1, info.hyperlinkBase);
    // Properties beyond the ten slots follow as a count and "key=value" texts.
    const int extra = custom.size() > 10 ? int(custom.size()) - 10 : 0;
    integer(90, extra);
    for (size_t i = 10; i < custom.size(); ++i) str(1, custom[i].first + QLatin1Char('=') + custom[i].second);
}

}  // namespace cad::dxf::writing
