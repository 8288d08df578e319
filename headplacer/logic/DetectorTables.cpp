// Detector tables, description stepping and the other vendor's command texts.
#include "headplacer/logic/DetectorTables.h"

#include "common/NumberText.h"
#include "headplacer/logic/TextTools.h"

#include <cmath>
#include <numbers>

namespace headplacer {

namespace {
LoopFunction lf(const char16_t* caption, int length, int width, const char16_t* letter, int turns) {
    return {QString::fromUtf16(caption), length, width, QString::fromUtf16(letter), turns};
}
}  // namespace

const QList<LoopFunction> RectangleLoopFunctions = {
    lf(u"L - licząca", 3, 3, u"L", 4),     lf(u"Z - na zajęcie", 16, 2, u"Z", 3),
    lf(u"n - najazdowa", 1, 2, u"n", 4),   lf(u"m - zatłoczenia", 4, 2, u"m", 4),
    lf(u"D1 - licząca", 3, 3, u"D1", 4),   lf(u"D2 - na zajęcie", 16, 2, u"D2", 3),
    lf(u"D3 - najazdowa", 1, 2, u"D3", 4), lf(u"D4 - zatłoczenia", 4, 2, u"D4", 4),
};
const QList<LoopFunction> ParallelogramLoopFunctions = {
    lf(u"L - licząca", 3, 3, u"L", 4),     lf(u"Z - na zajęcie", 16, 2, u"Z", 4),
    lf(u"n - najazdowa", 1, 2, u"n", 4),   lf(u"m - zatłoczenia", 4, 2, u"m", 4),
    lf(u"D1 - licząca", 1, 3, u"D1", 4),   lf(u"D2 - na zajęcie", 16, 2, u"D2", 4),
    lf(u"D3 - najazdowa", 1, 2, u"D3", 4), lf(u"D4 - zatłoczenia", 4, 2, u"D4", 4),
};
const QList<AboveRoadDetectorKind> AboveRoadDetectorKinds = {
    {QStringLiteral("video - kamera"), QStringLiteral("vkam"), QStringLiteral("kam.")},
    {QStringLiteral("podczerwony"), QStringLiteral("detnadj"), QStringLiteral("pdcz")},
    {QStringLiteral("radarowy"), QStringLiteral("detnadj"), QStringLiteral("radr")},
    {QStringLiteral("laserowy"), QStringLiteral("detnadj"), QStringLiteral("dlsr")},
    {QStringLiteral("radiowy"), QStringLiteral("detnadj"), QStringLiteral("radw")},
    {QStringLiteral("zbliżeniowy"), QStringLiteral("detnadj"), QStringLiteral("zblz")},
};
const QStringList PushButtonTypes = {QStringLiteral("brak danych"), QStringLiteral("mechaniczny"),
                                     QStringLiteral("piezoelektryczny"), QStringLiteral("sensorowy")};

namespace {
QStringList widths275to550() {
    QStringList l;
    for (int q = 11; q <= 22; ++q)
        l << common::FormatNumberWithDot(q * 0.25, QStringLiteral("0.00"))
                 .replace(QLatin1Char('.'), QLatin1Char(','));
    return l;
}
}  // namespace

SizeList LoopLengths(int shape) {
    if (shape == 0)
        return {{QStringLiteral("0,5"), QStringLiteral("0,7"), QStringLiteral("4"), QStringLiteral("14"),
                 QStringLiteral("16"), QStringLiteral("20"), QStringLiteral("21"), QStringLiteral("27")},
                3};
    return {{QStringLiteral("1,0"), QStringLiteral("0,7")}, 1};
}
SizeList LoopWidths(int shape) {
    if (shape == 0)
        return {{QStringLiteral("3"), QStringLiteral("2,6"), QStringLiteral("1,5"), QStringLiteral("10,6"),
                 QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0,5")},
                5};
    return {widths275to550(), 3};
}
SizeList AreaLengths(int areaKind) {
    if (areaKind == 0) return {{QStringLiteral("0,25")}, 0};
    return {{QStringLiteral("5"), QStringLiteral("12"), QStringLiteral("16"), QStringLiteral("20")}, 1};
}
SizeList AreaWidths(int areaKind) {
    if (areaKind == 0) return {QStringList{QStringLiteral("2,5")} + widths275to550(), 1};
    return {{QStringLiteral("0,5")}, 0};
}
SizeList AreaDistances() {
    return {{QStringLiteral("0,6")}, 0};
}

namespace {
QString stepArea(const QString& description, bool earlierStopLine, const QString& shortNumber, int step) {
    const int prefixLength = earlierStopLine ? 3 : 2;
    QString prefix = description.left(prefixLength);
    QString number = description.mid(prefixLength, 2);
    if (prefix.size() < prefixLength) prefix = earlierStopLine ? QStringLiteral("V11") : QStringLiteral("V1");
    if (number.size() < 2) number = shortNumber;
    return prefix +
           common::FormatNumberWithDot(common::ParseDouble(number) + step, QStringLiteral("#######0"));
}
}  // namespace

QString NextDetectionArea(const QString& description, bool earlierStopLine) {
    return stepArea(description, earlierStopLine, QStringLiteral("11"), 1);
}
QString NextDetectionLane(const QString& description, bool earlierStopLine) {
    return stepArea(description, earlierStopLine, QStringLiteral("1"), 10);
}
QString NextVideoDetector(const QString& description, bool earlierStopLine, const QString& kindCode) {
    int prefixLength = earlierStopLine ? 7 : (description.size() >= 8 ? 7 : 6);
    QString prefix = description.left(prefixLength);
    QString number = description.mid(prefixLength, 1);
    if (prefix.size() < 2) {
        prefix = kindCode + (earlierStopLine ? QStringLiteral("11.") : QStringLiteral("1."));
        number = QStringLiteral("0");
    }
    return prefix + common::FormatNumberWithDot(common::ParseDouble(number) + 1, QStringLiteral("#######0"));
}

QString RoundToWholeMetres(const QString& text) {
    return common::FormatPlainNumber(std::floor(common::ParseDouble(text) + 0.5));
}
QString RoundToDecimetres(const QString& text) {
    const double v = std::floor(common::ParseDouble(text) * 10 + 0.5) / 10;
    return common::FormatNumber(v, QString());
}

QString MoveObjectCommand(int objectIndex) {
    return QStringLiteral("SUW(tryb=OSTOBI, obiidx=%1, p=(%2))")
        .arg(objectIndex)
        .arg(FormatPointText(0, 0, QStringLiteral("#######0.00")));
}

QString AboveRoadInsertCommand(const QString& symbolFile) {
    return QStringLiteral("OBW(n=") + QuoteText(symbolFile) + QStringLiteral(", skala=") +
           common::FormatNumberWithDot(10, QStringLiteral("#######0.000")) + QStringLiteral(", warstwa=") +
           QStringLiteral("115") + QStringLiteral(",symbol=1)");
}

QList<common::PlanePoint> RectangleCorners(double lengthM, double widthM, double shiftM) {
    const double l = lengthM * 1000, w = widthM * 1000, s = shiftM * 1000;
    return {{0, s}, {l, s}, {l, s + w}, {0, s + w}};
}

QList<common::PlanePoint> ParallelogramCorners(double lengthM, double widthM, double fromDividerM,
                                               double fromKerbM) {
    const double l = lengthM * 1000, w = widthM * 1000, r = fromDividerM * 1000, k = fromKerbM * 1000;
    const double c = std::cos(std::numbers::pi / 4);
    const double d1 = (w - r) / c, d2 = (w - r - k) / c;
    const common::PlanePoint p0{0, 0};
    const common::PlanePoint p1 = common::GetPolarPoint(p0, 5 * std::numbers::pi / 4, d1);
    const common::PlanePoint p2 = common::GetPolarPoint(p1, 3 * std::numbers::pi / 2, l);
    const common::PlanePoint p3 = common::GetPolarPoint(p2, std::numbers::pi / 4, d2);
    const common::PlanePoint p4 = common::GetPolarPoint(p3, std::numbers::pi / 2, l);
    return {p1, p2, p3, p4};
}

}  // namespace headplacer
