// Character and substring replacement and the translation hook.
#include "common/TextHelpers.h"

#include "platform/ui/core/Prompt.h"

#include <algorithm>

namespace common {

QString ReplaceCharInText(QString& text, QChar ch, const QString& replacement) {
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == ch)
            result += replacement;
        else
            result += c;
    }
    text = result;
    return text;
}

QString ReplaceCharInCopy(const QString& text, QChar ch, const QString& replacement) {
    QString copy = text;
    return ReplaceCharInText(copy, ch, replacement);
}

QString ReplaceChr(const QString& text, QChar oldChar, QChar newChar) {
    if (oldChar == newChar) {
        ui::MsgBox(Tlumacz(QStringLiteral("ReplaceChr(): oba znaki są identyczne!")), ui::OkOnly);
        return text;
    }
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i)
        if (result[i] == oldChar) result[i] = newChar;
    return result;
}

QString ReplaceSubstring(QString& text, const QString& search, const QString& replacement) {
    if (search.isEmpty()) return text;
    if (replacement.contains(search)) {
        // Restarting from the first character would find the replacement again forever.
        text.replace(search, replacement, Qt::CaseSensitive);
        return text;
    }
    // Same result as restarting at the first character: the text left of a replacement is unchanged
    // and held no occurrence, so a new one can only begin within one search length before it.
    qsizetype from = 0;
    for (;;) {
        qsizetype at = text.indexOf(search, from, Qt::CaseSensitive);
        if (at < 0) break;
        text.replace(at, search.size(), replacement);
        from = std::max<qsizetype>(0, at - search.size() + 1);
    }
    return text;
}

int FindLastChar(const QString& text, QChar ch) {
    return static_cast<int>(text.lastIndexOf(ch)) + 1;
}

QString Tlumacz(const QString& text) {
    return text;
}

bool IsValidIntersectionNumber(const QString& number) {
    if (number.isEmpty()) return false;
    for (QChar ch : number) {
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('-')) return false;
    }
    return true;
}

QString PolishCount(long long n, const QString& one, const QString& few, const QString& many) {
    const long long a = n < 0 ? -n : n;
    const long long last = a % 10, lastTwo = a % 100;
    const QString& noun = a == 1 ? one : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) ? few : many;
    return QString::number(n) + QLatin1Char(' ') + noun;
}

QString ShortForMessage(const QString& text, int limit) {
    QString shown = text.size() > limit ? text.left(limit) + QStringLiteral("…") : text;
    for (QChar& c : shown)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    return shown;
}

QString QuotedForMessage(const QString& text) {
    return QLatin1Char('"') + ShortForMessage(text) + QLatin1Char('"');
}

}  // namespace common
