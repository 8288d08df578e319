// The command guard.
#include "conflictor/streams/CommandGuard.h"

#include "automation/CadVariables.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QGuiApplication>
#include <QStringList>
#include <exception>

namespace conflictor {

namespace {
// Module state of the guards: how deep the current run is nested and what it has told already.
int guardDepth = 0;
QStringList toldInRun;
}  // namespace

QString UnexpectedErrorMessage(const QString& detail) {
    return common::Tlumacz(QStringLiteral("Operacja została przerwana z powodu nieoczekiwanego błędu:")) +
           QLatin1Char('\n') + detail;
}

bool RunGuarded(const std::function<void()>& work, const QString& caption, const std::function<void()>& cleanUp) {
    QString failure;
    ++guardDepth;
    try {
        work();
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = common::Tlumacz(QStringLiteral("nieznany błąd"));
    }
    --guardDepth;
    if (!failure.isNull()) {
        if (cleanUp) {
            try {
                cleanUp();
            } catch (const std::exception&) {
                // Putting things back needed the CAD too; the message below says why it failed.
            }
        }
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
        if (!toldInRun.contains(failure)) {
            toldInRun << failure;
            ui::MsgBox(UnexpectedErrorMessage(failure), ui::Exclamation, caption);
        }
    }
    if (guardDepth == 0) toldInRun.clear();
    return failure.isNull();
}

bool RunStreamCommand(const std::function<void()>& command, const std::function<void()>& cleanUp) {
    StreamWindow& window = MainWindow();
    if (window.commandsBlocked() || window.DrawingInProgress) return false;
    return RunGuarded(
        [&] {
            // Commands may let the message loop run (reading the streams, views, dialogs): no other
            // command starts meanwhile.
            CommandBlock block;
            command();
        },
        window.caption(),
        [&] {
            if (cleanUp) cleanUp();
            window.DrawingInProgress = false;
            try {
                if (automation::SavedCadVariables.pending) automation::RestoreCadVariables();
            } catch (const std::exception&) {
                // The CAD refused a value; the message below is what the user needs to see.
            }
            window.setBusyCursor(false);
            window.showWindow();
        });
}

}  // namespace conflictor
