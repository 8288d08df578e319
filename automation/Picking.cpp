// Picks through the drawing's utility object and the waiting command helper.
#include "automation/Picking.h"

#include "automation/CadConnection.h"
#include "automation/Selection.h"
#include "platform/cad/engine/Errors.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace automation {

common::PlanePoint PickPoint(const QString& prompt) {
    common::PlanePoint result = common::MissingPoint();
    try {
        result = ReadCadPoint(CadDocument.utility().getPoint(prompt));
    } catch (const cad::ConnectionLost&) {
        throw;  // no cancel: the host went away while the user was to pick, and the program says so
    } catch (const cad::Error&) {
        // Cancelled (or the CAD took no point): the sentinel the caller reads as "no point" stays.
    }
    return result;
}

common::PlanePoint PickEntity(const QString& prompt, cad::Entity& entity) {
    common::PlanePoint result = common::MissingPoint();
    try {
        const auto [picked, at] = CadDocument.utility().getEntity(prompt);
        entity = picked;
        result = ReadCadPoint(at);
    } catch (const cad::ConnectionLost&) {
        throw;  // no cancel: the host went away while the user was to pick, and the program says so
    } catch (const cad::Error&) {
        // Cancelled or nothing there: the sentinel the caller reads as "nothing picked" stays.
    }
    return result;
}

common::PlanePoint GetLastPoint() {
    return ReadCadPoint(CadDocument.getVariable(QStringLiteral("LASTPOINT")));
}

bool SendCommandAndWait(const QString& commandText, int timeoutMs) {
    cad::State state = CadState.isNull() ? CadApplication.getAcadState() : CadState;
    CadDocument.sendCommand(commandText);
    QElapsedTimer clock;
    clock.start();
    while (!state.isQuiescent()) {
        if (timeoutMs >= 0 && clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    const QString prompt = CadDocument.getVariable(QStringLiteral("LASTPROMPT")).toText();
    return !prompt.contains(QLatin1String("*Cancel*")) && !prompt.contains(QLatin1String("*Anulowano*"));
}

}  // namespace automation
