// The HEADER, CLASSES and TABLES sections: header variables, classes and the symbol tables' records.
#include "platform/cad/dxf/DxfReading.h"

namespace cad::dxf::reading {

using namespace cad::db;

void Reader::readHeader() {
    RawTag t;
    const qint64 start = tk_.line();
    // Values are kept as read until the code page ($DWGCODEPAGE, $ACADVER) is known.
    std::vector<std::pair<QString, std::vector<RawTag>>> vars;
    while (tk_.next(t)) {
        if (t.code == 0) {
            if (trimmed(t.value) != "ENDSEC")
                tk_.fail(t.line, QStringLiteral("w nagłówku oczekiwano ENDSEC"));
            QString version, codePage;
            for (const auto& [name, tags] : vars) {
                if (tags.empty()) continue;
                const std::string_view v = trimmed(tags.front().value);
                const QString value = QString::fromLatin1(v.data(), qsizetype(v.size()));
                if (name == QLatin1String("$ACADVER")) version = value;
                if (name == QLatin1String("$DWGCODEPAGE")) codePage = value;
                if (name == QLatin1String("$HANDSEED")) handseed_ = toHandle(tags.front());
            }
            cp_ = CodePage(codePage, version >= QLatin1String("AC1021"));
            QString pendingKey;
            for (const auto& [name, tags] : vars) {
                Tags decoded;
                decoded.reserve(tags.size());
                for (const RawTag& raw : tags) decoded.push_back(toTag(raw));
                // Files of R2004 and later repeat these two for every custom property.
                if (name == QLatin1String("$CUSTOMPROPERTYTAG")) {
                    pendingKey = decoded.empty() ? QString() : decoded.front().value;
                    continue;
                }
                if (name == QLatin1String("$CUSTOMPROPERTY")) {
                    if (!pendingKey.isEmpty())
                        headerCustom_.emplace_back(pendingKey,
                                                   decoded.empty() ? QString() : decoded.front().value);
                    pendingKey.clear();
                    continue;
                }
                db_->setHeaderVariable(name, decoded);
            }
            if (!version.isEmpty()) db_->fileVersion = version;
            return;
        }
        if (t.code == 9) {
            vars.emplace_back(
                QString::fromLatin1(trimmed(t.value).data(), qsizetype(trimmed(t.value).size())),
                std::vector<RawTag>{});
            continue;
        }
        if (vars.empty())
            tk_.fail(t.line, QStringLiteral("oczekiwano nazwy zmiennej nagłówka (kod grupy 9)"));
        vars.back().second.push_back(t);
    }
    tk_.fail(start, QStringLiteral("sekcja HEADER nie jest zamknięta przez ENDSEC"));
}

void Reader::readClasses() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        if (type != QLatin1String("CLASS"))
            tk_.fail(line, QStringLiteral("oczekiwano CLASS, jest %1").arg(type));
        DxfClass c;
        for (const RawTag& t : rec_) {
            switch (t.code) {
                case 1:
                    c.dxfName = text(t).trimmed();
                    break;
                case 2:
                    c.cppName = text(t).trimmed();
                    break;
                case 3:
                    c.appName = text(t);
                    break;
                case 90:
                    c.flags = integer(t);
                    break;
                case 91:
                    c.instanceCount = integer(t);
                    break;
                case 280:
                    c.wasProxy = integer(t);
                    break;
                case 281:
                    c.isEntity = integer(t);
                    break;
                default:
                    break;
            }
        }
        db_->classes.push_back(c);
    }
    tk_.fail(start, QStringLiteral("sekcja CLASSES nie jest zamknięta przez ENDSEC"));
}

void Reader::readTables() {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDSEC")) return;
        if (type != QLatin1String("TABLE"))
            tk_.fail(line, QStringLiteral("oczekiwano TABLE, jest %1").arg(type));
        QString tableName;
        quint64 handle = 0;
        Tags groups;  // application groups of the head: its extension dictionary above all
        for (size_t i = 0; i < rec_.size(); ++i) {
            const RawTag& t = rec_[i];
            if (t.code == 2 && tableName.isEmpty()) tableName = text(t).trimmed().toUpper();
            if ((t.code == 5 || t.code == 105) && handle == 0) handle = toHandle(t);
            if (t.code == 102 && trimmed(t.value).starts_with("{"))
                for (; i < rec_.size(); ++i) {
                    groups.push_back(toTag(rec_[i]));
                    if (rec_[i].code == 102 && trimmed(rec_[i].value) == "}") break;
                }
        }
        if (!groups.empty()) db_->tableHeadTags[tableName] = std::move(groups);
        readTable(tableName, handle);
    }
    tk_.fail(start, QStringLiteral("sekcja TABLES nie jest zamknięta przez ENDSEC"));
}

// The table's own handle, claimed for the engine's table of the same name.
void Reader::claimTableHandle(const QString& tableName, quint64 tableHandle) {
    auto setHandle = [&](quint64& h) { h = claim(tableHandle); };
    if (tableName == QLatin1String("LAYER"))
        setHandle(db_->layers().tableHandle);
    else if (tableName == QLatin1String("LTYPE"))
        setHandle(db_->linetypes().tableHandle);
    else if (tableName == QLatin1String("STYLE"))
        setHandle(db_->textStyles().tableHandle);
    else if (tableName == QLatin1String("DIMSTYLE"))
        setHandle(db_->dimStyles().tableHandle);
    else if (tableName == QLatin1String("APPID"))
        setHandle(db_->appIds().tableHandle);
    else if (tableName == QLatin1String("VPORT"))
        setHandle(db_->viewports().tableHandle);
    else if (tableName == QLatin1String("VIEW"))
        setHandle(db_->views().tableHandle);
    else if (tableName == QLatin1String("UCS"))
        setHandle(db_->ucss().tableHandle);
    else if (tableName == QLatin1String("BLOCK_RECORD"))
        setHandle(db_->blockRecordTableHandle);
}

void Reader::readTable(const QString& tableName, quint64 tableHandle) {
    QString type;
    qint64 line = 0;
    const qint64 start = tk_.line();
    Split s;
    claimTableHandle(tableName, tableHandle);

    while (readRecord(rec_, type, line)) {
        if (type == QLatin1String("ENDTAB")) return;
        const bool dim = type == QLatin1String("DIMSTYLE");
        split(rec_, s, dim);
        QString recName;
        int flags = 0;
        for (const RawTag* t : s.body) {
            if (t->code == 2 && recName.isNull()) recName = text(*t).trimmed();
            if (t->code == 70) flags = integer(*t);
        }
        if (recName.isEmpty() && type == QLatin1String("STYLE")) {
            readShapeStyle(s, type);
            continue;
        }
        if (recName.isEmpty()) continue;  // a nameless record cannot be addressed: dropped
        if (type == QLatin1String("LAYER")) {
            readLayer(s, recName, flags);
        } else if (type == QLatin1String("LTYPE")) {
            readLinetype(s, recName, flags);
        } else if (type == QLatin1String("STYLE")) {
            readTextStyle(s, recName, flags);
        } else if (dim) {
            DimStyle* ds = db_->adoptRecord(db_->dimStyles(), recName, want(s.handle));
            adopted(s.handle, ds);
            applyObject(ds, s);
            ds->flags = flags;
            for (const RawTag* t : s.body)
                if (t->code != 100 && t->code != 2 && t->code != 70) ds->values[t->code] = text(*t);
        } else if (type == QLatin1String("APPID")) {
            AppId* a = db_->adoptRecord(db_->appIds(), recName, want(s.handle));
            adopted(s.handle, a);
            applyObject(a, s);
            a->flags = flags;
        } else if (type == QLatin1String("BLOCK_RECORD")) {
            readBlockRecord(s, recName);
        } else if (type == QLatin1String("VPORT") || type == QLatin1String("VIEW") ||
                   type == QLatin1String("UCS")) {
            readViewRecord(s, recName, type);
        }
        // Records of unknown tables are dropped: no reader knows what to do with them.
    }
    tk_.fail(start, QStringLiteral("tabela %1 nie jest zamknięta przez ENDTAB").arg(tableName));
}

// A shape file that complex linetypes point at (340): a nameless STYLE record, kept as read.
void Reader::readShapeStyle(const Split& s, const QString& type) {
    auto& shapes = db_->shapeStyles();
    RawTableRecord* r =
        db_->adoptRecord(shapes, QStringLiteral("*shape%1").arg(shapes.count()), want(s.handle));
    adopted(s.handle, r);
    applyObject(r, s);
    r->tableName = type;
    r->ownerHandle = db_->textStyles().tableHandle;
    for (const RawTag* t : s.body) r->tags.push_back(toTag(*t));
}

void Reader::readLayer(const Split& s, const QString& recName, int flags) {
    Tags extras;
    Layer* l = db_->adoptRecord(db_->layers(), recName, want(s.handle));
    adopted(s.handle, l);
    applyObject(l, s);
    l->flags = flags;
    l->frozen = flags & 1;
    l->locked = flags & 4;
    for (const RawTag* t : s.body) {
        switch (t->code) {
            case 100:
            case 2:
            case 70:
                break;
            case 62: {
                const int c = integer(*t);
                l->on = c >= 0;
                l->color = std::abs(c);
                break;
            }
            case 420:
                l->trueColor = integer(*t) & 0xFFFFFF;
                break;
            case 6:
                l->linetype = name(*t);
                break;
            case 290:
                l->plot = integer(*t) != 0;
                break;
            case 370:
                l->lineweight = integer(*t);
                break;
            case 390:
                l->plotStyleHandle = toHandle(*t);
                break;
            default:
                extras.push_back(toTag(*t));
        }
    }
    l->extraTags = std::move(extras);
}

void Reader::readLinetype(const Split& s, const QString& recName, int flags) {
    Tags extras;
    Linetype* lt = db_->adoptRecord(db_->linetypes(), recName, want(s.handle));
    adopted(s.handle, lt);
    applyObject(lt, s);
    lt->flags = flags;
    bool complex = false;
    for (const RawTag* t : s.body)
        if (t->code == 74 && integer(*t) != 0) complex = true;
    bool inElements = false;
    for (const RawTag* t : s.body) {
        if (t->code == 49) inElements = true;
        if (complex && inElements) {
            lt->complexTags.push_back(toTag(*t));
            continue;
        }
        switch (t->code) {
            case 100:
            case 2:
            case 70:
            case 72:
            case 73:
            case 74:
                break;
            case 3:
                lt->description = text(*t);
                break;
            case 40:
                lt->patternLength = num(*t);
                break;
            case 49:
                lt->elements.push_back(num(*t));
                break;
            default:
                extras.push_back(toTag(*t));
        }
    }
    lt->extraTags = std::move(extras);
}

void Reader::readTextStyle(const Split& s, const QString& recName, int flags) {
    Tags extras;
    TextStyle* st = db_->adoptRecord(db_->textStyles(), recName, want(s.handle));
    adopted(s.handle, st);
    applyObject(st, s);
    st->flags = flags;
    for (const RawTag* t : s.body) {
        switch (t->code) {
            case 100:
            case 2:
            case 70:
                break;
            case 40:
                st->height = num(*t);
                break;
            case 41:
                st->widthFactor = num(*t);
                break;
            case 50:
                st->oblique = num(*t) * degToRad;
                break;
            case 71:
                st->generation = integer(*t);
                break;
            case 42:
                st->lastHeight = num(*t);
                break;
            case 3:
                st->font = text(*t);
                break;
            case 4:
                st->bigFont = text(*t);
                break;
            default:
                extras.push_back(toTag(*t));
        }
    }
    for (size_t i = 0; i + 1 < st->xdata.size(); ++i)
        if (st->xdata[i].code == 1001 && st->xdata[i].value == QLatin1String("ACAD") &&
            st->xdata[i + 1].code == 1000)
            st->typeface = st->xdata[i + 1].value;
    st->extraTags = std::move(extras);
}

void Reader::readBlockRecord(const Split& s, const QString& recName) {
    Tags extras;
    QString n = recName;
    if (n.compare(QLatin1String("$MODEL_SPACE"), Qt::CaseInsensitive) == 0)
        n = QStringLiteral("*Model_Space");
    if (n.compare(QLatin1String("$PAPER_SPACE"), Qt::CaseInsensitive) == 0)
        n = QStringLiteral("*Paper_Space");
    BlockDefinition* b = db_->findBlock(n);
    if (!b) b = db_->adoptBlock(n, want(s.handle));
    if (s.handle == 0) unnumberedRecords_.insert(b);
    adopted(s.handle, b);
    applyObject(b, s);
    for (const RawTag* t : s.body) {
        switch (t->code) {
            case 100:
            case 2:
                break;
            case 340:
                b->layoutHandle = toHandle(*t);
                break;
            default:
                extras.push_back(toTag(*t));
        }
    }
    b->recordExtraTags = std::move(extras);
}

// VPORT, VIEW and UCS records, kept as read.
void Reader::readViewRecord(const Split& s, const QString& recName, const QString& type) {
    auto& table = type == QLatin1String("VPORT")  ? db_->viewports()
                  : type == QLatin1String("VIEW") ? db_->views()
                                                  : db_->ucss();
    RawTableRecord* r = db_->adoptRecord(table, recName, want(s.handle));
    adopted(s.handle, r);
    if (!r->tags.empty()) return;  // a second "*Active" viewport of a tiled view: the first is kept
    applyObject(r, s);
    r->tableName = type;
    for (const RawTag* t : s.body) r->tags.push_back(toTag(*t));
}

}  // namespace cad::dxf::reading
