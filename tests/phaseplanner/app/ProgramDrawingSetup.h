// What the tests of the playing window share: a new drawing holding intersection 7's program of two
// vehicle groups (K1 green 0-20 s, K2 30-50 s in an 80 s cycle), a stream reference of each on the
// streams' layer and conflictor's attribute block marking the drawing that holds them; the program's
// state is then cleared, as a program that has just started finds it.
#pragma once

#include "InProcessSession.h"
#include "automation/Automation.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <QHash>

namespace phaseplanner::test {

struct ProgramDrawingSetup : InProcessSession {
    QHash<QString, cad::Entity> streams;  // the stream references by block name

    bool openProgramDrawing() {
        openSession();
        ResetProgramAttributeState();
        ResetPlayback();
        GroupTable.clear();
        CycleLength = 80;
        MaxCycleLength = 120;
        automation::CadApplication = cad->application();
        cad->application().documents().add();
        if (!automation::CheckDocumentOpen(false)) return false;
        IntersectionNumber = QStringLiteral("7");
        AddIntersectionNumber(IntersectionNumber, true);
        if (!UstawWidoczneAtrybuty()) return false;
        GroupTable = {vehicle(QStringLiteral("K1"), 0, 20), vehicle(QStringLiteral("K2"), 30, 20)};
        if (!DrawProgram(false)) return false;
        automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, -1, -10);
        streams.clear();
        for (const QString& name : {QStringLiteral("7^STRUMIEN_1^K1"), QStringLiteral("7^STRUMIEN_2^K2")}) {
            automation::CadDocument.blocks().add({0, 0, 0}, name).addLine({0, 0, 0}, {1, 1, 0});
            cad::Entity r = automation::CadModelSpace.insertBlock({0, 0, 0}, name, 1, 1, 1, 0);
            r.setLayer(QStringLiteral("113-STRUMIENIE_RUCHU"));
            streams.insert(name, r);
        }
        automation::CadDocument.blocks().add({0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_7"));
        automation::CadModelSpace.insertBlock({0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_7"), 1, 1, 1, 0);
        GroupTable.clear();
        IntersectionNumber.clear();
        MainProgramWindow().clearIntersections();
        ResetProgramAttributeState();
        return true;
    }
};

}  // namespace phaseplanner::test
