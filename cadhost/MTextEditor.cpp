// Splitting a multiline text's contents into shown characters and codes, and the box itself.
#include "cadhost/MTextEditor.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace cadhost {

namespace {

// One piece of the contents: a character shown in the box (with the source it came from), or a
// code shown nowhere.
struct Piece {
    QString source;
    QChar shown;  // null for a code
};

std::vector<Piece> piecesOf(const QString& s) {
    std::vector<Piece> out;
    static const QString withArgument = QStringLiteral("ACcfFHQTWpSax");
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out.push_back({QString(c), QChar()});
            ++i;
            continue;
        }
        if (c != QLatin1Char('\\') || i + 1 >= s.size()) {
            out.push_back({QString(c), c});
            ++i;
            continue;
        }
        const QChar d = s[i + 1];
        if (d == QLatin1Char('P')) {
            out.push_back({s.mid(i, 2), QLatin1Char('\n')});
            i += 2;
        } else if (d == QLatin1Char('\\') || d == QLatin1Char('{') || d == QLatin1Char('}')) {
            out.push_back({s.mid(i, 2), d});
            i += 2;
        } else if (d == QLatin1Char('~')) {
            out.push_back({s.mid(i, 2), QLatin1Char(' ')});
            i += 2;
        } else if (withArgument.contains(d)) {
            // A code with an argument runs to its semicolon.
            qsizetype end = s.indexOf(QLatin1Char(';'), i + 2);
            end = end < 0 ? s.size() : end + 1;
            out.push_back({s.mid(i, end - i), QChar()});
            i = end;
        } else {
            out.push_back({s.mid(i, 2), QChar()});  // \L, \l, \O, \o, \K, \k, \N and the like
            i += 2;
        }
    }
    return out;
}

QString escaped(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\P");
        else if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}'))
            out += QLatin1Char('\\') + QString(c);
        else if (c != QLatin1Char('\r'))
            out += c;
    }
    return out;
}

// The shown text's changes, character by character: the edit script of the shortest change from
// `from` to `to` (Myers' difference), as runs of kept characters and the changed stretches between
// them. Each stretch is the shown characters [oldFrom, oldTo) replaced by the new text
// [newFrom, newTo).
constexpr qsizetype MaxDifferences = 4000;

struct Stretch {
    qsizetype oldFrom, oldTo, newFrom, newTo;
};

std::vector<Stretch> changedStretches(const QString& from, const QString& to) {
    // The common start and end are kept without searching.
    qsizetype head = 0;
    while (head < from.size() && head < to.size() && from[head] == to[head]) ++head;
    qsizetype tail = 0;
    while (tail < from.size() - head && tail < to.size() - head &&
           from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        ++tail;
    const qsizetype n = from.size() - head - tail, m = to.size() - head - tail;
    const auto a = [&](qsizetype i) { return from[head + i]; };
    const auto b = [&](qsizetype j) { return to[head + j]; };
    // The furthest reach on each diagonal after each number of differences, kept to walk back.
    // A text rewritten almost whole is one stretch: the search would cost more than it keeps.
    const qsizetype max = std::min<qsizetype>(n + m, MaxDifferences);
    std::vector<std::vector<qsizetype>> trace;
    std::vector<qsizetype> v(size_t(2 * max + 2), 0);
    const qsizetype off = max + 1;
    qsizetype found = -1;
    for (qsizetype d = 0; d <= max && found < 0; ++d) {
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x = (k == -d || (k != d && v[off + k - 1] < v[off + k + 1])) ? v[off + k + 1]
                                                                                  : v[off + k - 1] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && a(x) == b(y)) ++x, ++y;
            v[off + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
        trace.emplace_back(v.begin() + (off - d), v.begin() + (off + d + 1));
    }
    if (found < 0) return {Stretch{head, head + n, head, head + m}};
    // Walking back from the end gives the kept characters (the diagonal runs), last first.
    std::vector<std::pair<qsizetype, qsizetype>> kept;
    qsizetype x = n, y = m;
    for (qsizetype d = found; d > 0; --d) {
        const std::vector<qsizetype>& pv = trace[size_t(d - 1)];
        const qsizetype k = x - y;
        const auto at = [&](qsizetype kk) { return pv[size_t(kk + d - 1)]; };
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));  // a character inserted
        const qsizetype pk = down ? k + 1 : k - 1;
        const qsizetype px = at(pk), py = px - pk;
        const qsizetype midX = down ? px : px + 1, midY = down ? py + 1 : py;
        while (x > midX && y > midY) kept.emplace_back(--x, --y);
        x = px, y = py;
    }
    while (x > 0 && y > 0) kept.emplace_back(--x, --y);
    std::reverse(kept.begin(), kept.end());
    std::vector<Stretch> out;
    qsizetype i = 0, j = 0;
    for (const auto& [ki, kj] : kept) {
        if (ki > i || kj > j) out.push_back({head + i, head + ki, head + j, head + kj});
        i = ki + 1, j = kj + 1;
    }
    if (n > i || m > j) out.push_back({head + i, head + n, head + j, head + m});
    return out;
}

}  // namespace

QString MTextShown(const QString& contents) {
    QString out;
    for (const Piece& p : piecesOf(contents))
        if (!p.shown.isNull()) out += p.shown;
    return out;
}

QString MTextWithCodes(const QString& original, const QString& edited) {
    const std::vector<Piece> pieces = piecesOf(original);
    std::vector<size_t> at;  // the piece of each shown character
    for (size_t i = 0; i < pieces.size(); ++i)
        if (!pieces[i].shown.isNull()) at.push_back(i);
    const QString old = MTextShown(original);
    if (old == edited) return original;
    QString out;
    size_t next = 0;  // the first piece not written yet
    const auto writeUpTo = [&](size_t end) {
        for (; next < end; ++next) out += pieces[next].source;
    };
    // Every kept character keeps its codes around it; each changed stretch is written on its own,
    // so codes between two edits stay where they were.
    for (const Stretch& s : changedStretches(old, edited)) {
        const QString typed = escaped(edited.mid(s.newFrom, s.newTo - s.newFrom));
        if (s.oldFrom < s.oldTo) {
            // Replaced characters: the new text takes the place of the first one, inside the
            // group it was in; codes among the removed characters stay, after the new text.
            writeUpTo(at[size_t(s.oldFrom)]);
            out += typed;
            for (const size_t end = at[size_t(s.oldTo - 1)] + 1; next < end; ++next)
                if (pieces[next].shown.isNull()) out += pieces[next].source;
        } else {
            // Inserted characters take the formatting of the one before them, as typing does
            // (at the very start, of the first one).
            writeUpTo(s.oldFrom > 0 ? at[size_t(s.oldFrom - 1)] + 1 : at.empty() ? pieces.size() : at.front());
            out += typed;
        }
    }
    writeUpTo(pieces.size());
    return out;
}

MTextEditor::MTextEditor(const QString& title, const QString& shown, QWidget* parent)
    : QDialog(parent), edit_(new QPlainTextEdit) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("dlgMText"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tekst (Enter zaczyna nowy wiersz):")));
    edit_->setObjectName(QStringLiteral("txtMText"));
    edit_->setPlainText(shown);
    edit_->setTabChangesFocus(true);
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 220);
    edit_->setFocus();
    edit_->moveCursor(QTextCursor::End);
}

QString MTextEditor::text() const {
    return edit_->toPlainText();
}

std::optional<QString> EditMultilineText(QWidget* parent, const QString& title, const QString& contents) {
    MTextEditor box(title, MTextShown(contents), parent);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return MTextWithCodes(contents, box.text());
}

}  // namespace cadhost
