// What phaseplanner's window tests share: a temporary suite folder with its "bin", an in-process CAD
// that the programs' connector reaches, and scripted prompts; closed again in reverse order.
#pragma once

#include "automation/Automation.h"
#include "platform/ui/core/Prompt.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace phaseplanner::test {

struct InProcessSession {
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<automation::InProcessCad> cad;
    std::unique_ptr<ui::ScriptedPrompts> prompts;
    automation::CadConnector previous;

    void openSession() {
        folder = std::make_unique<QTemporaryDir>();
        QDir(folder->path()).mkpath(QStringLiteral("bin"));
        automation::ResetCadConnectionState();
        cad = std::make_unique<automation::InProcessCad>();
        previous = automation::SetCadConnector({[this] { return cad->application(); }, {}});
        prompts = std::make_unique<ui::ScriptedPrompts>();
    }
    void closeSession() {
        prompts.reset();
        automation::SetCadConnector(previous);
        automation::ResetCadConnectionState();
        cad.reset();
    }
};

}  // namespace phaseplanner::test
