// Runs a button's work inside a dialog so that a failure of the CAD is told to the user (titled with
// the dialog's caption) instead of leaving the event loop; the hourglass is taken back.
#pragma once

#include "common/TextHelpers.h"
#include "conflictor/streams/CommandGuard.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QWidget>
#include <exception>

namespace conflictor {

template <class F>
bool RunDialogCommand(QWidget* dialog, F&& work) {
    QString failure;
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = common::Tlumacz(QStringLiteral("nieznany błąd"));
    }
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    ui::MsgBox(UnexpectedErrorMessage(failure), ui::Exclamation, dialog->windowTitle());
    return false;
}

}  // namespace conflictor
