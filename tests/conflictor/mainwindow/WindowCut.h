// conflictor's window started on the drawing the CAD has open, its first stream current, and the
// streams cut from the toolbar as the user cuts them: "Tnij", the question answered Yes, the end of
// the cut acknowledged. The caller checks what the cut said.
#pragma once

#include "conflictor/mainwindow/ConflictorWindow.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace conflictor::test {

// Null when the window did not start or was not shown.
inline std::unique_ptr<ConflictorWindow> startAndCut(const QTemporaryDir& dir, ui::ScriptedPrompts& prompts) {
    auto w = std::make_unique<ConflictorWindow>();
    w->ProgramFolder = dir.filePath(QStringLiteral("Tesmar/bin"));
    if (!w->StartUp()) return nullptr;
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    w->grdStrumienie->setCurrent(1, ColName);
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Ok);
    w->action(QStringLiteral("Tnij"))->trigger();
    return w;
}

}  // namespace conflictor::test
