// The state a conflictor window test starts from: a temporary program folder (its own runtime
// folder too), scripted prompts and an in-process CAD whose picks the test scripts, with the
// program's tables emptied. Window tests derive from it beside QObject and call attachCad() in
// init() once their folders are in place, detachCad() in cleanup().
#pragma once

#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <memory>

namespace conflictor::test {

class ConflictorWindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<automation::InProcessCad> cad;
    std::unique_ptr<ui::ScriptedPrompts> prompts;
    cad::ScriptedInteraction picks;
    automation::CadConnector previous;

    // A fresh temporary folder holding "Tesmar/bin", also the process's runtime folder.
    void makeProgramFolder() {
        QLocale::setDefault(QLocale::c());
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", dir->path().toUtf8());
        QDir().mkpath(dir->filePath(QStringLiteral("Tesmar/bin")));
    }

    void attachCad() {
        prompts = std::make_unique<ui::ScriptedPrompts>();
        automation::ResetCadConnectionState();
        automation::DrawingScale = 1;
        automation::CustomPropertyCache = {automation::CustomPropertyEntry{}};
        StreamTable.clear();
        IntersectionNumber.clear();
        StreamAttributeBlockHandle.clear();
        common::Settings = common::ProgramSettings{};
        common::AlwaysOnTop = false;
        cad = std::make_unique<automation::InProcessCad>();
        cad->setInteraction(&picks);
        previous = automation::SetCadConnector({[this] { return cad->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
    }

    void detachCad() {
        automation::SetCadConnector(previous);
        automation::ResetCadConnectionState();
        cad.reset();
        prompts.reset();
        dir.reset();
    }
};

}  // namespace conflictor::test
