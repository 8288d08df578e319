// Splitting a multiline text's contents into shown characters and codes, and the box itself.
#include "cadhost/MTextEditor.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
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
    // The changed stretch: what lies between the common start and the common end.
    qsizetype head = 0;
    while (head < old.size() && head < edited.size() && old[head] == edited[head]) ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < edited.size() - head &&
           old[old.size() - 1 - tail] == edited[edited.size() - 1 - tail])
        ++tail;
    const size_t from = size_t(head) < at.size() ? at[size_t(head)] : pieces.size();
    const size_t to = size_t(old.size() - tail) < at.size() ? at[size_t(old.size() - tail)] : pieces.size();
    QString out;
    for (size_t i = 0; i < from; ++i) out += pieces[i].source;
    out += escaped(edited.mid(head, edited.size() - head - tail));
    // Codes inside the changed stretch stay, after the new text.
    for (size_t i = from; i < to; ++i)
        if (pieces[i].shown.isNull()) out += pieces[i].source;
    for (size_t i = to; i < pieces.size(); ++i) out += pieces[i].source;
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
