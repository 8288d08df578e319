// Value conversions between the model and the engine, and drawing-file look-up.
#include "platform/cad/model/Support.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/FileReplace.h"

#include <QDir>
#include <QFileInfo>

namespace cad {

std::vector<db::Entity*> EntitiesArg(Target& t, Args args, qsizetype i) {
    const Variant& v = Arg(args, i);
    std::vector<db::Entity*> out;
    if (v.isObject()) {  // a single object where an array is expected
        out.push_back(t.model.entityOf(v, t.rec.doc));
        return out;
    }
    const VariantList* a = v.arrayPtr();
    if (!a) throw InvalidArgument(QStringLiteral("Oczekiwano tablicy obiektów"));
    out.reserve(a->size());
    for (const Variant& e : *a) out.push_back(t.model.entityOf(e, t.rec.doc));
    return out;
}

Variant EntityList(Target& t, const std::vector<db::Entity*>& entities) {
    VariantList a;
    a.reserve(qsizetype(entities.size()));
    for (db::Entity* e : entities) a.append(Variant(ObjectRef{t.model.entityId(t.rec.doc, e)}));
    return Variant(a);
}

bool ValidLineweight(qint64 v) {
    static const int allowed[] = {-3, -2, -1, 0,  5,  9,  13,  15,  18,  20,  25,  30,  35, 40,
                                  50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    for (int x : allowed)
        if (x == v) return true;
    return false;
}

Variant FromSysValue(const db::SysValue& v) {
    if (auto* i = std::get_if<int>(&v)) return Variant(*i);
    if (auto* d = std::get_if<double>(&v)) return Variant(*d);
    if (auto* s = std::get_if<QString>(&v)) return Variant(*s);
    return PointValue(std::get<db::Point3>(v));
}

db::SysValue ToSysValue(const Variant& v) {
    switch (v.type()) {
        case Variant::Bool:
            return db::SysValue(v.toBool() ? 1 : 0);
        case Variant::Int: {
            const qint64 i = v.toInt();
            if (i < INT_MIN || i > INT_MAX)
                throw InvalidArgument(QStringLiteral("Wartość jest poza zakresem"));
            return db::SysValue(int(i));
        }
        case Variant::Double:
            return db::SysValue(v.toDouble());
        case Variant::Text:
            return db::SysValue(v.toText());
        case Variant::PointValue:
        case Variant::Array:
            return db::SysValue(ToDb(v.toPoint()));
        default:
            throw InvalidArgument(QStringLiteral("Zmienna systemowa nie przyjmuje wartości %1").arg(v.describe()));
    }
}

namespace {

// The folder as it stands on disk: a component that does not exist as written is matched
// without regard to case, since the paths the programs pass (typed, or stored in settings and
// drawings) do not always spell a folder as the disk does.
QDir folderOnDisk(const QString& folder) {
    const QString wanted = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(wanted).isDir()) return QDir(wanted);
    QString current = QStringLiteral("/");
    for (const QString& part : wanted.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QDir here(current);
        QString next = here.filePath(part);
        if (!QFileInfo(next).isDir()) {
            next.clear();
            for (const QString& entry : here.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = here.filePath(entry);
                    break;
                }
            if (next.isEmpty()) return QDir(wanted);  // absent: the caller finds nothing there
        }
        current = next;
    }
    return QDir(current);
}

}  // namespace

QString ResolveDrawingFile(const QString& path) {
    if (path.trimmed().isEmpty()) return QString();
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo fi(p);
    const QString suffix = fi.suffix();
    const bool drawingName = suffix.isEmpty() ||
                             suffix.compare(QLatin1String("dxf"), Qt::CaseInsensitive) == 0 ||
                             suffix.compare(QLatin1String("dwg"), Qt::CaseInsensitive) == 0 ||
                             suffix.compare(QLatin1String("dwt"), Qt::CaseInsensitive) == 0;
    if (!drawingName) return fi.isFile() ? fi.absoluteFilePath() : QString();
    // A ".dwg" or ".dwt" name stands for the DXF file of the same base name; case is ignored.
    const QString wanted = (suffix.isEmpty() ? fi.fileName() : fi.completeBaseName()) + QLatin1String(".dxf");
    const QDir dir = folderOnDisk(fi.absolutePath());
    if (!dir.exists()) return QString();
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return dir.absoluteFilePath(entry);
    return QString();
}

std::unique_ptr<db::Database> ReadDrawing(const QString& path) {
    const QString file = ResolveDrawingFile(path);
    if (file.isEmpty()) throw NotFound(dxf::missingDrawingMessage(path));
    return dxf::readFile(file);
}

}  // namespace cad
