// The BLOCKS section and the entity lists of blocks and of the ENTITIES section.
#include "platform/cad/dxf/DxfReading.h"

namespace cad::dxf::reading {

using namespace cad::db;

BlockDefinition* Reader::modelSpace() {
    if (BlockDefinition* b = db_->findBlock(QStringLiteral("*Model_Space"))) return b;
    return db_->adoptBlock(QStringLiteral("*Model_Space"), 0);
}

BlockDefinition* Reader::paperSpace() {
    if (BlockDefinition* b = db_->findBlock(QStringLiteral("*Paper_Space"))) return b;
    return db_->adoptBlock(QStringLiteral("*Paper_Space"), 0);
}

void Reader::readBlocks() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    Split s;
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        if (type != QLatin1String("BLOCK"))
            tk_.fail(line, QStringLiteral("oczekiwano BLOCK, jest %1").arg(type));
        split(rec_, s);
        QString n;
        Point3 base;
        int flags = 0;
        QString description, xref, layer = QStringLiteral("0");
        for (const RawTag* t : s.body) {
            switch (t->code) {
                case 2:
                    if (n.isNull()) n = text(*t).trimmed();
                    break;
                case 70:
                    flags = integer(*t);
                    break;
                case 10:
                    base.x = num(*t);
                    break;
                case 20:
                    base.y = num(*t);
                    break;
                case 30:
                    base.z = num(*t);
                    break;
                case 1:
                    xref = text(*t);
                    break;
                case 4:
                    description = text(*t);
                    break;
                case 8:
                    layer = name(*t);
                    break;
                default:
                    break;
            }
        }
        if (n.isEmpty()) {
            // A file cut off before the block's name: its end is the cause, not the block.
            if (tk_.atEnd()) tk_.fail(tk_.line(), QStringLiteral("plik kończy się w definicji bloku, przed jej nazwą"));
            tk_.fail(line, QStringLiteral("blok bez nazwy"));
        }
        if (n.compare(QLatin1String("$MODEL_SPACE"), Qt::CaseInsensitive) == 0)
            n = QStringLiteral("*Model_Space");
        if (n.compare(QLatin1String("$PAPER_SPACE"), Qt::CaseInsensitive) == 0)
            n = QStringLiteral("*Paper_Space");
        BlockDefinition* b = db_->findBlock(n);
        if (!b) b = db_->adoptBlock(n, 0);
        // A block record written without a handle: the block names it by its owner pointer, and
        // so do the layouts; those pointers lead to the record's new handle.
        if (unnumberedRecords_.count(b) && s.owner && s.owner != b->handle() && !claimed_.count(s.owner) &&
            !renumbered_.count(s.owner))
            renumbered_[s.owner].push_back(b->handle());
        b->basePoint = base;
        b->flags = flags;
        b->description = description;
        b->xrefPath = xref;
        b->blockLayer = layer;
        b->blockEntityHandle = claim(s.handle);
        for (const RawTag* t : s.xdata) b->blockXdata.push_back(toTag(*t));
        b->blockAppData = s.appData;
        readEntities(b, "ENDBLK");
        // The ENDBLK record was read last into rec_.
        split(rec_, s);
        b->endblkHandle = claim(s.handle);
    }
    tk_.fail(start, QStringLiteral("sekcja BLOCKS nie jest zamknięta przez ENDSEC"));
}

void Reader::readEntities(BlockDefinition* defaultBlock, const char* terminator) {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    const QLatin1String end(terminator);
    while (readRecord(rec_, type, line)) {
        if (type == end) return;
        if (type == QLatin1String("ENDSEC") || type == QLatin1String("ENDBLK"))
            tk_.fail(line, QStringLiteral("oczekiwano %1, jest %2").arg(end).arg(type));
        if (type == QLatin1String("VERTEX") || type == QLatin1String("SEQEND") ||
            type == QLatin1String("ATTRIB"))
            continue;  // a stray sub-record without its main entity
        BlockDefinition* block = defaultBlock;
        if (!block) {
            // In the ENTITIES section the owner (or the paper-space flag) says where the entity lives.
            block = modelSpace();
            for (const RawTag& t : rec_)
                if (t.code == 67 && toInt(tk_, t) == 1) block = paperSpace();
        }
        readEntity(type, rec_, line, block);
    }
    tk_.fail(start, QStringLiteral("lista obiektów nie jest zamknięta przez %1").arg(end));
}

}  // namespace cad::dxf::reading
