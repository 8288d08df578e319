// System variables: the ones the programs read and set, with their types, defaults and the header
// variables that keep them in the file; any other header variable reads through as well.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include <cmath>

namespace cad::db {

namespace {

enum class VarType { Int, Real, Text, Point, Color };

struct VarInfo {
    const char* name;
    VarType type;
    int code;           // group code in the header (0: session only)
    const char* deflt;  // default value as text
    bool readOnly;
};

// DIM* variables also carry the DIMSTYLE group code used by copyDimVariablesTo.
const VarInfo knownVars[] = {
    {"CECOLOR", VarType::Color, 62, "256", false}, {"CELTYPE", VarType::Text, 6, "ByLayer", false},
    {"CLAYER", VarType::Text, 8, "0", false},      {"TEXTSTYLE", VarType::Text, 7, "Standard", false},
    {"CELWEIGHT", VarType::Int, 370, "-1", false}, {"ANGBASE", VarType::Real, 50, "0", false},
    {"CELTSCALE", VarType::Real, 40, "1", false},  {"LTSCALE", VarType::Real, 40, "1", false},
    {"TEXTSIZE", VarType::Real, 40, "2.5", false}, {"DIMSTYLE", VarType::Text, 2, "Standard", true},
    {"INSUNITS", VarType::Int, 70, "0", false},    {"LASTPOINT", VarType::Point, 0, "", false},
    {"LASTPROMPT", VarType::Text, 0, "", false},   {"DIMTXSTY", VarType::Text, 7, "Standard", false},
    {"DIMASZ", VarType::Real, 40, "0.18", false},  {"DIMTVP", VarType::Real, 40, "0", false},
    {"DIMALTF", VarType::Real, 40, "25.4", false}, {"DIMCEN", VarType::Real, 40, "0.09", false},
    {"DIMCLRD", VarType::Int, 70, "0", false},     {"DIMCLRE", VarType::Int, 70, "0", false},
    {"DIMCLRT", VarType::Int, 70, "0", false},     {"DIMDLI", VarType::Real, 40, "0.38", false},
    {"DIMEXE", VarType::Real, 40, "0.18", false},  {"DIMEXO", VarType::Real, 40, "0.0625", false},
    {"DIMSAH", VarType::Int, 70, "0", false},      {"DIMDEC", VarType::Int, 70, "4", false},
    {"DIMTIH", VarType::Int, 70, "1", false},      {"DIMTOH", VarType::Int, 70, "1", false},
    {"DIMGAP", VarType::Real, 40, "0.09", false},  {"DIMSCALE", VarType::Real, 40, "1", false},
    {"DIMTXT", VarType::Real, 40, "0.18", false},
};

// DIMSTYLE record codes of the DIM* variables.
const struct {
    const char* name;
    int code;
} dimCodes[] = {{"DIMASZ", 41},   {"DIMTVP", 145},  {"DIMALTF", 143}, {"DIMCEN", 141}, {"DIMCLRD", 176},
                {"DIMCLRE", 177}, {"DIMCLRT", 178}, {"DIMDLI", 43},   {"DIMEXE", 44},  {"DIMEXO", 42},
                {"DIMSAH", 173},  {"DIMDEC", 271},  {"DIMTIH", 73},   {"DIMTOH", 74},  {"DIMGAP", 147},
                {"DIMSCALE", 40}, {"DIMTXT", 140}};

// By upper-case name: every new entity reads four variables.
const VarInfo* findVar(const QString& name) {
    static const QHash<QString, const VarInfo*> byName = [] {
        QHash<QString, const VarInfo*> h;
        for (const auto& s : knownVars)
            if (!h.contains(QString::fromLatin1(s.name).toUpper())) h.insert(QString::fromLatin1(s.name).toUpper(), &s);
        return h;
    }();
    auto it = byName.constFind(name);
    if (it == byName.constEnd()) it = byName.constFind(name.toUpper());
    return it == byName.constEnd() ? nullptr : it.value();
}

QString colorText(int c) {
    if (c == 256) return QStringLiteral("BYLAYER");
    if (c == 0) return QStringLiteral("BYBLOCK");
    return QString::number(c);
}

int parseColor(const SysValue& v) {
    int c = -1;
    if (auto* i = std::get_if<int>(&v))
        c = *i;
    else if (auto* r = std::get_if<double>(&v))
        c = std::rint(*r) == *r ? int(*r) : -1;
    else if (auto* s = std::get_if<QString>(&v)) {
        const QString t = s->trimmed();
        if (t.compare(QLatin1String("BYLAYER"), Qt::CaseInsensitive) == 0)
            c = 256;
        else if (t.compare(QLatin1String("BYBLOCK"), Qt::CaseInsensitive) == 0)
            c = 0;
        else {
            bool ok = false;
            c = t.toInt(&ok);
            if (!ok) c = -1;
        }
    }
    if (c < 0 || c > 256) throw InvalidArgument(QStringLiteral("Nieprawidłowy kolor"));
    return c;
}

SysValue fromTag(const Tag& t) {
    if (t.code >= 10 && t.code < 60) return t.value.toDouble();
    if ((t.code >= 60 && t.code < 100) || (t.code >= 170 && t.code < 290) || (t.code >= 370 && t.code < 390))
        return t.value.toInt();
    return t.value;
}

}  // namespace

int Database::currentColor() const {
    if (const Tags* t = headerVariable(QStringLiteral("$CECOLOR")); t && !t->empty())
        return t->front().value.toInt();
    return 256;
}

SysValue Database::variable(const QString& name) const {
    const VarInfo* var = findVar(name);
    if (!var) {
        // Any header variable of the drawing reads through with the type of its first tag.
        const Tags* t = headerVariable(QLatin1Char('$') + name.toUpper());
        if (!t || t->empty()) throw NotFound(QStringLiteral("Brak zmiennej systemowej %1").arg(name));
        if (t->size() >= 2 && t->at(0).code == 10) {
            return Point3{t->at(0).value.toDouble(), t->at(1).value.toDouble(),
                          t->size() > 2 ? t->at(2).value.toDouble() : 0.0};
        }
        return fromTag(t->front());
    }
    if (var->code == 0) {
        if (var->type == VarType::Point) return d->lastPoint;
        return d->lastPrompt;
    }
    const Tags* t = headerVariable(QLatin1Char('$') + QLatin1String(var->name));
    const QString raw = t && !t->empty() ? t->front().value.trimmed() : QString::fromLatin1(var->deflt);
    switch (var->type) {
        case VarType::Int:
            return raw.toInt();
        case VarType::Real:
            return raw.toDouble();
        case VarType::Color:
            return colorText(raw.toInt());
        default:
            return raw;
    }
}

void Database::setVariable(const QString& name, const SysValue& value) {
    const VarInfo* var = findVar(name);
    if (!var) {
        if (!headerVariable(QLatin1Char('$') + name.toUpper()))
            throw NotFound(QStringLiteral("Brak zmiennej systemowej %1").arg(name));
        throw InvalidArgument(QStringLiteral("Zmiennej systemowej %1 nie można ustawić").arg(name));
    }
    if (var->readOnly)
        throw InvalidArgument(QStringLiteral("Zmienna systemowa %1 jest tylko do odczytu").arg(name));
    const QString header = QLatin1Char('$') + QLatin1String(var->name);
    auto number = [&](bool integral) -> double {
        double v = 0;
        if (auto* i = std::get_if<int>(&value))
            v = *i;
        else if (auto* r = std::get_if<double>(&value))
            v = *r;
        else if (auto* s = std::get_if<QString>(&value)) {
            bool ok = false;
            v = s->trimmed().toDouble(&ok);
            if (!ok) throw InvalidArgument(QStringLiteral("%1 wymaga liczby").arg(name));
        } else
            throw InvalidArgument(QStringLiteral("%1 wymaga liczby").arg(name));
        if (integral && std::rint(v) != v)
            throw InvalidArgument(QStringLiteral("%1 wymaga liczby całkowitej").arg(name));
        return v;
    };
    switch (var->type) {
        case VarType::Point: {
            auto* p = std::get_if<Point3>(&value);
            if (!p) throw InvalidArgument(QStringLiteral("%1 wymaga punktu").arg(name));
            d->lastPoint = *p;
            return;
        }
        case VarType::Color:
            setHeaderVariable(header, {{var->code, QString::number(parseColor(value))}});
            return;
        case VarType::Int: {
            const int v = int(number(true));
            if (QLatin1String(var->name) == QLatin1String("CELWEIGHT") && (v < -3 || v > 211))
                throw InvalidArgument(QStringLiteral("Nieprawidłowa grubość linii %1").arg(v));
            setHeaderVariable(header, {{var->code, QString::number(v)}});
            return;
        }
        case VarType::Real:
            setHeaderVariable(header, {{var->code, QString::number(number(false), 'g', 17)}});
            return;
        case VarType::Text: {
            auto* s = std::get_if<QString>(&value);
            if (!s) throw InvalidArgument(QStringLiteral("%1 wymaga tekstu").arg(name));
            if (var->code == 0) {
                d->lastPrompt = *s;
                return;
            }
            QString v = *s;
            const QString n = QLatin1String(var->name);
            if (n == QLatin1String("CLAYER")) {
                Layer* l = layers_.find(v);
                if (!l) throw InvalidArgument(QStringLiteral("Brak warstwy %1").arg(v));
                v = l->name();
            } else if (n == QLatin1String("TEXTSTYLE") || n == QLatin1String("DIMTXSTY")) {
                TextStyle* st = textStyles_.find(v);
                if (!st) throw InvalidArgument(QStringLiteral("Brak stylu tekstu %1").arg(v));
                v = st->name();
            } else if (n == QLatin1String("CELTYPE")) {
                if (v.isEmpty()) v = QStringLiteral("Continuous");
                Linetype* lt = linetypes_.find(v);
                if (!lt) throw InvalidArgument(QStringLiteral("Brak rodzaju linii %1").arg(v));
                v = lt->name();
            }
            setHeaderVariable(header, {{var->code, v}});
            return;
        }
    }
}

void Database::copyDimVariablesTo(DimStyle* style) {
    style->checkAlive();
    for (const auto& dc : dimCodes) {
        const SysValue v = variable(QLatin1String(dc.name));
        if (auto* i = std::get_if<int>(&v))
            style->values[dc.code] = QString::number(*i);
        else if (auto* r = std::get_if<double>(&v))
            style->values[dc.code] = QString::number(*r, 'g', 17);
    }
    // The text style is kept by handle in the style record.
    if (TextStyle* ts = textStyles_.find(std::get<QString>(variable(QStringLiteral("DIMTXSTY")))))
        style->values[340] = ts->handleText();
}

}  // namespace cad::db
