// The box a multiline text is written and edited in: it shows the text, not its codes. A line
// break ("\P" in the drawing) is a line of the box; the other inline codes (fonts, colours,
// heights, stacking, braces) are not shown and are kept where the text around them is kept.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QPlainTextEdit;

namespace cadhost {

// The text of a multiline text's contents as the box shows it.
QString MTextShown(const QString& contents);
// The contents after the shown text was edited: the codes of `original` kept around the text
// that was kept, the new text's line breaks written as "\P" and its backslashes and braces
// escaped.
QString MTextWithCodes(const QString& original, const QString& edited);

class MTextEditor : public QDialog {
    Q_OBJECT
public:
    MTextEditor(const QString& title, const QString& shown, QWidget* parent = nullptr);
    QPlainTextEdit* editor() const { return edit_; }
    QString text() const;

private:
    QPlainTextEdit* edit_;
};

// Asks for a multiline text in the box, starting from `contents` (codes included); the new
// contents, or nullopt when the box was cancelled.
std::optional<QString> EditMultilineText(QWidget* parent, const QString& title, const QString& contents);

}  // namespace cadhost
