// Message, input, file and folder dialogs of the prompt service in Qt Widgets.
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace ui {

namespace {

// What a title bar takes beside its text: the window icon and the three buttons with their gaps.
constexpr int kTitleBarRoom = 160;
// The margin of a dialog's layout on either side.
constexpr int kLayoutMargin = 11;

// Buttons of each button set in the order callers give, with their captions.
struct ButtonSpec {
    int result;
    const char* caption;
};

std::vector<ButtonSpec> buttonsOf(int flags) {
    const ButtonSpec ok{Ok, "OK"};
    const ButtonSpec cancel{Cancel, "Anuluj"};
    const ButtonSpec abort{Abort, "Przerwij"};
    const ButtonSpec retry{Retry, "Ponów próbę"};
    const ButtonSpec ignore{Ignore, "Ignoruj"};
    const ButtonSpec yes{Yes, "Tak"};
    const ButtonSpec no{No, "Nie"};
    switch (ButtonsOf(flags)) {
        case OkCancel:
            return {ok, cancel};
        case AbortRetryIgnore:
            return {abort, retry, ignore};
        case YesNoCancel:
            return {yes, no, cancel};
        case YesNo:
            return {yes, no};
        case RetryCancel:
            return {retry, cancel};
        default:
            return {ok};
    }
}

QMessageBox::Icon iconOf(int flags) {
    switch (IconOf(flags)) {
        case Critical:
            return QMessageBox::Critical;
        case Question:
            return QMessageBox::Question;
        case Exclamation:
            return QMessageBox::Warning;
        case Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QWidget* ownerWindow() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) w = QApplication::activeWindow();
    return w;
}

}  // namespace

QMessageBox* WidgetPrompts::buildMessageBox(const QString& text, int flags, const QString& title,
                                            QWidget* parent) {
    auto* box = new QMessageBox(parent);
    box->setWindowTitle(title.isEmpty() ? DefaultTitle() : title);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setIcon(iconOf(flags));
    const auto specs = buttonsOf(flags);
    QPushButton* escape = nullptr;
    std::vector<QPushButton*> buttons;
    // One role for all keeps the order callers give and stops Qt from choosing an escape button itself:
    // as before, a Yes/No or Abort/Retry/Ignore box can be left only through one of its buttons.
    for (const ButtonSpec& spec : specs) {
        QPushButton* b = box->addButton(QString::fromUtf8(spec.caption), QMessageBox::ActionRole);
        b->setProperty("msgResult", spec.result);
        buttons.push_back(b);
        if (spec.result == Cancel) escape = b;
    }
    // Esc cancels where there is a Cancel button, and closes a lone OK.
    if (!escape && specs.size() == 1) escape = buttons.front();
    if (escape) box->setEscapeButton(escape);
    // The same default as the headless and scripted services give.
    const int defaultResult = DefaultMessageResult(flags);
    for (QPushButton* b : buttons)
        if (b->property("msgResult").toInt() == defaultResult) box->setDefaultButton(b);
    return box;
}

int WidgetPrompts::resultOf(const QAbstractButton* clicked) {
    if (!clicked) return Cancel;
    QVariant result = clicked->property("msgResult");
    return result.isValid() ? result.toInt() : Cancel;
}

int WidgetPrompts::message(const QString& text, int flags, const QString& title) {
    QMessageBox* box = buildMessageBox(text, flags, title, ownerWindow());
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    int result = clicked ? resultOf(clicked) : resultOf(box->escapeButton());
    delete box;
    return result;
}

QInputDialog* WidgetPrompts::buildInputDialog(const InputRequest& request, QWidget* parent) {
    auto* dialog = new QInputDialog(parent);
    dialog->setWindowTitle(request.title.isEmpty() ? DefaultTitle() : request.title);
    dialog->setLabelText(request.prompt);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(request.defaultText);
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Anuluj"));
    // A short prompt would leave the box narrower than its title, which the title bar then cuts short
    // ("Tesma… .1.0.0"): the box is as wide as the title in its font plus the bar's icon and buttons.
    // The dialog's layout fixes its minimum size to that of its contents, so the text field carries the
    // width.
    const int titleWidth = QFontMetrics(dialog->font()).horizontalAdvance(dialog->windowTitle()) + kTitleBarRoom;
    if (auto* field = dialog->findChild<QLineEdit*>()) {
        const QMargins margins = dialog->contentsMargins();
        field->setMinimumWidth(std::max(field->minimumSizeHint().width(),
                                        titleWidth - margins.left() - margins.right() - 2 * kLayoutMargin));
    }
    if (request.xTwips >= 0 && request.yTwips >= 0) dialog->move(request.xTwips / 15, request.yTwips / 15);
    return dialog;
}

std::optional<QString> WidgetPrompts::input(const InputRequest& request) {
    QInputDialog* dialog = buildInputDialog(request, ownerWindow());
    std::optional<QString> result;
    if (dialog->exec() == QDialog::Accepted) result = dialog->textValue();
    delete dialog;
    return result;
}

QStringList WidgetPrompts::nameFiltersOf(const QString& filter) {
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");  // every file, with or without extension
        }
        QString joined = patterns.join(QLatin1Char(' '));
        // Qt takes the patterns from the last parentheses of the text, so the description's own
        // "(*.x)" is replaced by the real patterns.
        qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        filters << (description.isEmpty() ? joined
                                          : description + QStringLiteral(" (") + joined + QLatin1Char(')'));
    }
    if (filters.isEmpty() && !filter.trimmed().isEmpty()) filters << filter.trimmed();
    return filters;
}

QFileDialog* WidgetPrompts::buildFileDialog(const FileRequest& request, QWidget* parent) {
    auto* dialog = new QFileDialog(parent, request.title.isEmpty() ? DefaultTitle() : request.title);
    const QStringList filters = nameFiltersOf(request.filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        int index = request.filterIndex - 1;
        if (index < 0 || index >= filters.size()) index = 0;
        dialog->selectNameFilter(filters[index]);
        // A typed name without extension gets the first extension of the chosen filter, as before.
        QString pattern = filters[index].section(QLatin1Char('('), -1).section(QLatin1Char(' '), 0, 0);
        pattern.remove(QLatin1Char(')'));
        QString extension = pattern.startsWith(QLatin1String("*.")) ? pattern.mid(2) : QString();
        if (!extension.isEmpty() && !extension.contains(QLatin1Char('*')) &&
            !extension.contains(QLatin1Char('?')))
            dialog->setDefaultSuffix(extension);
    }
    QString folder = request.initialFolder;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.isEmpty()) dialog->setDirectory(folder);
    if (request.kind == FileRequest::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (!request.fileName.isEmpty()) {
        QString name = request.fileName;
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        dialog->selectFile(name);
    }
    return dialog;
}

std::optional<QString> WidgetPrompts::file(const FileRequest& request) {
    QFileDialog* dialog = buildFileDialog(request, ownerWindow());
    std::optional<QString> result;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        result = dialog->selectedFiles().first();
    delete dialog;
    return result;
}

std::optional<QString> WidgetPrompts::folder(const QString& title, const QString& initialFolder) {
    QString start = initialFolder;
    start.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QFileDialog dialog(ownerWindow(), title.isEmpty() ? DefaultTitle() : title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        return dialog.selectedFiles().first();
    return std::nullopt;
}

}  // namespace ui
