// Column letters and A1 addresses.
#include "platform/sheet/Address.h"

#include "platform/sheet/Constants.h"

#include <QStringList>

namespace sheet {

QString columnLetters(int column) {
    if (column < 1 || column > MaxColumns) return QString();
    QString s;
    while (column > 0) {
        int rem = (column - 1) % 26;
        s.prepend(QChar('A' + rem));
        column = (column - 1) / 26;
    }
    return s;
}

int columnNumber(const QString& letters) {
    if (letters.isEmpty() || letters.size() > 3) return 0;
    int n = 0;
    for (QChar ch : letters) {
        char c = ch.toUpper().toLatin1();
        if (c < 'A' || c > 'Z') return 0;
        n = n * 26 + (c - 'A' + 1);
    }
    return n <= MaxColumns ? n : 0;
}

QString cellAddress(int row, int column, bool rowAbsolute, bool columnAbsolute) {
    return (columnAbsolute ? QStringLiteral("$") : QString()) + columnLetters(column) +
           (rowAbsolute ? QStringLiteral("$") : QString()) + QString::number(row);
}

QString rectAddress(const Rect& r, bool absolute) {
    if (r.row1 == 1 && r.row2 == MaxRows) {
        const QString d = absolute ? QStringLiteral("$") : QString();
        return d + columnLetters(r.col1) + QLatin1Char(':') + d + columnLetters(r.col2);
    }
    QString a = cellAddress(r.row1, r.col1, absolute, absolute);
    if (r.row1 == r.row2 && r.col1 == r.col2) return a;
    return a + QLatin1Char(':') + cellAddress(r.row2, r.col2, absolute, absolute);
}

namespace {

// One end of an A1 range: column and/or row, each optional with '$'.
struct Part {
    int row = 0, col = 0;
};

std::optional<Part> parsePart(const QString& s) {
    int i = 0;
    const int n = s.size();
    Part p;
    if (i < n && s[i] == QLatin1Char('$')) ++i;
    int start = i;
    while (i < n && s[i].isLetter() && s[i].unicode() < 128) ++i;
    if (i > start) {
        p.col = columnNumber(s.mid(start, i - start));
        if (p.col == 0) return std::nullopt;
    }
    if (i < n && s[i] == QLatin1Char('$')) ++i;
    start = i;
    while (i < n && s[i].isDigit()) ++i;
    if (i > start) {
        bool ok = false;
        p.row = s.mid(start, i - start).toInt(&ok);
        if (!ok || p.row < 1 || p.row > MaxRows) return std::nullopt;
    }
    if (i != n || (p.row == 0 && p.col == 0)) return std::nullopt;
    return p;
}

}  // namespace

std::optional<Rect> parseRect(const QString& address) {
    const QString s = address.trimmed();
    const QStringList parts = s.split(QLatin1Char(':'));
    if (parts.size() > 2) return std::nullopt;
    auto a = parsePart(parts[0]);
    if (!a) return std::nullopt;
    Part b = *a;
    if (parts.size() == 2) {
        auto pb = parsePart(parts[1]);
        if (!pb) return std::nullopt;
        b = *pb;
    }
    const bool aCell = a->row && a->col, bCell = b.row && b.col;
    Rect r;
    if (aCell && bCell) {
        r = {a->row, a->col, b.row, b.col};
    } else if (parts.size() == 2 && !a->row && !b.row) {
        r = {1, a->col, MaxRows, b.col};  // whole columns
    } else if (parts.size() == 2 && !a->col && !b.col) {
        r = {a->row, 1, b.row, MaxColumns};  // whole rows
    } else {
        return std::nullopt;
    }
    if (r.row1 > r.row2) std::swap(r.row1, r.row2);
    if (r.col1 > r.col2) std::swap(r.col1, r.col2);
    return r;
}

}  // namespace sheet
