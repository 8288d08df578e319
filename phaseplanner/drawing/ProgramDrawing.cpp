// The program drawing: checks, erasing the previous drawing of the intersection, the rows.
#include "phaseplanner/drawing/ProgramDrawing.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "automation/WorkbookGroups.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/Variables.h"
#include "platform/cad/FilteredReads.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>
#include <cmath>

namespace phaseplanner {

namespace {

const QString kSignalLayer = QStringLiteral("247-SYGNAL");
const QString kDimLayer = QStringLiteral("243-WYMIAROWANIE_SEKUNDOWE");

// The entities of the layer inside the rectangle (a failed search still deletes the set on the way out).
void eraseInPolygon(const QString& setName, const QString& layer, double x, double y, double w, double h) {
    automation::HelperSelectionSet set(setName);
    cad::VariantList flat;
    for (const cad::Point& p : {cad::Point{x, y, 0}, cad::Point{x, y - h, 0}, cad::Point{x + w, y - h, 0},
                                cad::Point{x + w, y, 0}, cad::Point{x, y, 0}})
        flat << p.x << p.y << p.z;
    set->send(QStringLiteral("SelectByPolygon"), {int(cad::SelectionSet::CrossingPolygon), cad::Variant(flat),
                                                  cad::Variant(cad::VariantList{8}), cad::Variant(cad::VariantList{layer})});
    if (set->count() > 0) set->erase();
    set.remove();
}

// The bars' references, and with `checkResults` the intersection's intergreen check results (the
// texts beside the table and the group graphs): they were measured on the program drawn before, and a
// redrawn program never stands beside them.
void eraseInserts(const QString& prefix, bool checkResults) {
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT"))
        .add(-4, QStringLiteral("<or"))
        .add(2, prefix + QStringLiteral("SYGNALIZATOR_*"))
        .add(2, prefix + QStringLiteral("IDENTYFIKATOR_*"))
        .add(2, prefix + QStringLiteral("STALY_*"));
    if (checkResults)
        f.add(2, automation::EscapeFilterText(ResultBlockName()))
            .add(2, automation::EscapeFilterText(GraphBlockName()));
    f.add(-4, QStringLiteral("or>"));
    automation::DeleteEach(cad::ReadSelection(automation::CadDocument, f, {}));
}

void deleteBarDefinitions(const QString& prefix, bool oldFormat) {
    QStringList starts{prefix + QStringLiteral("SYGNALIZATOR_ZWYKLY_"),
                       prefix + QStringLiteral("SYGNALIZATOR_PIESZYROWEROWY_"),
                       prefix + QStringLiteral("IDENTYFIKATOR_")};
    if (oldFormat)
        starts << QStringLiteral("SYGNALIZATOR_ZWYKLY_") << QStringLiteral("SYGNALIZATOR_PIESZYROWEROWY_")
               << QStringLiteral("IDENTYFIKATOR_") << QStringLiteral("STALY_");
    // The blocks' kinds and names in one read, then the deletions, where a block still referenced
    // from elsewhere refuses and stays ("?Delete": its failure leaves it and goes on).
    const cad::Document& doc = automation::CadDocument;
    const QList<cad::Block> blocks = doc.blocks().all();
    const cad::VariantList rows =
        cad::ReadProperties(doc, cad::ObjectsOf(blocks), {QStringLiteral("IsLayout"), QStringLiteral("Name")});
    cad::VariantList bars;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const cad::VariantList row = rows.value(i).toArray();
        if (row.value(0).toBool()) continue;
        const QString name = row.value(1).toText();
        if (std::any_of(starts.begin(), starts.end(), [&](const QString& s) { return name.startsWith(s); }))
            bars.append(cad::Variant(blocks[i].ref()));
    }
    if (!bars.isEmpty()) cad::CallEach(doc, bars, QStringLiteral("?Delete"));
}

// The styles and layers the rows draw with: the dimension text style and style (when the program is
// dimensioned), the signal text style made current, and the signal layer made active.
void prepareRowStyles() {
    const cad::Document& d = automation::CadDocument;
    if (DimensioningMode != 0) {
        automation::EnsureTextStyle(QStringLiteral("DIM_TXT"), 1.7, QStringLiteral("arial"), false);
        // "?Item": a missing style is answered with nothing, not a failure.
        cad::DimStyle style(d.channel(),
                            cad::CallEach(d, {cad::Variant(d.dimStyles().ref())}, QStringLiteral("?Item"),
                                          {QStringLiteral("DIM_STYLE")})
                                .value(0)
                                .toObject());
        if (style.isNull()) {
            // The new style copies the drawing's dimension variables, set first.
            cad::SetVariables(
                d,
                {QStringLiteral("DIMTXSTY"), QStringLiteral("DIMASZ"), QStringLiteral("DIMTVP"), QStringLiteral("DIMALTF"),
                 QStringLiteral("DIMCEN"), QStringLiteral("DIMCLRD"), QStringLiteral("DIMCLRE"), QStringLiteral("DIMCLRT"),
                 QStringLiteral("DIMDLI"), QStringLiteral("DIMEXE"), QStringLiteral("DIMEXO"), QStringLiteral("DIMSAH"),
                 QStringLiteral("DIMDEC"), QStringLiteral("DIMTIH"), QStringLiteral("DIMTOH"), QStringLiteral("DIMGAP")},
                {QStringLiteral("DIM_TXT"), 0.5, 0.0, 25.4, 0.09, 5, 5, 5, 0.38, 0.18, 0.0625, 0, 0, 1, 1, 0.09});
            style = d.dimStyles().add(QStringLiteral("DIM_STYLE"));
            style.send(QStringLiteral("CopyFrom"), {d});
        }
        d.setActiveDimStyle(style);
    }
    automation::EnsureTextStyle(QStringLiteral("SYGN_TXT"), 1.5, QStringLiteral("arial"), true);
    automation::EnsureLayer(QStringLiteral("401-SYGNAL_POCZATEK_KONIEC"), false);
    automation::EnsureLayer(kSignalLayer, true);
}

QString pieceText(int a, int b) {
    return QString::number(a) + QLatin1Char('-') + QString::number(b);
}

// The part of a piece up to the row end, and the rest from 0 unless it lies in what is occupied.
void drawWrapping(const BarPiece& piece, int rowEnd, long x0, long y, int group, const QString& label, int k,
                  bool record, BarBlockNames& names) {
    if (piece.Start + piece.Length > rowEnd) {
        const BarPiece head{piece.Kind, piece.Start, rowEnd - piece.Start};
        if (head.Length > 0) {
            DrawBarPiece(head, x0, y, group, label, k, 0, QString(), &names);
            if (record) AddOccupiedInterval(head);
        }
        const BarPiece rest{piece.Kind, 0, piece.Start + piece.Length - std::max(rowEnd, piece.Start)};
        if (rest.Length > 0 && !IsPieceCovered(rest)) {
            DrawBarPiece(rest, x0, y, group, label, k, 0, QString(), &names);
            if (record) AddOccupiedInterval(rest);
        }
    } else {
        DrawBarPiece(piece, x0, y, group, label, k, 0, QString(), &names);
        if (record) AddOccupiedInterval(piece);
    }
}

}  // namespace

QString GroupLetter(const GroupRecord& group) {
    const QChar first = group.Symbols.isEmpty() ? QChar() : group.Symbols.at(0).toUpper();
    switch (group.Kind) {
        case KindVehicle:
            return first == QLatin1Char('B') ? QStringLiteral("B") : QStringLiteral("K");
        case KindPedestrian:
            return QStringLiteral("P");
        case KindTramOrArrow:
            return first == QLatin1Char('T') ? QStringLiteral("T") : QStringLiteral("S");
        default:
            return QStringLiteral("R");
    }
}

QString GroupLabel(int index) {
    return QString::number(index + 1) + GroupLetter(GroupTable[std::size_t(index)]);
}

int RowEnd(const GroupRecord& group, int cycleLength) {
    return group.ComplementOn ? std::clamp(group.ComplementFrom, 0, cycleLength) : cycleLength;
}

int DrawnRowCount() {
    int rows = 0;
    for (int i = 0; i < int(GroupTable.size()); ++i)
        if (GroupTable[std::size_t(i)].Defined) rows = i + 1;
    return rows;
}

bool SettleIntersection() {
    cmbNo_Click();
    if (!IntersectionNumber.isEmpty()) return true;
    ui::MsgBox(common::Tlumacz(QStringLiteral("Nieprawidłowy numer skrzyżowania!")), ui::Exclamation,
               MainProgramWindow().caption());
    return false;
}

bool DrawProgram(bool askForTemplate, bool documentChecked) {
    ClearBarBlockFlags();
    if (DefinedGroupCount() == 0) return false;
    ProgramWindow& w = MainProgramWindow();
    if (!SettleIntersection()) return false;
    if (CycleLength <= 0) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nieprawidłowa wartość długości cyklu!")), ui::Exclamation,
                   w.caption());
        return false;
    }
    const int type = w.programType();
    if (type == 1 || type == 2) {
        QString labels;
        SprawdzPoczKon(type, labels);
        if (!labels.isEmpty()) {
            ui::MsgBox(common::Tlumacz(QStringLiteral("Przewiń program ze względu na grupę:")) +
                           QLatin1Char('\n') + labels + QLatin1Char('!'),
                       ui::Exclamation, w.caption());
            return false;
        }
        // The largest intergreen time of the workbook's matrix.
        sheet::Workbook* book = nullptr;
        int groups = 0;
        if (OpenIntergreenWorkbook(book, true, QString()) && book) {
            int column = 14;
            groups = automation::ReadGroupHeadList(book->worksheets(2), column, false, w.caption(), *book);
        }
        if (groups < 1) {
            ui::MsgBox(
                common::Tlumacz(QStringLiteral("Nie można ustalić maksymalnego czasu międzyzielonego!")),
                ui::Exclamation, w.caption());
            return false;
        }
        MaxIntergreenTime = ReadMaxIntergreenTime(book->worksheets(2), groups);
    }
    if (!documentChecked && !automation::CheckDocumentOpen(true)) return false;
    ProgramAttributeBlockName = ProgramAttributeBlockNameFor(IntersectionNumber);
    bool found = false;
    SprawdzSkrzyzowania(found);
    if (!found) {
        if (!askForTemplate || ui::MsgBox(common::Tlumacz(QStringLiteral(
                                              "Nieprawidłowy dokument. Czy wczytać tabelę programu?")),
                                          ui::YesNo | ui::Question, w.caption()) != ui::Yes)
            return false;
        // The load draws the program into the new drawing itself.
        return WczytajTabele(0);
    }

    const QString prefix = IntersectionNumber + QLatin1Char('^');
    const QString escaped = automation::EscapeFilterText(prefix);
    const double width = MaxCycleLength > 120 ? MaxCycleLength + 55 : 175;
    // The whole table whatever its row count: 8 units a row and a margin.
    const int rows = std::max({DrawnRowCount(), int(GroupTable.size()), GroupCountSetting});
    const double height = std::max(270.0, 8.0 * rows + 16);
    const double x = ProgramTableOrigin.Point.X, y = ProgramTableOrigin.Point.Y;
    // The old-format test traps failures of its own, so it comes first. Then the program drawn
    // before goes (the dimensions and numbers inside the table, the bars' references, older
    // drawings' unprefixed ones too, and their definitions), the program block is written again
    // and every piece of every bar makes its block, reference and dimensions: many calls whose
    // answers the command never reads, made as one batch. Nothing in it traps a CAD failure of
    // another call (the selection sets' names trap only a name in use), so a failure is thrown here.
    cad::Entity oldFormatRef;
    const bool oldFormat = automation::FindFirstInsert(QStringLiteral("SYGNALIZATOR_ZWYKLY_*"), oldFormatRef);
    const cad::DeferredCalls drawing(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
    automation::EnsureLayer(kDimLayer, false);
    automation::EnsureLayer(QStringLiteral("255-ROBOCZA"), false);
    eraseInPolygon(QStringLiteral("SSKasWym"), kDimLayer, x, y + 4, width, height + 4);
    eraseInPolygon(QStringLiteral("SSKasNr"), kSignalLayer, x - 15, y, width, height);
    eraseInserts(escaped, true);
    if (oldFormat) eraseInserts(QString(), false);
    deleteBarDefinitions(prefix, oldFormat);

    ApplyServiceView();
    UstawWidoczneAtrybuty(true);  // the drawing was found open above
    prepareRowStyles();
    DrawGroupRows(-1, long(std::trunc(x)), long(std::trunc(y)), type);
    automation::CadDocument.regen(1);
    return true;
}

int ProgramBarsShift(int programType) {
    return programType == 1 ? MaxCycleLength - CycleLength : 0;
}

namespace {

// One row of the table and what every piece of it needs.
struct Row {
    int i;  // the record in GroupTable
    const GroupRecord& g;
    long originX, y, x0;
    int r;  // where the row ends
    QString label;
    bool pedOrBike;
    int programType, shift, extension;
};

// A signalled row's greens, each with what follows and precedes it, then red wherever nothing is.
void drawGreens(const Row& row, BarBlockNames& names) {
    const auto& [i, g, originX, y, x0, r, label, pedOrBike, programType, shift, extension] = row;
    ResetOccupiedIntervals();
    for (int k = 1; k <= g.GreenCount && k <= MaxGreens; ++k) {
        const GreenInterval& green = g.Greens[std::size_t(k)];
        if (green.Length < 1) continue;
        // A pedestrian or bicycle green ends in 4 s of flashing; a shorter green keeps at
        // least a second of plain green, so that its block (and with it the green) is drawn.
        const int drawn = pedOrBike ? std::max(1, green.Length - 4) : green.Length;
        int end;
        if (green.Start + drawn <= r) {
            const int shown = green.Start + green.Length > r ? green.Start + green.Length - r
                                                             : green.Start + green.Length;
            const BarPiece p{PieceGreen, green.Start, drawn};
            DrawBarPiece(p, x0, y, i, label, k, 0, pieceText(green.Start, shown), &names);
            AddOccupiedInterval(p);
            end = green.Start + drawn;
        } else {
            const BarPiece first{PieceGreen, green.Start, r - green.Start};
            DrawBarPiece(first, x0, y, i, label, k, 1, QString(), &names);
            if (first.Length > 0) AddOccupiedInterval(first);
            const BarPiece second{PieceGreen, 0, green.Start + drawn - r};
            DrawBarPiece(second, x0, y, i, label, k, 2,
                         pieceText(green.Start, green.Start + green.Length - r), &names);
            AddOccupiedInterval(second);
            end = green.Start + drawn - r;
        }
        if (g.Kind != KindTramOrArrow) {
            const BarPiece after = pedOrBike ? BarPiece{PieceFlashingGreen, end, green.Length - drawn}
                                             : BarPiece{PieceAmber, end, 3};
            if (after.Length >= 1) drawWrapping(after, r, x0, y, i, label, k, true, names);
        }
        if (g.Kind == KindVehicle) {
            int s = green.Start - 1;
            bool draw = true;
            if (s < 0) {
                s += r;
                draw = !g.ComplementOn;
            }
            if (draw) {
                const BarPiece ar{PieceAmberRed, s, 1};
                DrawBarPiece(ar, x0, y, i, label, k, 0, QString(), &names);
                AddOccupiedInterval(ar);
            }
        }
    }
    if (g.Kind != KindTramOrArrow) {
        SortOccupiedIntervals();
        if (!OccupiedIntervals.empty() && OccupiedIntervals[0].Length >= 1) {
            int cursor = 0;
            for (const OccupiedInterval& o : OccupiedIntervals) {
                if (o.Start > cursor)
                    DrawBarPiece({PieceRed, cursor, o.Start - cursor}, x0, y, i, QString(), 1, 0, {}, &names);
                cursor = std::max(cursor, o.Start + o.Length);
            }
            if (cursor < r)
                DrawBarPiece({PieceRed, cursor, r - cursor}, x0, y, i, QString(), 1, 0, {}, &names);
        }
    }
}

void drawRow(const Row& row, BarBlockNames& names) {
    const auto& [i, g, originX, y, x0, r, label, pedOrBike, programType, shift, extension] = row;
    const int c = CycleLength;
    if (g.ComplementMode != ModeOnlyRed && g.ComplementMode != ModeNoSignal) {
        drawGreens(row, names);
    } else {
        BarPiece p{g.ComplementMode == ModeOnlyRed ? PieceRed : PieceDark, 0, r};
        long px = x0;
        if (programType == 1 && p.Kind == PieceRed && pedOrBike) {
            p.Length += 5 + extension;
            px -= 5 + extension;
        }
        DrawBarPiece(p, px, y, i, label, 1, 0, QString(), &names);
    }
    if (g.ComplementOn && g.Kind != KindTramOrArrow) {
        const BarPiece comp{g.Kind == KindVehicle ? PieceComplementAmber : PieceDark, r, c - r};
        DrawBarPiece(comp, x0, y, i, label, 1, 0, QString(), &names);
    }
    if (programType == 1 && g.Kind != KindTramOrArrow &&
        !(pedOrBike && g.ComplementMode == ModeOnlyRed)) {
        if (extension > 0)
            DrawBarPiece({PieceRed, 0, extension}, x0 - extension, y, i, QString(), 1, 0, {}, &names);
        if (g.Kind == KindVehicle) {
            DrawBarPiece({PieceAmber, 0, 5}, x0 - 5 - extension, y, i, QString(), 1, 0, {}, &names);
            DrawBarPiece({PieceFlashingAmber, 0, shift - 5 - extension}, originX, y, i, QString(), 1, 0,
                         {}, &names);
        }
    }
    if (programType == 2 && g.Kind != KindTramOrArrow) {
        if (extension > 0) DrawBarPiece({PieceRed, c, extension}, originX, y, i, QString(), 1, 0, {}, &names);
        if (g.Kind == KindVehicle)
            DrawBarPiece({PieceFlashingAmber, c + extension, MaxCycleLength - c - extension}, originX, y,
                         i, QString(), 1, 0, {}, &names);
    }
    cad::Entity t =
        automation::CadModelSpace.addText(label, {double(originX - 10), double(y) - 3.25, 0}, 2.5);
    t.setLayer(kSignalLayer);
}

}  // namespace

void DrawGroupRows(int row, long originX, long originY, int programType) {
    const int c = CycleLength;
    std::vector<int> records;
    if (row < 0) {
        for (int i = 0; i < int(GroupTable.size()); ++i)
            if (GroupTable[std::size_t(i)].Defined) records.push_back(i);
    } else {
        const int i = ZnajdzIdxGrupy(row);
        if (i >= 0) records.push_back(i);
    }

    int shift = 0, extension = 0;
    if (programType == 1) {
        int m = c;
        for (int i : records)
            for (int k = 1; k <= GroupTable[std::size_t(i)].GreenCount; ++k)
                if (GroupTable[std::size_t(i)].Greens[std::size_t(k)].Length > 0)
                    m = std::min(m, GroupTable[std::size_t(i)].Greens[std::size_t(k)].Start);
        extension = m < MaxIntergreenTime ? MaxIntergreenTime - m : 0;
        shift = ProgramBarsShift(programType);
    } else if (programType == 2) {
        int e = 0;
        for (int i : records)
            for (int k = 1; k <= GroupTable[std::size_t(i)].GreenCount; ++k) {
                const GreenInterval& g = GroupTable[std::size_t(i)].Greens[std::size_t(k)];
                if (g.Length > 0) e = std::max(e, g.Start + g.Length);
            }
        extension = std::max(0, MaxIntergreenTime + e - c);
    }

    // The block names are read once and kept up here: no piece asks whether its block exists.
    BarBlockNames names;
    for (int i : records) {
        const GroupRecord& g = GroupTable[std::size_t(i)];
        drawRow({i, g, originX, originY - 8L * i, originX + shift, RowEnd(g, c), GroupLabel(i),
                 g.Kind == KindPedestrian || g.Kind == KindBicycle, programType, shift, extension},
                names);
    }
}

}  // namespace phaseplanner
