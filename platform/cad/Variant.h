// The value that crosses the CAD object model: arguments and results of every late-bound call.
// Holds nothing engine-specific (objects travel as ids), so a socket channel carries it unchanged.
#pragma once

#include "platform/cad/engine/Errors.h"

#include <QDataStream>
#include <QList>
#include <QString>
#include <variant>

namespace cad {

// A point of the drawing; the programs always pass Z = 0.
struct Point {
    double x = 0;
    double y = 0;
    double z = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// An object of the model addressed by id; 0 is "nothing".
using ObjectId = quint64;
struct ObjectRef {
    ObjectId id = 0;
    friend bool operator==(const ObjectRef&, const ObjectRef&) = default;
};

class Variant;
using VariantList = QList<Variant>;

class Variant {
public:
    enum Type : quint8 { Empty, Bool, Int, Double, Text, PointValue, Array, Object };

    Variant() = default;
    Variant(bool b) : v_(b) {}
    Variant(int i) : v_(qint64(i)) {}
    Variant(qint64 i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(const QString& s) : v_(s) {}
    Variant(const char16_t* s) : v_(QString::fromUtf16(s)) {}
    Variant(const char*) = delete;  // texts are QString; a char* would silently become bool
    Variant(const Point& p) : v_(p) {}
    Variant(const VariantList& a) : v_(a) {}
    Variant(const ObjectRef& o) : v_(o) {}

    Type type() const { return Type(v_.index()); }
    bool isEmpty() const { return type() == Empty; }
    bool isArray() const { return type() == Array; }
    bool isObject() const { return type() == Object; }
    bool isNumber() const { return type() == Int || type() == Double || type() == Bool; }

    // Coercions in the manner of the automation's own: numbers and numeric texts convert,
    // anything else raises InvalidArgument naming what was expected.
    bool toBool() const;
    qint64 toInt() const;
    double toDouble() const;
    QString toText() const;
    Point toPoint() const;        // a point, or an array of two or three numbers
    VariantList toArray() const;  // an array; a scalar is refused
    ObjectId toObject() const;    // an object reference (0 for an empty value)

    const VariantList* arrayPtr() const { return std::get_if<VariantList>(&v_); }

    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

    // Debug text, for test failures.
    QString describe() const;

    friend QDataStream& operator<<(QDataStream& s, const Variant& v);
    friend QDataStream& operator>>(QDataStream& s, Variant& v);

private:
    std::variant<std::monostate, bool, qint64, double, QString, Point, VariantList, ObjectRef> v_;
};

// Helpers for the array shapes the members use.
VariantList PointArray(const QList<Point>& points);         // array of points
VariantList FlatXY(const QList<Point>& points);             // X, Y pairs as one array of doubles
QList<Point> PointsFromFlat(const Variant& v, int stride);  // stride 2 or 3
VariantList ObjectArray(const QList<ObjectId>& ids);

}  // namespace cad
