// The plain text form of a program: writing and reading.
#include "phaseplanner/editor/ProgramText.h"

#include <QStringList>

namespace phaseplanner {

QString FormatProgramText(const std::vector<GroupRecord>& table, int cycleLength) {
    QString out = QStringLiteral("CYKL %1\n").arg(cycleLength);
    for (int i = 0; i < int(table.size()); ++i) {
        const GroupRecord& g = table[std::size_t(i)];
        if (!g.Defined) continue;
        QStringList greens;
        if (g.ComplementMode == ModeOrdinary)
            for (int k = 1; k <= g.GreenCount; ++k)
                if (g.Greens[std::size_t(k)].Length > 0)
                    greens << QStringLiteral("%1+%2")
                                  .arg(g.Greens[std::size_t(k)].Start)
                                  .arg(g.Greens[std::size_t(k)].Length);
        QStringList options;
        if (g.ComplementOn) options << QStringLiteral("DOPELNIJ %1").arg(g.ComplementFrom);
        if (g.ComplementMode == ModeOnlyRed) options << QStringLiteral("TYLKOCZERWONE");
        if (g.ComplementMode == ModeNoSignal) options << QStringLiteral("BRAKSYGNALU");
        out += QStringLiteral("GRUPA %1 | %2 | %3 | %4 | %5\n")
                   .arg(i + 1)
                   .arg(g.Kind)
                   .arg(g.Symbols, greens.join(QLatin1Char(' ')), options.join(QLatin1Char(' ')));
    }
    return out;
}

bool ParseProgramText(const QString& text, std::vector<GroupRecord>& table, int& cycleLength,
                      QString& error) {
    table.clear();
    cycleLength = 0;
    int lineNo = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        auto fail = [&](const QString& why) {
            error = QStringLiteral("wiersz %1: %2").arg(lineNo).arg(why);
            return false;
        };
        if (line.startsWith(QLatin1String("CYKL"), Qt::CaseInsensitive)) {
            bool ok = false;
            cycleLength = line.mid(4).trimmed().toInt(&ok);
            if (!ok || cycleLength < MinCycleLength)
                return fail(QStringLiteral("nieprawidłowa długość cyklu"));
            continue;
        }
        if (!line.startsWith(QLatin1String("GRUPA"), Qt::CaseInsensitive))
            return fail(QStringLiteral("nieznany wiersz"));
        const QStringList f = line.mid(5).split(QLatin1Char('|'));
        if (f.size() < 4) return fail(QStringLiteral("za mało pól"));
        bool ok = false;
        const int nr = f[0].trimmed().toInt(&ok);
        if (!ok || nr < 1 || nr > 101) return fail(QStringLiteral("nieprawidłowy numer grupy"));
        const int kind = f[1].trimmed().toInt(&ok);
        if (!ok || kind < 0 || kind > 3) return fail(QStringLiteral("nieprawidłowy rodzaj grupy"));
        if (int(table.size()) < nr) table.resize(std::size_t(nr));
        GroupRecord& g = table[std::size_t(nr - 1)];
        g = GroupRecord{};
        g.Defined = true;
        g.Kind = kind;
        g.Symbols = f[2].trimmed();
        for (const QString& item : f[3].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList sl = item.split(QLatin1Char('+'));
            bool a = false, b = false;
            const int s = sl.value(0).toInt(&a), l = sl.value(1).toInt(&b);
            if (sl.size() != 2 || !a || !b || s < 0 || l < 0 || g.GreenCount >= MaxGreens)
                return fail(QStringLiteral("nieprawidłowy zielony: ") + item);
            ++g.GreenCount;
            g.Greens[std::size_t(g.GreenCount)].Start = s;
            g.Greens[std::size_t(g.GreenCount)].Length = l;
        }
        const QStringList opts = f.value(4).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (int i = 0; i < opts.size(); ++i) {
            const QString o = opts[i].toUpper();
            if (o == QLatin1String("DOPELNIJ") && i + 1 < opts.size()) {
                g.ComplementOn = true;
                g.ComplementFrom = opts[++i].toInt(&ok);
                if (!ok) return fail(QStringLiteral("nieprawidłowe dopełnienie"));
            } else if (o == QLatin1String("TYLKOCZERWONE")) {
                g.ComplementMode = ModeOnlyRed;
            } else if (o == QLatin1String("BRAKSYGNALU")) {
                g.ComplementMode = ModeNoSignal;
            } else {
                return fail(QStringLiteral("nieznana opcja: ") + opts[i]);
            }
        }
    }
    if (cycleLength == 0) {
        error = QStringLiteral("brak wiersza CYKL");
        return false;
    }
    return true;
}

}  // namespace phaseplanner
