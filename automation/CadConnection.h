// The connection to the CAD application and the handles every command works through: the
// application (for the whole run), the active drawing and its model space (refreshed before each
// command, since the user may switch drawings), the CAD's major version and its state object.
#pragma once

#include "platform/cad/Application.h"

#include <QString>
#include <functional>

namespace automation {

// Module state.
extern cad::Application CadApplication;
extern cad::Document CadDocument;
extern cad::Block CadModelSpace;
extern QString CadMajorVersion;  // two characters ("18"); empty until read, never cleared
extern cad::State CadState;

// How the program reaches a CAD application: `attach` to one that runs, `start` a new one.
// Either may return a null application or throw when it cannot.
struct CadConnector {
    std::function<cad::Application()> attach;
    std::function<cad::Application()> start;
};

// Replaces the connector (default: CadHostConnector; tests use an in-process one); returns the previous one.
CadConnector SetCadConnector(CadConnector connector);
// The object model in this process (tests, tools), created on the first start and attached to after.
CadConnector InProcessCadConnector();

// Attaches to the running CAD or starts one and reads its version; a null application after the
// message "Nie można nawiązać połączenia z programem:" when neither works.
cad::Application ConnectToAutoCad(bool withState);
// Keeps the state object (with the flag) and the major version of the application.
void ReadCadVersion(const cad::Application& app, bool withState);
// The major version a version text gives: its first two characters when its first "." is the third
// character, otherwise `previous`.
QString MajorVersionFromText(const QString& versionText, const QString& previous);

// True when a drawing is open; `CadDocument` and `CadModelSpace` then hold the active one.
bool CheckDocumentOpen(bool showMessage);
// The model space of the application's active drawing.
cad::Block GetModelSpace();

// Forgets every handle and the version (a test or a program starting over).
void ResetCadConnectionState();

}  // namespace automation
