// The import of groups and phases from the intergreen workbook and the hand-over to the placement of
// greens; everything is read and checked first, the group table is replaced last.
#include "phaseplanner/drawing/WorkbookImport.h"

#include "automation/CadConnection.h"
#include "automation/WorkbookGroups.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/GreenPlacement.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "phaseplanner/workbook/PhaseSets.h"
#include "platform/sheet/Address.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>

namespace phaseplanner {

void (*PhaseSetChooserHook)() = nullptr;
int HeadlessPhaseSetChoice = 0;

namespace {

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
void warn(const QString& text) {
    ui::MsgBox(text, ui::OkOnly | ui::Exclamation, MainProgramWindow().caption());
}

// A binding of the configuration dialog; its default while the bindings are not filled (no window).
QString settingText(int index, const char* fallback) {
    const common::SettingBinding& b = common::SettingBindings[std::size_t(index)];
    if (b.Key.isEmpty() || !b.Value.isValid()) return QString::fromUtf8(fallback);
    return b.Value.toString();
}

void runChooser() {
    if (PhaseSetChooserHook) {
        PhaseSetChooserHook();
        return;
    }
    const int choice = HeadlessPhaseSetChoice;
    if (choice < 0 || choice >= PhaseSetNames.size()) {
        PhaseSetDialogOk = -1;
        return;
    }
    if (!automation::WorkbookNewLayout) ChosenPhaseSet += choice;
    PhaseSetDialogOk = choice;
}

int kindOf(const QString& symbols) {
    const QString first = symbols.trimmed().left(1).toUpper();
    if (first == QLatin1String("K") || first == QLatin1String("B")) return KindVehicle;
    if (first == QLatin1String("P")) return KindPedestrian;
    if (first == QLatin1String("S") || first == QLatin1String("T")) return KindTramOrArrow;
    if (first == QLatin1String("R")) return KindBicycle;
    return -1;
}

// The new table, one record per group row of the list, each defined group with its phases and
// greens of its minimum length; rows of unknown kind stay free.
std::vector<GroupRecord> importedGroups(sheet::Worksheet& ws, int listColumn, int groupCount, bool detailed,
                                        const std::vector<GroupPhaseEntry>& phaseGroups,
                                        const std::vector<int>& order) {
    const int h = automation::WorkbookHeaderRow;
    std::vector<GroupRecord> table(static_cast<std::size_t>(groupCount));
    for (int i = 0; i < groupCount; ++i) {
        const int row = h + 1 + i;
        const QString symbols = ws.cells(row, listColumn).value().toString().trimmed();
        const int kind = kindOf(symbols);
        if (kind < 0) continue;
        GroupRecord& g = table[std::size_t(i)];
        g.Defined = true;
        g.ComplementMode = ModeOrdinary;
        g.Kind = kind;
        g.Symbols = symbols;
        int minimumGreen = 0;
        if (detailed && GetSetGreenTime(symbols) > 0) {
            minimumGreen = GetSetGreenTime(symbols);
        } else if (kind == KindVehicle || kind == KindTramOrArrow) {
            minimumGreen = MinGreenVehicle;
        } else {
            minimumGreen = common::ParseInteger(ws.cells(row, listColumn + 3).value().toString().trimmed());
            if (minimumGreen < MinGreenPedestrianBicycle + 4) minimumGreen = MinGreenPedestrianBicycle + 4;
        }
        for (const GroupPhaseEntry& e : phaseGroups)
            if (e.GroupNumber == i + 1) {
                g.PhaseList = e.PhaseList;
                break;
            }
        g.GreenCount = std::min(CountGroupPhasesInOrder(g, order), MaxGreens);
        for (int k = 1; k <= g.GreenCount; ++k) {
            g.Greens[std::size_t(k)].Length = minimumGreen;
            g.Greens[std::size_t(k)].LastPhase = -1;
        }
    }
    return table;
}

// Places the greens by the matrix's intergreen times; the cycle length.
int placeImportedGreens(std::vector<GroupRecord>& table, sheet::Worksheet& ws, GreenPlacementInput& input) {
    const bool evacuation = IsEvacuationMatrix(ws);
    input.Intergreen = [&ws, evacuation](int from, int to) {
        return IntergreenValue(ws, from, to, evacuation);
    };
    if (input.DetailedParameters) {
        // The first phase starts as late as its earliest-starting group needs.
        int smallest = 0;
        for (const GroupRecord& g : table)
            if (g.Defined && RecordHasPhase(g, input.PhaseOrder.front()))
                smallest = std::min(smallest, GetPhaseStartShift(g.Symbols));
        input.StartOffset = -smallest;
    }
    return PlaceGreens(table, input);
}

// The group list of the matrix sheet and the matrix under it, checked: the group count (the list's
// column in `listColumn`), or 0 after saying what is wrong.
int checkedGroupList(sheet::Workbook& book, sheet::Worksheet& ws, const QString& caption, int& listColumn) {
    const int groupCount = automation::ReadGroupHeadList(ws, listColumn, false, caption, book);
    if (groupCount < 1 || listColumn < 1) {
        if (const QString problem = GroupListProblem(ws, groupCount, listColumn); !problem.isEmpty())
            warn(problem);
        return 0;
    }
    // The list names the groups the program gets; the matrix rows must be those very groups.
    if (const QString problem = MatrixLabelProblem(ws, groupCount, listColumn); !problem.isEmpty()) {
        warn(problem);
        return 0;
    }
    if (const auto cell = FindMatrixTextCell(ws, groupCount)) {
        warn(MatrixTextCellMessage(*cell));
        return 0;
    }
    return groupCount;
}

// All read and placed: the program becomes the imported one.
void adoptImport(std::vector<GroupRecord> table, int cycle, const sheet::Workbook& book, sheet::Worksheet& ws,
                 int groupCount, const QString& orderText) {
    GroupTable = std::move(table);
    CycleLength = cycle;
    MaxIntergreenTime = ReadMaxIntergreenTime(ws, groupCount);
    PhaseOrderText = orderText;
    ExcelWorkbookName = book.name();
    ExcelWorkbookPath = book.fullName();
    if (ExcelWorkbookName.size() == ExcelWorkbookPath.size()) {
        ExcelWorkbookName.clear();
        ExcelWorkbookPath.clear();
    }
    const QString number = ws.range(QStringLiteral("G2")).text().trimmed();
    if (!number.isEmpty()) AddIntersectionNumber(number, true);
}

}  // namespace

bool frmMain_mnuGrupa_Excel_Click() {
    ProgramWindow& w = MainProgramWindow();
    const QString caption = w.caption();
    if (automation::CheckDocumentOpen(false)) GetAtrybutyProgramu();

    sheet::Workbook* book = nullptr;
    if (!OpenIntergreenWorkbook(book, true, QString()) || !book) return false;
    sheet::Worksheet& ws = book->worksheets(2);
    IntergreenSheet = &ws;  // the matrix of this workbook for the commands that follow
    int listColumn = 14;
    const int groupCount = checkedGroupList(*book, ws, caption, listColumn);
    if (groupCount < 1) return false;
    const bool newLayout = automation::WorkbookNewLayout;

    const int minimumRed = std::max(0, common::ParseInteger(settingText(2, "0")));
    const bool detailed = common::ParseInteger(settingText(3, "0")) == 1;
    const bool extend = common::ParseInteger(settingText(4, "1")) == 1;

    sheet::Worksheet* setSheet = nullptr;
    int setColumn = 0, setHeaderRow = 0;
    const int setCount = ReadPhaseSets(*book, setSheet, groupCount, setColumn, setHeaderRow);
    const int previousChosenSet = ChosenPhaseSet;
    ChosenPhaseSet = newLayout ? setColumn - 2 : setColumn + 1;
    PhaseSetDialogOk = 0;
    if (setCount == 0) {
        ChosenPhaseSet = previousChosenSet;
        warn(T("Brak zdefiniowanych faz!"));
        return false;
    }
    if (setCount >= 2) {
        runChooser();
        if (PhaseSetDialogOk < 0) {
            ChosenPhaseSet = previousChosenSet;
            return false;
        }
    }
    auto fail = [&](const QString& message) {
        ChosenPhaseSet = previousChosenSet;
        if (!message.isEmpty()) warn(message);
        return false;
    };

    // The phases of every group in the chosen set, by group number.
    std::vector<GroupPhaseEntry> phaseGroups;
    {
        sheet::Worksheet& numbers = newLayout ? ws : *setSheet;
        const int numberColumn = newLayout ? listColumn - 1 : setColumn;
        int badRow = 0;
        phaseGroups = ReadGroupPhaseEntries(numbers, setHeaderRow, numberColumn, ChosenPhaseSet, &badRow);
        if (badRow > 0)
            return fail(T("Błąd w danych arkusza Excel!") + QLatin1Char('\n') +
                        T("Komórka %1 nie zawiera numeru grupy: \"%2\".")
                            .arg(sheet::columnLetters(numberColumn) + QString::number(badRow),
                                 common::ShortForMessage(numbers.cells(badRow, numberColumn).value().toString())));
    }

    QString orderText;
    if (newLayout) {
        orderText = PhaseSetOrders.value(PhaseSetDialogOk);
    } else {
        QStringList texts;
        for (const GroupPhaseEntry& e : phaseGroups) texts << e.PhaseList;
        orderText = OrderUpToHighestPhase(texts);
    }
    const std::vector<int> order = ParsePhaseOrder(orderText);
    if (order.empty()) return fail(T("Wybrany zestaw nie zawiera kolejności faz!"));

    if (detailed && int(SetGreenTimes.size()) < groupCount) {
        if (ui::MsgBox(
                T("Tesmar Program - Konfiguracja:") + QLatin1Char('\n') +
                    T("Wybrano pobieranie danych z Excela w oparciu o parametry szczegółowe.") +
                    QLatin1Char('\n') +
                    T("Nie dla wszystkich grup parametry zostały zdefiniowane, czy zastosować dla nich "
                      "parametry ogólne?"),
                ui::YesNo | ui::Question, caption) != ui::Yes)
            return fail(QString());
    }
    // Cancel (Escape) leaves the program as it was.
    const int mergeAnswer = ui::MsgBox(T("Czy łączyć sąsiadujące sygnały?"), ui::YesNoCancel, caption);
    if (mergeAnswer == ui::Cancel) return fail(QString());
    const bool merge = mergeAnswer == ui::Yes;

    std::vector<GroupRecord> table = importedGroups(ws, listColumn, groupCount, detailed, phaseGroups, order);

    GreenPlacementInput input;
    input.PhaseOrder = order;
    input.MergeAdjacentGreens = merge;
    input.MinimumRed = minimumRed;
    input.DetailedParameters = detailed;
    input.ExtendGreens = extend;
    const int cycle = placeImportedGreens(table, ws, input);

    adoptImport(std::move(table), cycle, *book, ws, groupCount, orderText);
    return true;
}

}  // namespace phaseplanner
