// What phaseplanner's window tests share: a temporary suite folder with its "bin", an in-process CAD
// that the programs' connector reaches, and scripted prompts; closed again in reverse order. Also the
// vehicle group the tests put in the group table.
#pragma once

#include "automation/Automation.h"
#include "phaseplanner/editor/GroupTable.h"
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

    // A vehicle group showing `symbols`, with one green from `start` lasting `length` seconds.
    static GroupRecord vehicle(const QString& symbols, int start, int length) {
        GroupRecord g;
        g.Defined = true;
        g.Symbols = symbols;
        g.GreenCount = 1;
        g.Greens[1].Start = start;
        g.Greens[1].Length = length;
        return g;
    }
};

}  // namespace phaseplanner::test
