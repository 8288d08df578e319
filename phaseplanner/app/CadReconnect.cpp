// Checking the CAD connection before a command and connecting again.
#include "phaseplanner/app/CadReconnect.h"

#include "automation/CadConnection.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/PairHighlight.h"
#include "phaseplanner/drawing/Playback.h"
#include "platform/cad/engine/Errors.h"
#include "platform/ui/core/Prompt.h"

namespace phaseplanner {

bool CadConnectionAnswers() {
    if (automation::CadApplication.isNull()) return true;
    try {
        automation::CadApplication.version();  // one short call: a lost connection fails at once
        return true;
    } catch (const cad::Failed&) {
        return false;
    }
}

bool ReconnectIfLost(const QString& caption) {
    if (CadConnectionAnswers()) return true;
    const QString question =
        common::Tlumacz(QStringLiteral("Połączenie z programem CAD zostało przerwane (program mógł zostać "
                                       "zamknięty lub uruchomiony ponownie).")) +
        QLatin1Char('\n') + common::Tlumacz(QStringLiteral("Czy połączyć ponownie?"));
    if (ui::MsgBox(question, ui::YesNo | ui::Exclamation, caption) != ui::Yes) return false;
    const cad::Application app = automation::ConnectToAutoCad(false);  // says so itself when it fails
    if (app.isNull()) return false;
    automation::CadApplication = app;
    automation::CadDocument = {};
    automation::CadModelSpace = {};
    // What was kept of the old connection's drawings is gone with it.
    ResetPlayback();
    ResetPairHighlight();
    return true;
}

bool RunGuarded(const QString& caption, const std::function<void()>& work) {
    if (!ReconnectIfLost(caption)) return false;
    return RunTrapped(caption, work);
}

bool RunTrapped(const QString& caption, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nieoczekiwany błąd polecenia:")) + QLatin1Char('\n') +
                       QString::fromUtf8(e.what()),
                   ui::Exclamation, caption);
    } catch (...) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nieoczekiwany błąd polecenia.")), ui::Exclamation, caption);
    }
    return false;
}

}  // namespace phaseplanner
