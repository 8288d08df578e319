// Pieces of a group's bar: blocks, group attributes, references and second dimensions.
#include "phaseplanner/drawing/BarPieces.h"

#include "automation/BlockAttributes.h"
#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/PhasePairs.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <algorithm>
#include <cmath>

namespace phaseplanner {

int DimensioningMode = 2;
bool ServiceView = false;
std::vector<OccupiedInterval> OccupiedIntervals(1);

namespace {

bool amberRedKnown = false;
bool redKnown = false;

const QString kDimLayer = QStringLiteral("243-WYMIAROWANIE_SEKUNDOWE");
const QString kEndsLayer = QStringLiteral("401-SYGNAL_POCZATEK_KONIEC");

bool isGroupBlock(const BarPiece& piece, int group, const QString& label, int flag) {
    if (label.isEmpty()) return false;
    const GroupRecord& g = GroupTable[std::size_t(group)];
    switch (piece.Kind) {
        case PieceGreen:
            return flag != 1;
        case PieceRed:
            return g.ComplementMode == ModeOnlyRed;
        case PieceDark:
            return g.ComplementMode == ModeNoSignal;
        default:
            return false;
    }
}

cad::Entity framePolyline(const cad::Block& b, double w, int colour) {
    cad::Entity pl = b.addLightWeightPolyline({{0, 0, 0}, {w, 0, 0}, {w, -4, 0}, {0, -4, 0}, {0, 0, 0}});
    if (colour >= 0) pl.setColor(colour);
    return pl;
}

void hatch(const cad::Block& b, const cad::Entity& outline, const QString& pattern, int colour) {
    cad::Entity h = b.addHatch(0, pattern, true);
    h.send(QStringLiteral("AppendOuterLoop"), {cad::VariantList{cad::Variant(outline.ref())}});
    if (pattern != QLatin1String("SOLID")) {
        h.setPatternScale(0.314);
        h.setPatternAngle(0.785);
    }
    h.send(QStringLiteral("Evaluate"));
    h.setColor(colour);
}

void defineFill(const cad::Block& b, int kind, double w) {
    switch (kind) {
        case PieceAmberRed: {
            const cad::Entity pl = framePolyline(b, w, 1);
            hatch(b, pl, QStringLiteral("SOLID"), 2);
            b.addLine({0, -4, 0}, {w, 0, 0}).setColor(1);
            break;
        }
        case PieceAmber:
            hatch(b, framePolyline(b, w, 2), QStringLiteral("SOLID"), 2);
            break;
        case PieceFlashingGreen:
            hatch(b, framePolyline(b, w, 94), QStringLiteral("ANSI31"), 94);
            break;
        case PieceGreen:
            hatch(b, framePolyline(b, w, 94), QStringLiteral("SOLID"), 94);
            break;
        case PieceRed:
            hatch(b, framePolyline(b, w, 1), QStringLiteral("SOLID"), 1);
            break;
        case PieceDark:
            framePolyline(b, w, -1);
            break;
        case PieceComplementAmber:
            hatch(b, framePolyline(b, w, 2), QStringLiteral("ANSI31"), 2);
            break;
        case PieceFlashingAmber:
            framePolyline(b, w, 2);
            for (int x = 1; x <= int(w); ++x) b.addLine({double(x), -4, 0}, {double(x), 0, 0}).setColor(2);
            break;
        default:
            break;
    }
}

void addGroupAttributes(const cad::Block& b, const BarPiece& piece, int group, const QString& label, int k,
                        const QString& text, double pieceOriginX) {
    const GroupRecord& g = GroupTable[std::size_t(group)];
    const bool green = piece.Kind == PieceGreen;
    QString id;
    if (green)
        id = label + QLatin1Char('_') + QString::number(k) + QStringLiteral("AB");
    else if (piece.Kind == PieceRed)
        id = label + QStringLiteral("_TYLKOCZERWONE");
    else
        id = label + QStringLiteral("_BRAKSYGNALU");
    automation::AddAttributeDefinition(b, QStringLiteral("IDENTYFIKATOR"), id, 0, 0);

    // The head names stand in the signal-head column right of the time axis, whatever the piece.
    const double programX = ProgramTableOrigin.Known ? std::trunc(ProgramTableOrigin.Point.X) : pieceOriginX;
    const double behind = std::max(0.0, pieceOriginX - programX);
    if (green && ServiceView) {
        automation::AddAttributeDefinition(b, QStringLiteral("NAZWY_SYGN_GRUPA"), g.Symbols, 0, 0);
    } else {
        const double x = (green ? MaxCycleLength + 3 - piece.Start : 123) - behind;
        automation::AddAttributeToBlock(b, QStringLiteral("NAZWY_SYGN_GRUPA"), g.Symbols, {x, -3.25, 0},
                                        green ? 2.0 : 2.5, 0);
    }
    if (green) {
        if (ServiceView) {
            automation::AddAttributeDefinition(b, QStringLiteral("POCZATEKKONIEC"), text, 0, 0);
        } else {
            cad::Entity a = automation::AddAttributeToBlock(b, QStringLiteral("POCZATEKKONIEC"), text,
                                                            {piece.Length / 2.0, -3.25, 0}, 1.5, 0);
            a.setAlignment(13);
            a.setTextAlignmentPoint({piece.Length / 2.0, -3.25, 0});
            a.setLayer(kEndsLayer);
        }
        // The phases of the green are kept in service mode too: the drawing is read back from them.
        automation::AddAttributeDefinition(b, QStringLiteral("FAZY_SYGNALU"),
                                           FormatSignalPhasePairs(g.Greens[std::size_t(k)]), 0, 0);
    }
    if ((green || piece.Kind == PieceRed) && g.ComplementOn)
        automation::AddAttributeDefinition(b, QStringLiteral("DOPELNIAJ_OD"),
                                           QString::number(g.ComplementFrom), 0, 0);
}

void addDimensions(const BarPiece& piece, long x, long y) {
    if (piece.Kind == PieceAmberRed || DimensioningMode == 0) return;
    const double sx = double(x + piece.Start);
    if (DimensioningMode == 1) {
        if (piece.Start <= 0) return;
        cad::Entity d =
            automation::CadModelSpace.addDimOrdinate({sx, double(y), 0}, {sx, double(y) + 1, 0}, true);
        d.setTextOverride(QString::number(piece.Start));
        d.setLayer(kDimLayer);
    } else if (piece.Kind == PieceGreen || piece.Kind == PieceRed) {
        cad::Entity d = automation::CadModelSpace.addDimAligned(
            {sx, double(y), 0}, {sx + piece.Length, double(y), 0}, {sx, double(y) + 2, 0});
        d.setLayer(kDimLayer);
    }
}

}  // namespace

void ResetOccupiedIntervals() {
    OccupiedIntervals.assign(1, OccupiedInterval{});
}

void AddOccupiedInterval(const BarPiece& piece) {
    if (OccupiedIntervals.empty()) OccupiedIntervals.resize(1);
    if (OccupiedIntervals.size() == 1 && OccupiedIntervals[0].Length < 1)
        OccupiedIntervals[0] = {piece.Start, piece.Length};
    else
        OccupiedIntervals.push_back({piece.Start, piece.Length});
}

void SortOccupiedIntervals() {
    std::stable_sort(OccupiedIntervals.begin(), OccupiedIntervals.end(),
                     [](const OccupiedInterval& a, const OccupiedInterval& b) { return a.Start < b.Start; });
}

bool IsPieceCovered(const BarPiece& piece) {
    if (OccupiedIntervals.empty() || OccupiedIntervals[0].Length < 1) return false;
    const int a = piece.Start, b = piece.Start + piece.Length;
    for (const OccupiedInterval& i : OccupiedIntervals)
        if (i.Start <= a && a <= i.Start + i.Length && i.Start <= b && b <= i.Start + i.Length) return true;
    return false;
}

void ClearBarBlockFlags() {
    amberRedKnown = false;
    redKnown = false;
}

BarBlockNames::BarBlockNames() : blocks_(automation::CadDocument.blocks()) {
    const cad::VariantList all = blocks_.namesFrom(0);
    count_ = qint32(all.value(0).toInt());
    for (qsizetype i = 2; i < all.size(); i += 2) names_.insert(all[i].toText().toLower());
}

QString BarBlockNames::unique(const QString& prefix) const {
    qint32 n = count_;
    QString candidate;
    do {
        ++n;
        candidate = prefix + QString::number(n);
    } while (contains(candidate));
    return candidate;
}

void BarBlockNames::added(const QString& name) {
    if (!names_.contains(name.toLower())) {
        names_.insert(name.toLower());
        ++count_;
    }
}

QString BarPieceBlockName(const BarPiece& piece, const QString& prefix, int groupKind, bool groupBlock,
                          int flag, const BarBlockNames* names) {
    auto unique = [names](const QString& p) {
        return names ? names->unique(p) : automation::MakeUniqueBlockName(p);
    };
    const QString len = QString::number(piece.Length);
    switch (piece.Kind) {
        case PieceAmberRed:
            return prefix + QStringLiteral("STALY_ZOLTOCZERWONY");
        case PieceAmber:
            return prefix + QStringLiteral("STALY_ZOLTY_") + len;
        case PieceFlashingGreen:
            return prefix + QStringLiteral("STALY_PIESIMIGA_") + len;
        case PieceGreen:
            if (flag == 1)
                return unique(prefix + QStringLiteral("IDENTYFIKATOR_ZIELONY_"));
            return unique(prefix +
                                                   (groupKind == KindPedestrian || groupKind == KindBicycle
                                                        ? QStringLiteral("SYGNALIZATOR_PIESZYROWEROWY_")
                                                        : QStringLiteral("SYGNALIZATOR_ZWYKLY_")));
        case PieceRed:
            if (groupBlock)
                return unique(prefix + QStringLiteral("SYGNALIZATOR_ZWYKLY_"));
            return prefix + QStringLiteral("IDENTYFIKATOR_CZERWONY");
        case PieceDark:
            return unique(
                prefix + (groupBlock ? QStringLiteral("SYGNALIZATOR_ZWYKLY_")
                                     : QStringLiteral("IDENTYFIKATOR_DOPELNIENIE_")));
        case PieceComplementAmber:
            return prefix + QStringLiteral("STALY_ZOLTYMIGA_") + len;
        // Its own name: the hatched complement of the same length looks different.
        case PieceFlashingAmber:
            return prefix + QStringLiteral("STALY_ZOLTYMIGA_KRESKI_") + len;
        default:
            return QString();
    }
}

void DrawBarPiece(const BarPiece& piece, long x, long y, int group, const QString& label, int k, int flag,
                  const QString& text, BarBlockNames* names) {
    if (piece.Length < 1) return;
    if (group < 0 || group >= int(GroupTable.size())) return;
    const QString prefix = IntersectionNumber + QLatin1Char('^');
    const bool groupBlock = isGroupBlock(piece, group, label, flag);
    const bool sharedRed = piece.Kind == PieceRed && !groupBlock;
    const QString name =
        BarPieceBlockName(piece, prefix, GroupTable[std::size_t(group)].Kind, groupBlock, flag, names);
    auto exists = [names](const QString& n) {
        return names ? names->contains(n) : automation::CheckBlockExists(n);
    };

    bool create = true;
    if (piece.Kind == PieceAmberRed) {
        if (amberRedKnown || exists(name)) create = false;
        amberRedKnown = true;
    } else if (sharedRed) {
        if (redKnown || exists(name)) create = false;
        redKnown = true;
    } else if (piece.Kind == PieceAmber || piece.Kind == PieceFlashingGreen ||
               piece.Kind == PieceComplementAmber || piece.Kind == PieceFlashingAmber) {
        create = !exists(name);
    }
    // The piece's block when it needs one, its reference and its dimensions.
    if (create) {
        const cad::Block b = (names ? names->blocks() : automation::CadDocument.blocks()).add({0, 0, 0}, name);
        if (names) names->added(name);
        defineFill(b, piece.Kind, sharedRed ? 1.0 : double(piece.Length));
        if (groupBlock) addGroupAttributes(b, piece, group, label, k, text, double(x));
    }
    automation::CadModelSpace.insertBlock({double(x + piece.Start), double(y), 0}, name,
                                          sharedRed ? double(piece.Length) : 1.0, 1, 1, 0);
    addDimensions(piece, x, y);
}

}  // namespace phaseplanner
