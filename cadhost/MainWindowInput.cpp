// How the main window takes commands besides the prompt line: from the menus and the toolbar,
// from keys typed while another part of the window has the focus, and Ctrl+Z inside a command.
#include "cadhost/MainWindow.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>

namespace cadhost {

namespace {

// A widget that takes typed text itself: its keys stay with it.
bool takesText(const QWidget* w) {
    if (const auto* line = qobject_cast<const QLineEdit*>(w)) return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(w)) return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(w)) return !plain->isReadOnly();
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
    return qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QMenuBar*>(w) ||
           qobject_cast<const QMenu*>(w);
}

}  // namespace

void MainWindow::runFromMenu(const QString& command) {
    // As Escape would: the window's own command, then the drawing command or pick shown (a
    // program's pick ends as cancelled, as it does on Escape).
    if (hostCommands_.active()) hostCommands_.cancel();
    for (int i = 0; i < 16 && interaction_.currentRequest(); ++i) interaction_.userInput(cad::Input::cancel());
    if (interaction_.currentRequest()) {
        showMessage(QStringLiteral("Najpierw zakończ bieżące polecenie."));
        updatePrompt();
        return;
    }
    input_->clear();
    submitText(command);
}

bool MainWindow::typedToPrompt(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || watched == input_ || watched == view_ || !watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() != this || takesText(w)) return false;
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    // Space stays: it toggles what the panel shows, and no command starts with it.
    if (k->text().isEmpty() || !k->text().at(0).isPrint() || k->text().at(0).isSpace()) return false;
    input_->setFocus(Qt::OtherFocusReason);
    QKeyEvent copy(QEvent::KeyPress, k->key(), k->modifiers(), k->text(), k->isAutoRepeat(), k->count());
    QCoreApplication::sendEvent(input_, &copy);
    return true;
}

bool MainWindow::undoInCommand() {
    static const QRegularExpression offered(QStringLiteral(R"(\[([^\]]*)\])"));
    const QRegularExpressionMatch m = offered.match(prompt_->text());
    if (!m.hasMatch() || !m.captured(1).split(QLatin1Char('/')).contains(QStringLiteral("Cofaj"))) return false;
    input_->clear();
    submitText(QStringLiteral("Cofaj"));
    return true;
}

}  // namespace cadhost
