// Distance texts, the formulas of one pair row and the placing and sorting of the pair rows.
#include "conflictor/conflicts/IntergreenRows.h"

#include "automation/DrawingProperties.h"
#include "common/Geometry.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Worksheet.h"

#include <QCoreApplication>
#include <cmath>

namespace conflictor {

namespace {

QString cellName(const char* column, int row) {
    return QString::fromLatin1(column) + QString::number(row);
}

QString rowRef(int row, int column) {
    return QStringLiteral("=R") + QString::number(row) + QLatin1Char('C') + QString::number(column);
}

bool isVehicleKind(int kind) {
    return kind == KindVehicle || kind == KindConditional || kind == KindTram || kind == KindBus;
}

// The distance, and the text of its parts when `Text` is given (the formatting is most of the work).
QString partText(double metres, QHash<double, QString>* partTexts) {
    if (!partTexts || !std::isfinite(metres))
        return common::FormatNumberWithDot(metres, QStringLiteral("#######0.0"));
    auto it = partTexts->constFind(metres);
    if (it == partTexts->constEnd())
        it = partTexts->insert(metres, common::FormatNumberWithDot(metres, QStringLiteral("#######0.0")));
    return *it;
}

bool measureConflictDistance(const PlanePoint& point, int stream, bool& OnArc, double& Distance, QString* Text,
                             QHash<double, QString>* partTexts = nullptr) {
    OnArc = false;
    Distance = 0;
    if (Text) Text->clear();
    if (stream < 0 || stream >= int(StreamTable.size())) return false;
    const StreamRecord& s = StreamTable[size_t(stream)];
    int n = 0;
    if (IsVehicleStream(s))
        GetSegmentOrderAtPoint(point, stream, n);
    else
        n = s.SegmentCount;
    if (n <= 0) return false;
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    QStringList parts(Text ? n : 0);
    const int count = std::min(s.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& c = s.Segments[size_t(k)];
        if (c.Order > n || c.Order < 1) continue;
        double length;
        if (c.IsLine) {
            length = common::GetDistance(c.StartPoint, c.EndPoint);
        } else {
            length = common::GetArcLength(c.Radius, c.StartAngle, c.EndAngle);
            OnArc = c.Radius < scale * common::Settings.GranicaPromien;
        }
        if (Text) parts[c.Order - 1] = partText(length / scale, partTexts);
        Distance += length;
    }
    if (!Text) return true;
    // A gap in the chain's orders would leave "++" in the sum: such parts count as 0.
    for (QString& p : parts)
        if (p.isEmpty()) p = QStringLiteral("0");
    *Text = parts.join(QLatin1Char('+'));
    Text->replace(QLatin1Char(','), QLatin1Char('.'));
    return true;
}

}  // namespace

bool GetConflictDistanceText(const PlanePoint& point, int stream, bool& OnArc, double& Distance,
                             QString& Text, QHash<double, QString>* partTexts) {
    return measureConflictDistance(point, stream, OnArc, Distance, &Text, partTexts);
}

bool GetConflictDistance(const PlanePoint& point, int stream, double& Distance) {
    bool onArc = false;
    return measureConflictDistance(point, stream, onArc, Distance, nullptr);
}

int WriteIntergreenRow(sheet::Worksheet& ws, int row, const IntergreenPair& pair) {
    const int r1 = StreamTable[size_t(pair.ClearingStream)].SheetIndex;
    const int r2 = StreamTable[size_t(pair.EnteringStream)].SheetIndex;
    const int enteringKind = StreamTable[size_t(pair.EnteringStream)].Kind;
    const bool clearingIsOther = pair.Kind == QLatin1String("POJPIESZ_STRUMIEN");
    const bool enteringIsOther = pair.Kind == QLatin1String("PIESZPOJ_STRUMIEN");
    auto cell = [&](const char* column) { return ws.range(cellName(column, row)); };

    cell("A").setValue(pair.ClearingName);
    cell("C").setFormulaR1C1(pair.ClearingDistance);
    cell("B").setValue(pair.EnteringName);
    cell("G").setFormulaR1C1(pair.EnteringDistance);
    if (clearingIsOther)
        cell("D").setValue(QStringLiteral("0"));
    else
        cell("D").setFormulaR1C1(rowRef(r1, 18));
    cell("E").setFormulaR1C1(rowRef(r1, clearingIsOther || !pair.ClearingOnArc ? 21 : 22));
    cell("F").activate();
    cell("F").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-3]:R[]C[-2])/R[]C[-1]"));
    if (enteringIsOther)
        cell("H").setValue(QStringLiteral("0"));
    else
        cell("H").setFormulaR1C1(rowRef(r2, pair.EnteringOnArc ? 20 : 19));
    cell("I").activate();
    if (enteringIsOther)
        cell("I").setValue(QStringLiteral("0"));
    else
        cell("I").setFormulaR1C1(QStringLiteral("=R[]C[-2]/R[]C[-1]+1"));
    cell("J").activate();
    cell("J").setFormulaR1C1(QStringLiteral("=SQRT(2*(R[]C[-3]+1.5)/R[]C[+4])"));
    if (clearingIsOther)
        cell("K").setValue(QStringLiteral("0"));
    else
        cell("K").setFormulaR1C1(QStringLiteral("=") + QStringLiteral("R9C24"));
    cell("L").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-6],R[]C[-1],-R[]C[-3])"));
    cell("M").setFormulaR1C1(QStringLiteral("=SUM(R[]C[-7],R[]C[-2],-R[]C[-3])"));
    cell("N").setFormulaR1C1(isVehicleKind(enteringKind) ? rowRef(r2, 23)
                                                         : QStringLiteral("=") + QStringLiteral("R10C24"));
    cell("O").setFormulaR1C1(QStringLiteral("=ROUNDUP(R[]C[-3],0)"));

    // A speed of 0 or below gives no time a vehicle or pedestrian can keep, whatever the formula makes of it.
    auto positive = [](const sheet::Value& v) {
        return v.isNumber() && std::isfinite(v.number()) && v.number() > 0;
    };
    if (!positive(cell("E").value()) || (!enteringIsOther && !positive(cell("H").value()))) return NotANumber;
    const sheet::Value o = cell("O").value();
    if (!o.isNumber() || !std::isfinite(o.number()) || std::fabs(o.number()) > 32767) return NotANumber;
    return int(std::lround(o.number()));
}

int WriteIntergreenRows(sheet::Application& app, sheet::Worksheet& ws,
                        const std::vector<IntergreenPair>& vehiclePairs,
                        const std::vector<IntergreenPair>& otherPairs, GroupMatrixTable& GroupMatrix,
                        QStringList& problems) {
    int row = 12;
    for (const std::vector<IntergreenPair>* block : {&vehiclePairs, &otherPairs}) {
        const int first = row;
        for (const IntergreenPair& pair : *block) {
            QCoreApplication::processEvents();
            // Formulas of a stream without its row would refer to nothing: the pair is reported.
            if (StreamTable[size_t(pair.ClearingStream)].SheetIndex < 1 ||
                StreamTable[size_t(pair.EnteringStream)].SheetIndex < 1) {
                problems.append(pair.ClearingName + QStringLiteral(" - ") + pair.EnteringName);
                continue;
            }
            const int o = WriteIntergreenRow(ws, row, pair);
            const int c = StreamTable[size_t(pair.ClearingStream)].Group;
            const int e = StreamTable[size_t(pair.EnteringStream)].Group;
            if (o == NotANumber)
                problems.append(pair.ClearingName + QStringLiteral(" - ") + pair.EnteringName);
            else if (e >= 0 && c >= 0 && size_t(e) < GroupMatrix.size() && size_t(c) < GroupMatrix.size() &&
                     o > GroupMatrix[size_t(e)][size_t(c)])
                GroupMatrix[size_t(e)][size_t(c)] = o;
            ++row;
        }
        if (row > first) {
            ws.range(QStringLiteral("A") + QString::number(first) + QStringLiteral(":O") +
                     QString::number(row - 1))
                .select();
            app.run(QStringLiteral("Sortowanie"));
        }
    }
    return row;
}

}  // namespace conflictor
