// Splines the reader refuses: a hatch's spline edge or a SPLINE or HELIX whose curve cannot be
// drawn, and numbers of records kept raw that are no numbers. Each refuses the file with its line
// and the record named by its handle, as a bad number does in a modelled record: drawn without its
// curve, the drawing would show less than the file holds without a word.
#include "platform/cad/dxf/DxfReading.h"
#include "platform/cad/engine/Splines.h"

namespace cad::dxf::reading {

using namespace cad::db;

namespace {

// Codes whose values are real numbers, wherever they occur in an entity.
bool isRealCode(int code) {
    return (code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
           (code >= 460 && code <= 469);
}

}  // namespace

QString Reader::recordNamed(const char* what, const QString& type) const {
    const quint64 h = entitySplit_.handle;
    return QStringLiteral("%1 (%2) %3")
        .arg(QString::fromUtf8(what), type,
             h ? QStringLiteral("o uchwycie %1").arg(QString::number(h, 16).toUpper())
               : QStringLiteral("bez uchwytu"));
}

void Reader::refuseSplineEdge(qint64 line, const QString& cause) {
    tk_.fail(line, QStringLiteral("%1 ma krawędź splajnu, której nie można narysować: %2")
                       .arg(recordNamed("kreskowanie", QStringLiteral("HATCH")), cause));
}

void Reader::checkSpline(const Entity* e, const QString& type, qint64 line) {
    SplineCurve s;
    if (!splineOfRaw(e->as<RawData>(), s)) return;
    if (const QString defect = splineDefect(s); !defect.isEmpty())
        tk_.fail(line, QStringLiteral("%1 nie można narysować: %2")
                           .arg(recordNamed(type.compare(QLatin1String("HELIX"), Qt::CaseInsensitive) == 0
                                                ? "helisy"
                                                : "splajnu",
                                            type),
                                defect));
}

void Reader::checkNumbers(const Split& s, const std::vector<SubRecord>& subs) {
    for (const RawTag* t : s.body)
        if (isRealCode(t->code)) num(*t);
    for (const SubRecord& sr : subs)
        for (const RawTag& t : sr.tags)
            if (isRealCode(t.code)) num(t);
}

}  // namespace cad::dxf::reading
