// What the intergreen check's window tests share: an in-process CAD with a new drawing, scripted
// prompts, a temporary folder holding the workbook the drawing names (written by the sheet engine
// as conflictor lays it out), and the program and workbook state reset before and after.
#pragma once

#include "InProcessSession.h"
#include "IntergreenBooks.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/PairHighlight.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/ui/core/Prompt.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace phaseplanner::test {

struct CheckDrawingSetup : InProcessSession {
    QString bookPath;

    static void resetState() {
        ResetIntergreenWorkbook();
        GroupTable.clear();
        CollisionPairs.clear();
        IntersectionNumber.clear();
        MainProgramWindow().clearIntersections();
        ResetProgramAttributeState();
        ResetPairHighlight();
        ResetPlayback();
    }
    // A new drawing whose program attribute block for intersection 7 names `book`, written to the folder.
    bool start(const IntergreenBook& book) {
        openSession();
        common::IniFilePath = folder->filePath(QStringLiteral("Tesmar.ini"));
        resetState();
        CycleLength = 80;
        MaxCycleLength = 120;
        automation::CadApplication = cad->application();
        cad->application().documents().add();
        if (!automation::CheckDocumentOpen(false)) return false;
        bookPath = folder->filePath(QStringLiteral("czasy.xlsx"));
        WriteIntergreenBook(book, bookPath);
        ExcelWorkbookPath = bookPath;
        IntersectionNumber = QStringLiteral("7");
        AddIntersectionNumber(IntersectionNumber, true);
        return UstawWidoczneAtrybuty();
    }
    void stop() {
        resetState();
        closeSession();
        folder.reset();
        common::IniFilePath.clear();
    }
};

}  // namespace phaseplanner::test
