// The command guard.
#include "conflictor/streams/CommandGuard.h"

#include "automation/CadVariables.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <exception>

namespace conflictor {

QString UnexpectedErrorMessage(const QString& detail) {
    return common::Tlumacz(QStringLiteral("Operacja została przerwana z powodu nieoczekiwanego błędu:")) +
           QLatin1Char('\n') + detail;
}

bool RunStreamCommand(const std::function<void()>& command, const std::function<void()>& cleanUp) {
    StreamWindow& window = MainWindow();
    if (window.commandsBlocked() || window.DrawingInProgress) return false;
    QString failure;
    try {
        // Commands may let the message loop run (reading the streams, views, dialogs): no other
        // command starts meanwhile.
        CommandBlock block;
        command();
        return true;
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = common::Tlumacz(QStringLiteral("nieznany błąd"));
    }
    if (cleanUp) cleanUp();
    window.DrawingInProgress = false;
    try {
        if (automation::SavedCadVariables.pending) automation::RestoreCadVariables();
    } catch (const std::exception&) {
        // The CAD refused a value; the message below is what the user needs to see.
    }
    window.setBusyCursor(false);
    window.showWindow();
    ui::MsgBox(UnexpectedErrorMessage(failure), ui::Exclamation, window.caption());
    return false;
}

}  // namespace conflictor
