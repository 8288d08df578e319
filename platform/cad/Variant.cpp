// Coercion and serialisation of the object model's values.
#include "platform/cad/Variant.h"

#include <cmath>

namespace cad {

namespace {

const char* typeName(Variant::Type t) {
    switch (t) {
        case Variant::Empty:
            return "wartość pusta";
        case Variant::Bool:
            return "wartość logiczna";
        case Variant::Int:
            return "liczba całkowita";
        case Variant::Double:
            return "liczba";
        case Variant::Text:
            return "tekst";
        case Variant::PointValue:
            return "punkt";
        case Variant::Array:
            return "tablica";
        case Variant::Object:
            return "obiekt";
    }
    return "?";
}

[[noreturn]] void refuse(const Variant& v, const char* wanted) {
    throw InvalidArgument(
        QStringLiteral("Oczekiwano: %1, jest: %2").arg(QString::fromUtf8(wanted), QString::fromUtf8(typeName(v.type()))));
}

double parseNumber(const Variant& v, const QString& s) {
    QString t = s.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok) refuse(v, "liczba");
    return d;
}

}  // namespace

bool Variant::toBool() const {
    switch (type()) {
        case Bool:
            return std::get<bool>(v_);
        case Int:
            return std::get<qint64>(v_) != 0;
        case Double:
            return std::get<double>(v_) != 0.0;
        case Text: {
            const QString& s = std::get<QString>(v_);
            if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
            if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
            return parseNumber(*this, s) != 0.0;
        }
        default:
            refuse(*this, "wartość logiczna");
    }
}

qint64 Variant::toInt() const {
    switch (type()) {
        case Bool:
            return std::get<bool>(v_) ? -1 : 0;  // the automation's True is -1
        case Int:
            return std::get<qint64>(v_);
        case Double: {
            const double d = std::get<double>(v_);
            if (!std::isfinite(d)) refuse(*this, "liczba skończona");
            return qint64(std::llround(d));
        }
        case Text: {
            const double d = parseNumber(*this, std::get<QString>(v_));
            if (!std::isfinite(d)) refuse(*this, "liczba skończona");
            return qint64(std::llround(d));
        }
        default:
            refuse(*this, "liczba całkowita");
    }
}

double Variant::toDouble() const {
    switch (type()) {
        case Bool:
            return std::get<bool>(v_) ? -1.0 : 0.0;
        case Int:
            return double(std::get<qint64>(v_));
        case Double:
            return std::get<double>(v_);
        case Text:
            return parseNumber(*this, std::get<QString>(v_));
        default:
            refuse(*this, "liczba");
    }
}

QString Variant::toText() const {
    switch (type()) {
        case Empty:
            return QString();
        case Bool:
            return std::get<bool>(v_) ? QStringLiteral("True") : QStringLiteral("False");
        case Int:
            return QString::number(std::get<qint64>(v_));
        case Double:
            return QString::number(std::get<double>(v_), 'g', 15);
        case Text:
            return std::get<QString>(v_);
        default:
            refuse(*this, "tekst");
    }
}

Point Variant::toPoint() const {
    if (const Point* p = std::get_if<Point>(&v_)) return *p;
    if (const VariantList* a = std::get_if<VariantList>(&v_)) {
        if (a->size() == 2 || a->size() == 3) {
            Point p{a->at(0).toDouble(), a->at(1).toDouble(), 0};
            if (a->size() == 3) p.z = a->at(2).toDouble();
            return p;
        }
    }
    refuse(*this, "punkt");
}

VariantList Variant::toArray() const {
    if (const VariantList* a = std::get_if<VariantList>(&v_)) return *a;
    refuse(*this, "tablica");
}

ObjectId Variant::toObject() const {
    if (const ObjectRef* o = std::get_if<ObjectRef>(&v_)) return o->id;
    if (isEmpty()) return 0;
    refuse(*this, "obiekt");
}

QString Variant::describe() const {
    switch (type()) {
        case Empty:
            return QStringLiteral("<empty>");
        case PointValue: {
            const Point& p = std::get<Point>(v_);
            return QStringLiteral("(%1, %2, %3)").arg(p.x).arg(p.y).arg(p.z);
        }
        case Array: {
            QStringList parts;
            for (const Variant& v : std::get<VariantList>(v_)) parts << v.describe();
            return QLatin1Char('[') + parts.join(QLatin1String(", ")) + QLatin1Char(']');
        }
        case Object:
            return QStringLiteral("<object %1>").arg(std::get<ObjectRef>(v_).id);
        case Text:
            return QLatin1Char('"') + std::get<QString>(v_) + QLatin1Char('"');
        default:
            return toText();
    }
}

QDataStream& operator<<(QDataStream& s, const Variant& v) {
    s << quint8(v.type());
    switch (v.type()) {
        case Variant::Empty:
            break;
        case Variant::Bool:
            s << std::get<bool>(v.v_);
            break;
        case Variant::Int:
            s << std::get<qint64>(v.v_);
            break;
        case Variant::Double:
            s << std::get<double>(v.v_);
            break;
        case Variant::Text:
            s << std::get<QString>(v.v_);
            break;
        case Variant::PointValue: {
            const Point& p = std::get<Point>(v.v_);
            s << p.x << p.y << p.z;
            break;
        }
        case Variant::Array: {
            const VariantList& a = std::get<VariantList>(v.v_);
            s << quint32(a.size());
            for (const Variant& e : a) s << e;
            break;
        }
        case Variant::Object:
            s << std::get<ObjectRef>(v.v_).id;
            break;
    }
    return s;
}

QDataStream& operator>>(QDataStream& s, Variant& v) {
    quint8 t = 0;
    s >> t;
    switch (t) {
        case Variant::Empty:
            v = Variant();
            break;
        case Variant::Bool: {
            bool b = false;
            s >> b;
            v = Variant(b);
            break;
        }
        case Variant::Int: {
            qint64 i = 0;
            s >> i;
            v = Variant(i);
            break;
        }
        case Variant::Double: {
            double d = 0;
            s >> d;
            v = Variant(d);
            break;
        }
        case Variant::Text: {
            QString x;
            s >> x;
            v = Variant(x);
            break;
        }
        case Variant::PointValue: {
            Point p;
            s >> p.x >> p.y >> p.z;
            v = Variant(p);
            break;
        }
        case Variant::Array: {
            quint32 n = 0;
            s >> n;
            VariantList a;
            // A corrupt count must not make us reserve gigabytes; grow as elements really arrive.
            for (quint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
                Variant e;
                s >> e;
                a.append(std::move(e));
            }
            v = Variant(a);
            break;
        }
        case Variant::Object: {
            ObjectRef o;
            s >> o.id;
            v = Variant(o);
            break;
        }
        default:
            s.setStatus(QDataStream::ReadCorruptData);
            v = Variant();
            break;
    }
    return s;
}

VariantList PointArray(const QList<Point>& points) {
    VariantList a;
    a.reserve(points.size());
    for (const Point& p : points) a.append(Variant(p));
    return a;
}

VariantList FlatXY(const QList<Point>& points) {
    VariantList a;
    a.reserve(points.size() * 2);
    for (const Point& p : points) {
        a.append(Variant(p.x));
        a.append(Variant(p.y));
    }
    return a;
}

QList<Point> PointsFromFlat(const Variant& v, int stride) {
    const VariantList a = v.toArray();
    QList<Point> pts;
    // Accept an array of points as well as the flat form.
    if (!a.isEmpty() && a.front().type() == Variant::PointValue) {
        for (const Variant& e : a) pts.append(e.toPoint());
        return pts;
    }
    if (stride < 2 || a.size() % stride != 0)
        throw InvalidArgument(
            QStringLiteral("Tablica %1 współrzędnych nie jest listą punktów").arg(a.size()));
    for (qsizetype i = 0; i < a.size(); i += stride)
        pts.append(Point{a[i].toDouble(), a[i + 1].toDouble(), stride == 3 ? a[i + 2].toDouble() : 0.0});
    return pts;
}

VariantList ObjectArray(const QList<ObjectId>& ids) {
    VariantList a;
    a.reserve(ids.size());
    for (ObjectId id : ids) a.append(Variant(ObjectRef{id}));
    return a;
}

}  // namespace cad
