// The words that pick one snap kind for the next point, in English and in Polish.
#include "cadhost/Snap.h"

#include <QRegularExpression>

namespace cadhost {

namespace {

struct OverrideWord {
    SnapPoint::Kind kind;
    const char* english;  // the full word; its first three letters are the usual short form
    const char* polish;   // the full word; three letters or more of it
    const char* name;     // for the notes
};

const OverrideWord Words[] = {
    {SnapPoint::End, "ENDPOINT", "KONIEC", "Koniec"},
    {SnapPoint::Middle, "MIDPOINT", "ŚRODEK", "Środek"},
    {SnapPoint::Center, "CENTER", "CENTRUM", "Centrum"},
    {SnapPoint::Intersection, "INTERSECTION", "PRZECIĘCIE", "Przecięcie"},
    {SnapPoint::Insertion, "INSERTION", "WSTAWIENIE", "Wstawienie"},
    {SnapPoint::Node, "NODE", "WĘZEŁ", "Węzeł"},
    {SnapPoint::Perpendicular, "PERPENDICULAR", "PROSTOPADLE", "Prostopadle"},
    {SnapPoint::Nearest, "NEAREST", "BLISKI", "Bliski"},
};

// Polish letters typed without their marks ("srodek", "wezel") name the same word.
QString plain(QString s) {
    static const QString marked = QStringLiteral("ĄĆĘŁŃÓŚŹŻ"), bare = QStringLiteral("ACELNOSZZ");
    for (int i = 0; i < marked.size(); ++i) s.replace(marked[i], bare[i]);
    return s;
}

bool startsWord(const QString& typed, const QString& word) {
    return typed.size() >= 3 && (word.startsWith(typed) || plain(word).startsWith(plain(typed)));
}

}  // namespace

std::optional<SnapPoint::Kind> SnapOverrideOf(const QString& typed, const QString& prompt) {
    QString k = typed.trimmed().toUpper();
    const bool international = k.startsWith(QLatin1Char('_'));
    while (k.startsWith(QLatin1Char('_'))) k.remove(0, 1);
    if (k.size() < 3) return std::nullopt;
    if (!international) {
        // The prompt's own keywords come first: "Środek" of an arc is not the middle snap.
        static const QRegularExpression options(QStringLiteral(R"(\[([^\]]*)\])"));
        if (const auto m = options.match(prompt); m.hasMatch())
            for (const QString& word : m.captured(1).split(QLatin1Char('/')))
                if (word.toUpper().startsWith(k) || plain(word.toUpper()).startsWith(plain(k))) return std::nullopt;
    }
    for (const OverrideWord& w : Words) {
        if (QString::fromLatin1(w.english).startsWith(k) ||
            (w.kind == SnapPoint::Center && k == QLatin1String("CENTRE")))
            return w.kind;
        if (!international && startsWord(k, QString::fromUtf8(w.polish))) return w.kind;
    }
    return std::nullopt;
}

QString SnapKindName(SnapPoint::Kind kind) {
    for (const OverrideWord& w : Words)
        if (w.kind == kind) return QString::fromUtf8(w.name);
    return {};
}

}  // namespace cadhost
