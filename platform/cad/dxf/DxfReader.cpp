// The DXF reader: sections, tables, blocks, entities and objects into the drawing database.
// Modelled kinds are parsed into their records; everything else is kept as tags. This file reads
// the records every section is made of and the sections in their order; each section's own
// reading is in the file DxfReading.h names for it.
#include "platform/cad/dxf/DxfReader.h"

#include "platform/cad/dxf/BinaryDxf.h"
#include "platform/cad/dxf/DxfReading.h"
#include "platform/cad/dxf/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cad::dxf::reading {

using namespace cad::db;

QString Reader::name(const RawTag& t) {
    auto it = names_.find(t.value);
    if (it != names_.end()) return it->second;
    QString v = text(t).trimmed();
    names_.emplace(t.value, v);
    return v;
}

bool Reader::readRecord(std::vector<RawTag>& out, QString& type, qint64& line) {
    out.clear();
    RawTag t;
    if (!tk_.next(t)) return false;
    if (t.code != 0) tk_.fail(t.line, QStringLiteral("oczekiwano kodu grupy 0, jest %1").arg(t.code));
    // Record types repeat endlessly: one shared string per type.
    const std::string_view tv = trimmed(t.value);
    auto it = types_.find(tv);
    if (it == types_.end())
        it = types_.emplace(tv, QString::fromLatin1(tv.data(), qsizetype(tv.size()))).first;
    type = it->second;
    line = t.line;
    while (tk_.next(t)) {
        if (t.code == 0) {
            tk_.pushBack();
            break;
        }
        out.push_back(t);
    }
    return true;
}

void Reader::split(const std::vector<RawTag>& rec, Split& s, bool dimstyle) {
    s.handle = s.owner = s.extDict = 0;
    s.reactors.clear();
    s.appData.clear();
    s.body.clear();
    s.xdata.clear();
    bool seenSubclass = false;
    bool inXdata = false;
    for (size_t i = 0; i < rec.size(); ++i) {
        const RawTag& t = rec[i];
        if (inXdata || t.code >= 1000) {
            inXdata = true;
            s.xdata.push_back(&t);
            continue;
        }
        if (!seenSubclass && s.handle == 0 && (t.code == 5 || (dimstyle && t.code == 105))) {
            s.handle = toHandle(t);
            continue;
        }
        if (t.code == 102) {
            const std::string_view v = trimmed(t.value);
            if (v == "{ACAD_REACTORS") {
                for (++i; i < rec.size() && rec[i].code != 102; ++i)
                    if (rec[i].code == 330) s.reactors.push_back(toHandle(rec[i]));
                continue;
            }
            if (v == "{ACAD_XDICTIONARY") {
                for (++i; i < rec.size() && rec[i].code != 102; ++i)
                    if (rec[i].code == 360) s.extDict = toHandle(rec[i]);
                continue;
            }
            // Another application's group, kept verbatim.
            s.appData.push_back(toTag(t));
            for (++i; i < rec.size(); ++i) {
                s.appData.push_back(toTag(rec[i]));
                if (rec[i].code == 102) break;
            }
            continue;
        }
        if (t.code == 330 && !seenSubclass && s.owner == 0) {
            s.owner = toHandle(t);
            continue;
        }
        if (t.code == 100) seenSubclass = true;
        s.body.push_back(&t);
    }
}

void Reader::applyObject(DbObject* o, const Split& s) {
    o->ownerHandle = s.owner;
    o->extensionDictionary = s.extDict;
    o->reactors = s.reactors;
    o->appData = s.appData;
    o->xdata.clear();
    o->xdata.reserve(s.xdata.size());
    for (const RawTag* t : s.xdata) o->xdata.push_back(toTag(*t));
}

std::unique_ptr<Database> Reader::run() {
    collectHandles(data_);
    RawTag t;
    bool any = false;
    for (;;) {
        if (!tk_.next(t)) {
            if (!any) tk_.fail(tk_.line(), QStringLiteral("plik jest pusty albo nie zawiera danych DXF"));
            break;  // a missing EOF marker after complete sections is tolerated
        }
        any = true;
        const std::string_view v = trimmed(t.value);
        if (t.code != 0) tk_.fail(t.line, QStringLiteral("oczekiwano kodu grupy 0, jest %1").arg(t.code));
        if (v == "EOF") break;
        if (v != "SECTION")
            tk_.fail(t.line,
                     QStringLiteral("oczekiwano SECTION, jest \"%1\"")
                         .arg(QString::fromLatin1(v.data(), qsizetype(std::min<size_t>(v.size(), 40)))));
        RawTag n;
        if (!tk_.next(n) || n.code != 2) tk_.fail(t.line, QStringLiteral("sekcja nie ma nazwy"));
        const std::string_view section = trimmed(n.value);
        if (section == "HEADER")
            readHeader();
        else if (section == "CLASSES")
            readClasses();
        else if (section == "TABLES")
            readTables();
        else if (section == "BLOCKS")
            readBlocks();
        else if (section == "ENTITIES")
            readEntities(nullptr, "ENDSEC");
        else if (section == "OBJECTS")
            readObjects();
        else if (section == "THUMBNAILIMAGE")
            skipSection();  // a preview of the drawing as it was: stale after any change
        else
            keepSection(QString::fromLatin1(section.data(), qsizetype(section.size())));
    }
    finish();
    return std::move(db_);
}

void Reader::keepSection(const QString& name) {
    RawTag t;
    const qint64 start = tk_.line();
    Tags tags;
    while (tk_.next(t)) {
        if (t.code == 0 && trimmed(t.value) == "ENDSEC") {
            db_->extraSections.emplace_back(name, std::move(tags));
            return;
        }
        tags.push_back(toTag(t));
    }
    tk_.fail(start, QStringLiteral("sekcja nie jest zamknięta przez ENDSEC"));
}

void Reader::skipSection() {
    RawTag t;
    const qint64 start = tk_.line();
    while (tk_.next(t))
        if (t.code == 0 && trimmed(t.value) == "ENDSEC") return;
    tk_.fail(start, QStringLiteral("sekcja nie jest zamknięta przez ENDSEC"));
}

}  // namespace cad::dxf::reading

namespace cad::dxf {

using reading::Reader;
using namespace cad::db;

std::unique_ptr<Database> readBuffer(const QByteArray& data, const QString& sourceName) {
    if (isBinaryDxf(data)) {
        // Binary files hold the same pairs: read through their text form.
        const QByteArray text = binaryDxfToText(data, sourceName);
        Reader reader(text, sourceName);
        return reader.run();
    }
    Reader reader(data, sourceName);
    return reader.run();
}

QString resolveDrawingFile(const QString& path) {
    const QFileInfo info(QString(path).replace('\\', '/'));
    const QString wanted = info.completeBaseName() + QStringLiteral(".dxf");
    QDir dir = info.dir();
    // Folders on the way may differ in case too.
    if (!dir.exists()) {
        QString resolved = info.path().startsWith('/') ? QStringLiteral("/") : QStringLiteral(".");
        for (const QString& part : info.path().split('/', Qt::SkipEmptyParts)) {
            if (part == QLatin1String(".")) continue;
            const QStringList entries = QDir(resolved).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            const auto it = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                return e.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (it == entries.end()) return {};
            resolved = QDir(resolved).filePath(*it);
        }
        dir = QDir(resolved);
    }
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

std::unique_ptr<Database> readFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) throw NotFound(QStringLiteral("Plik %1 nie istnieje").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Failed(QStringLiteral("Nie można otworzyć pliku %1: %2").arg(path, fileErrorText(file)));
    // The file is mapped rather than copied; values are decoded straight from the mapping.
    QByteArray data;
    uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    if (mapped)
        data = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(file.size()));
    else
        data = file.readAll();
    auto db = readBuffer(data, QFileInfo(path).fileName());
    db->filePath = QFileInfo(path).absoluteFilePath();
    return db;
}

}  // namespace cad::dxf
