// Group editing rules.
#include "phaseplanner/editor/GroupEditing.h"

#include "common/NumberText.h"
#include "common/TextHelpers.h"

#include <QStringList>

namespace phaseplanner {

namespace {
bool allDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}
bool rowQualifies(const GreenRow& row) {
    return !row.Start.isEmpty() && !row.Length.isEmpty() && common::ParseInteger(row.Length) >= 1;
}

// The group dialog's messages about a green's start and length.
QString greenStartMessage(const QString& start, int cycleLength) {
    return common::Tlumacz(QStringLiteral("Nieprawidłowy początek sygnału zielonego: %1 [s]!\n"
                                          "Początek musi być mniejszy od długości cyklu (%2 [s])."))
        .arg(start)
        .arg(cycleLength);
}

QString greenLengthMessage(const QString& length, int cycleLength) {
    return common::Tlumacz(QStringLiteral("Nieprawidłowa długość sygnału zielonego: %1 [s]!\n"
                                          "Długość nie może przekraczać długości cyklu (%2 [s])."))
        .arg(length)
        .arg(cycleLength);
}

}  // namespace

QString CheckGreenRows(const std::vector<GreenRow>& rows, int cycleLength) {
    int kept = 0;
    for (const GreenRow& row : rows) {
        const QString s = row.Start.trimmed(), l = row.Length.trimmed();
        // A typed start whose length never arrived (Tab lost it) is no green to drop quietly.
        if (!s.isEmpty() && l.isEmpty())
            return common::Tlumacz(QStringLiteral("Nie podano długości sygnału zielonego rozpoczynającego "
                                                  "się w %1 [s]!"))
                .arg(s);
        if (s.isEmpty() || l.isEmpty()) continue;
        if (!allDigits(s) || !allDigits(l))
            return common::Tlumacz(QStringLiteral("Sygnały zielone: dozwolone są tylko cyfry."));
        const qlonglong start = s.toLongLong(), length = l.toLongLong();
        if (length == 0) continue;
        if (start >= cycleLength) return greenStartMessage(s, cycleLength);
        if (length > cycleLength) return greenLengthMessage(l, cycleLength);
        if (++kept > MaxGreens)
            return common::Tlumacz(QStringLiteral("Grupa może mieć najwyżej %1 sygnałów zielonych."))
                .arg(MaxGreens);
    }
    return QString();
}

void ReadGreensFromRows(GroupRecord& record, const std::vector<GreenRow>& rows, const GroupRecord& source) {
    int n = 0;
    for (const GreenRow& row : rows) {
        if (!rowQualifies(row) || n >= MaxGreens) continue;
        ++n;
        GreenInterval& g = record.Greens[n];
        const GreenInterval from = row.SourceGreen >= 1 && row.SourceGreen <= source.GreenCount
                                       ? source.Greens[row.SourceGreen]
                                       : GreenInterval{};
        g.Start = common::ParseInteger(row.Start);
        g.Length = common::ParseInteger(row.Length);
        g.Flag = 0;
        g.Phases = from.Phases;
        g.LastPhase = from.LastPhase;
    }
    record.GreenCount = n;
}

bool ApplyComplement(GroupRecord& record, int from, bool checkOnly, int cycleLength) {
    const int kind = record.Kind;
    const bool takesPart =
        kind == KindVehicle || kind == KindTramOrArrow ||
        ((kind == KindPedestrian || kind == KindBicycle) && record.ComplementMode != ModeNoSignal);
    if (!takesPart) return false;
    if (!checkOnly && kind != KindTramOrArrow) {
        record.ComplementOn = true;
        record.ComplementFrom = from;
    }
    // Without greens there is no first green to test (a stale one must not decide).
    if (record.GreenCount < 1) return false;
    GreenInterval& first = record.Greens[1];
    const int end = first.Start + first.Length;
    bool conflict = false;
    if (kind == KindTramOrArrow)
        conflict = end > from && end <= cycleLength;
    else if (kind == KindVehicle)
        conflict = record.ComplementMode == ModeOrdinary && end + 3 > from && end <= cycleLength;
    else
        conflict = end > from && end <= cycleLength;

    if (!conflict) {
        if (!checkOnly && end > cycleLength) {
            first.Start = 0;
            first.Length = end - cycleLength;
        }
        return false;
    }
    if (checkOnly) return true;
    record.ComplementMode = kind == KindTramOrArrow ? ModeNoSignal : ModeOnlyRed;
    for (int k = 1; k <= record.GreenCount && k <= MaxGreens; ++k) {
        record.Greens[k].Start = 0;
        record.Greens[k].Length = 0;
    }
    record.GreenCount = 0;
    return true;
}

QString ComplementWarningText(bool currentChanges, const std::vector<ComplementHit>& others) {
    QString text;
    if (currentChanges)
        text = common::Tlumacz(QStringLiteral("Bieżąca grupa zostanie zmieniona na \"tylko czerwone\".")) +
               QLatin1Char('\n');
    if (!others.empty()) {
        text +=
            common::Tlumacz(QStringLiteral(
                "Następujące grupy przy zmianie dopełnienia zostaną zmodyfikowane na \"tylko czerwone\"")) +
            QLatin1Char('\n');
        text += common::Tlumacz(QStringLiteral("lub na \"brak sygnału\" (w przypadku strzałki):")) +
                QLatin1Char('\n');
        QStringList items;
        for (const ComplementHit& h : others)
            items << QString::number(h.Number) + QLatin1Char(' ') + GroupKindWord(h.Kind);
        text += items.join(QStringLiteral(", ")) + QLatin1Char('\n');
    }
    return text;
}

GroupRecord NewGroupRecord() {
    GroupRecord r;
    r.Defined = true;
    return r;
}

bool IsGroupCellEditable(const GroupRecord& group, int column, int lastColumn) {
    if (column < 3 || !group.Defined || group.ComplementMode != ModeOrdinary) return false;
    if (column == lastColumn) return group.ComplementOn;
    if (column > lastColumn) return false;
    const int k = column / 3;
    return k >= 1 && k <= group.GreenCount && k <= MaxGreens;
}

QString CheckGreenCell(const GroupRecord& group, int column, int lastColumn, int value, int cycleLength) {
    if (column == lastColumn || column < 3 || !IsGroupCellEditable(group, column, lastColumn)) return {};
    const GreenInterval& green = group.Greens[column / 3];
    switch (column % 3) {
        case 0:  // the cycle's end second is its start: taken as 0
            return value > cycleLength ? greenStartMessage(QString::number(value), cycleLength) : QString();
        case 1:
            return value > cycleLength ? greenLengthMessage(QString::number(value), cycleLength) : QString();
        default: {
            const int length = value > green.Start ? value - green.Start : cycleLength + value - green.Start;
            return length > cycleLength ? greenLengthMessage(QString::number(length), cycleLength)
                                        : QString();
        }
    }
}

bool CommitGroupCell(GroupRecord& group, int column, int lastColumn, int value, int cycleLength,
                     int maxCycleLength) {
    if (!IsGroupCellEditable(group, column, lastColumn)) return false;
    if (column == lastColumn) {
        if (value < 0 || value > maxCycleLength || group.ComplementFrom == value) return false;
        group.ComplementFrom = value;
        return true;
    }
    GreenInterval& green = group.Greens[column / 3];
    switch (column % 3) {
        case 0:
            if (green.Start == value) return false;
            green.Start = value == cycleLength ? 0 : value;
            return true;
        case 1:
            if (green.Length == value) return false;
            green.Length = value;
            return true;
        default: {
            const int length = value > green.Start ? value - green.Start : cycleLength + value - green.Start;
            if (green.Length == length) return false;
            green.Length = length;
            return true;
        }
    }
}

bool IsValidNewIntersectionNumber(const QString& number) {
    if (number.isEmpty()) return false;
    for (const QChar c : number)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-')) return false;
    return true;
}

}  // namespace phaseplanner
