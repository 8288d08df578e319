// Reading the program back: the group blocks' attributes into GroupTable.
#include "phaseplanner/drawing/ProgramReading.h"

#include "automation/BlockAttributes.h"
#include "automation/CadConnection.h"
#include "automation/ReferenceReads.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/PhasePairs.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QHash>

namespace phaseplanner {

void (*ProgramReadHook)() = nullptr;

namespace {

constexpr int kMaxRecords = 101;

int kindFromLetter(QChar letter) {
    switch (letter.toUpper().unicode()) {
        case 'K':
        case 'B':
            return KindVehicle;
        case 'P':
            return KindPedestrian;
        case 'S':
        case 'T':
            return KindTramOrArrow;
        case 'R':
            return KindBicycle;
        default:
            return -1;
    }
}

struct GroupBlockTexts {
    QString ends, id, symbols, phases;
    int complementFrom = -1;
};

GroupBlockTexts readTexts(const automation::ReferenceRow& ref) {
    GroupBlockTexts t;
    bool complement = false;
    for (const auto& [tagString, text] : ref.Attributes) {
        const QString tag = tagString.toUpper();
        if (tag == QLatin1String("POCZATEKKONIEC"))
            t.ends = text;
        else if (tag == QLatin1String("IDENTYFIKATOR"))
            t.id = text;
        else if (tag == QLatin1String("NAZWY_SYGN_GRUPA"))
            t.symbols = text;
        else if (tag == QLatin1String("FAZY_SYGNALU"))
            t.phases = text;
        else if (tag == QLatin1String("DOPELNIAJ_OD")) {
            t.complementFrom = common::ParseInteger(text);
            complement = true;
        }
    }
    if (!complement) t.complementFrom = -1;
    return t;
}

// The group blocks whose label and green index are in range, by record index; the complement
// seconds of their groups into `complementOf`.
std::vector<std::pair<int, GroupBlockTexts>> groupBlocks(const QList<automation::ReferenceRow>& refs,
                                                         QHash<int, int>& complementOf) {
    std::vector<std::pair<int, GroupBlockTexts>> blocks;
    for (const automation::ReferenceRow& ref : refs) {
        if (!ref.HasAttributes) continue;
        GroupBlockTexts t = readTexts(ref);
        const qsizetype cut = t.id.lastIndexOf(QLatin1Char('_'));
        if (cut < 2) continue;
        const QString label = t.id.left(cut);
        const int kind = kindFromLetter(label.back());
        bool numberOk = false;
        const int n = label.left(label.size() - 1).toInt(&numberOk);
        // Labels and green indexes out of range are skipped rather than trusted.
        if (kind < 0 || !numberOk || n < 1 || n > kMaxRecords) continue;
        const QString tail = t.id.mid(cut + 1);
        if (tail.compare(QLatin1String("TYLKOCZERWONE"), Qt::CaseInsensitive) != 0 &&
            tail.compare(QLatin1String("BRAKSYGNALU"), Qt::CaseInsensitive) != 0) {
            qsizetype digits = 0;
            while (digits < tail.size() && tail.at(digits).isDigit()) ++digits;
            const int k = tail.left(digits).toInt();
            if (k < 1 || k > MaxGreens ||
                tail.mid(digits).compare(QLatin1String("AB"), Qt::CaseInsensitive) != 0)
                continue;
        }
        blocks.emplace_back(n - 1, t);
        if (t.complementFrom != -1) complementOf.insert(n - 1, t.complementFrom);
    }
    return blocks;
}

// One group block into its record of GroupTable.
void readGroupBlock(int index, const GroupBlockTexts& t, const QHash<int, int>& complementOf) {
    if (index >= int(GroupTable.size())) GroupTable.resize(std::size_t(index + 1));
    GroupRecord& g = GroupTable[std::size_t(index)];
    const qsizetype cut = t.id.lastIndexOf(QLatin1Char('_'));
    const QString label = t.id.left(cut);
    const QString tail = t.id.mid(cut + 1);
    g.Defined = true;
    g.Kind = kindFromLetter(label.back());
    if (tail.compare(QLatin1String("TYLKOCZERWONE"), Qt::CaseInsensitive) == 0) {
        g.ComplementMode = ModeOnlyRed;
        g.Greens[1].Start = g.Greens[1].Length = 0;
    } else if (tail.compare(QLatin1String("BRAKSYGNALU"), Qt::CaseInsensitive) == 0) {
        g.ComplementMode = ModeNoSignal;
        g.Greens[1].Start = g.Greens[1].Length = 0;
    } else {
        qsizetype digits = 0;
        while (digits < tail.size() && tail.at(digits).isDigit()) ++digits;
        const int k = tail.left(digits).toInt();
        if (k >= 1 && k <= MaxGreens &&
            tail.mid(digits).compare(QLatin1String("AB"), Qt::CaseInsensitive) == 0) {
            const qsizetype dash = t.ends.indexOf(QLatin1Char('-'));
            const int a = common::ParseInteger(dash >= 0 ? t.ends.left(dash) : t.ends);
            const int b = dash >= 0 ? common::ParseInteger(t.ends.mid(dash + 1)) : 0;
            if (a > 0 || b >= 1) {
                GreenInterval& green = g.Greens[std::size_t(k)];
                green.Start = a;
                const bool complemented = g.Kind != KindTramOrArrow && complementOf.contains(index);
                const int wrapAt =
                    complemented ? std::clamp(complementOf.value(index), 0, CycleLength) : CycleLength;
                green.Length = b > a ? b - a : wrapAt - a + b;
                g.ComplementMode = ModeOrdinary;
                ParseSignalPhasePairs(index, k, t.phases);
                g.GreenCount = std::max(g.GreenCount, k);
            }
        }
    }
    if (g.Kind != KindTramOrArrow && g.ComplementMode != ModeNoSignal && t.complementFrom != -1) {
        g.ComplementOn = true;
        g.ComplementFrom = t.complementFrom;
    }
    g.Symbols = t.symbols;
}

}  // namespace

void ReadProgramFromDrawing(bool quiet, bool& ok) {
    ok = false;
    if (!automation::CheckDocumentOpen(true)) return;
    UpdateDrawingProgram(true);
    ProgramWindow& w = MainProgramWindow();
    bool found = false;
    SprawdzSkrzyzowania(found);
    if (!found) {
        if (quiet || ui::MsgBox(common::Tlumacz(
                                    QStringLiteral("Nieprawidłowy dokument. Czy wczytać tabelę programu?")),
                                ui::YesNo | ui::Question, w.caption()) != ui::Yes)
            return;
        WczytajTabele(0);
        if (!automation::CheckDocumentOpen(false)) return;
        SprawdzSkrzyzowania(found);
        if (!found) return;
    }
    GetAtrybutyProgramu();
    if (CycleLength < MinCycleLength) {
        if (!quiet)
            ui::MsgBox(common::Tlumacz(
                           QStringLiteral("Nieprawidłowa wartość długości cyklu zdefiniowana na rysunku!")) +
                           QLatin1Char('\n') +
                           common::Tlumacz(QStringLiteral("Minimalna długość cyklu wynosi: ")) +
                           QString::number(MinCycleLength) + QStringLiteral(" [s]"),
                       ui::Critical, w.caption());
        return;
    }

    GroupTable.assign(1, GroupRecord{});
    const QString prefix = IntersectionNumber.isEmpty() ? QString() : IntersectionNumber + QLatin1Char('^');
    // The group blocks with their attributes in two reads.
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT"))
        .add(2, automation::EscapeFilterText(prefix) + QStringLiteral("SYGNALIZATOR_*"))
        .add(8, QStringLiteral("247-SYGNAL"));
    const QList<automation::ReferenceRow> refs = automation::ReadReferencesWithAttributes(f, {});
    // Complement seconds first: a group's wrapped greens wrap at them, as they were drawn.
    QHash<int, int> complementOf;
    for (const auto& [index, t] : groupBlocks(refs, complementOf)) readGroupBlock(index, t, complementOf);
    SortGroupGreens(-1);
    ok = true;
    if (ProgramReadHook) ProgramReadHook();
}

void SortGroupGreens(int flag) {
    if (flag != -1) return;
    for (GroupRecord& g : GroupTable) {
        if (g.GreenCount <= 0) continue;
        std::vector<GreenInterval> sorted;
        std::vector<bool> taken(std::size_t(g.GreenCount + 1), false);
        for (;;) {
            int best = -1;
            for (int k = 1; k <= g.GreenCount; ++k) {
                const GreenInterval& c = g.Greens[std::size_t(k)];
                if (taken[std::size_t(k)] || c.Length == 0 || c.Start >= CycleLength) continue;
                if (best < 0 || c.Start < g.Greens[std::size_t(best)].Start) best = k;
            }
            if (best < 0) break;
            taken[std::size_t(best)] = true;
            sorted.push_back(g.Greens[std::size_t(best)]);
        }
        for (int k = 1; k <= g.GreenCount; ++k)
            g.Greens[std::size_t(k)] = k <= int(sorted.size()) ? sorted[std::size_t(k - 1)] : GreenInterval{};
    }
}

void SprawdzPoczKon(int /*programType*/, QString& labels) {
    QStringList failing;
    const int c = CycleLength;
    for (int i = 0; i < int(GroupTable.size()); ++i) {
        const GroupRecord& g = GroupTable[std::size_t(i)];
        if (!g.Defined) continue;
        bool fails = false;
        for (int k = 1; k <= g.GreenCount; ++k) {
            const GreenInterval& green = g.Greens[std::size_t(k)];
            if (green.Length <= 0) continue;
            if (green.Start + green.Length > c) fails = true;
            if (g.Kind == KindVehicle && (green.Start - 1 < 0 || green.Start + green.Length + 3 > c))
                fails = true;
        }
        if (fails) failing << GroupLabel(i);
    }
    labels = failing.join(QStringLiteral(", "));
}

}  // namespace phaseplanner
