// Attaching to the CAD application, its version and the open-drawing check.
#include "automation/CadConnection.h"

#include "automation/CadHostConnector.h"
#include "automation/InProcessCad.h"
#include "common/TextHelpers.h"
#include "platform/ui/core/Prompt.h"

#include <memory>

namespace automation {

cad::Application CadApplication;
cad::Document CadDocument;
cad::Block CadModelSpace;
QString CadMajorVersion;
cad::State CadState;

namespace {

CadConnector& connector() {
    // Programs attach to the running cadhost or start it; tests install their own connector.
    static CadConnector current = CadHostConnector();
    return current;
}

// The in-process CAD of the default connector lives as long as the program.
std::unique_ptr<InProcessCad>& localCad() {
    static std::unique_ptr<InProcessCad> cad;
    return cad;
}

// Runs a connector function; a failure counts as "no application".
cad::Application tryConnect(const std::function<cad::Application()>& how) {
    if (!how) return {};
    try {
        return how();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

CadConnector SetCadConnector(CadConnector c) {
    CadConnector previous = connector();
    connector() = std::move(c);
    return previous;
}

CadConnector InProcessCadConnector() {
    CadConnector c;
    c.attach = [] { return localCad() ? localCad()->application() : cad::Application(); };
    c.start = [] {
        if (!localCad()) localCad() = std::make_unique<InProcessCad>();
        return localCad()->application();
    };
    return c;
}

QString MajorVersionFromText(const QString& versionText, const QString& previous) {
    if (versionText.indexOf(QLatin1Char('.')) == 2) return versionText.left(2);
    return previous;
}

void ReadCadVersion(const cad::Application& app, bool withState) {
    if (withState) CadState = app.getAcadState();
    CadMajorVersion = MajorVersionFromText(app.version(), CadMajorVersion);
}

cad::Application ConnectToAutoCad(bool withState) {
    cad::Application app = tryConnect(connector().attach);
    if (!app.isNull()) {
        try {
            ReadCadVersion(app, withState);
            return app;
        } catch (const cad::Error&) {
            // An attached CAD that cannot answer counts as none: a new one is started below, and
            // one that cannot be started either is said by the connector.
        }
    }
    app = tryConnect(connector().start);
    if (!app.isNull()) {
        try {
            ReadCadVersion(app, withState);
        } catch (const cad::Error&) {
            // A new instance is kept even when it cannot tell its version yet: the version only
            // names the vendor's colour object, and the first command's call finds a dead host.
        }
        return app;
    }
    ui::MsgBox(common::Tlumacz(QStringLiteral("Nie można nawiązać połączenia z programem:")) +
                   QStringLiteral("\r\n[AutoCAD]"),
               ui::OkOnly | ui::Exclamation);
    return {};
}

bool CheckDocumentOpen(bool showMessage) {
    if (!CadApplication.isNull()) {
        // The active drawing asked for straight away, without counting the documents first: with
        // none open, the CAD answers that no drawing is active. A drawing's model space is the same
        // object for its life.
        try {
            CadDocument = CadApplication.activeDocument();
            CadModelSpace = CadDocument.modelSpace();
            return true;
        } catch (const cad::NotFound&) {
            // No drawing is active: said below when asked, and the caller stops.
        }
    }
    if (showMessage)
        ui::MsgBox(common::Tlumacz(QStringLiteral("Najpierw proszę otworzyć jakiś dokument...")), ui::OkOnly);
    return false;
}

cad::Block GetModelSpace() {
    return CadApplication.activeDocument().modelSpace();
}

void ResetCadConnectionState() {
    CadApplication = {};
    CadDocument = {};
    CadModelSpace = {};
    CadMajorVersion.clear();
    CadState = {};
}

}  // namespace automation
