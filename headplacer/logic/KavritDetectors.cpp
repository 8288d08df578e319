// The loop, area and above-road tabs' placing through the other vendor's members.
#include "headplacer/logic/KavritDetectors.h"
#include "headplacer/logic/HeadState.h"

#include "automation/CadConnection.h"
#include "common/PathHelpers.h"
#include "headplacer/logic/DetectorTables.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/TextTools.h"
#include "platform/cad/Application.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>

namespace headplacer {

using automation::CadApplication;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

void reportFailure(const cad::Error& e) {
    ui::MsgBox(e.message(), ui::Exclamation, MessageTitle());
}

int newObject() {
    const int index = int(CadModelSpace.invoke(QStringLiteral("AddObject")).toInt());
    if (index == 0) {
        ui::MsgBox(QStringLiteral("Niestety nie można stworzyć obiektu rysunkowego."), ui::Exclamation,
                   MessageTitle());
        return 0;
    }
    CadModelSpace.invoke(QStringLiteral("OpenObject"), {index});
    return index;
}

void quadrangle(const QList<common::PlanePoint>& c) {
    CadModelSpace.invoke(QStringLiteral("AddQuadrangle"),
                         {c[0].X, c[0].Y, c[1].X, c[1].Y, c[2].X, c[2].Y, c[3].X, c[3].Y, 1, 115});
}

void moveNewObject(int index) {
    CadModelSpace.invoke(QStringLiteral("SetPointORD"), {0.0, 0.0});
    CadDocument.activate();
    CadApplication.activate();
    CadModelSpace.invoke(QStringLiteral("ExecuteStringWait"), {MoveObjectCommand(index)});
}

}  // namespace

bool PlaceLoop(const LoopSizes& s) {
    try {
        const int index = newObject();
        if (index == 0) return false;
        if (s.shape == 0) {
            quadrangle(RectangleCorners(s.length, s.width));
        } else {
            const QList<common::PlanePoint> p =
                ParallelogramCorners(s.length, s.width, s.fromDivider, s.fromKerb);
            const auto line = [](const common::PlanePoint& a, const common::PlanePoint& b) {
                CadModelSpace.invoke(QStringLiteral("AddLine"), {a.X, a.Y, b.X, b.Y, 1, 115});
            };
            line(p[3], p[0]);
            line(p[0], p[1]);
            line(p[3], p[2]);
            line(p[1], p[2]);
        }
        moveNewObject(index);
        return true;
    } catch (const cad::Error& e) {
        reportFailure(e);
        return false;
    }
}

bool PlaceDetectionArea(const AreaSizes& s) {
    try {
        const int index = newObject();
        if (index == 0) return false;
        quadrangle(RectangleCorners(s.length, s.width));
        if (s.kind == 1) quadrangle(RectangleCorners(s.length, s.width, s.width + s.distance));
        moveNewObject(index);
        return true;
    } catch (const cad::Error& e) {
        reportFailure(e);
        return false;
    }
}

bool PlaceAboveRoadDetector(int kindIndex) {
    try {
        const AboveRoadDetectorKind kind = AboveRoadDetectorKinds.value(std::clamp(kindIndex, 0, 5));
        const QString root = CadApplication.getSystemVariable(QStringLiteral("MORVANE_FOLDER"));
        const QString folder = GetResourceFolder(root, 6);
        const QString file = common::JoinPath(folder, kind.Block);
        if (!FileFound(file)) {
            ui::MsgBox(QStringLiteral("Nie znaleziono pliku z symbolem detektora %1\nw folderze [%2].")
                           .arg(kind.Block, folder),
                       ui::Exclamation, MessageTitle());
            return false;
        }
        CadModelSpace.invoke(QStringLiteral("ExecuteStringWait"), {AboveRoadInsertCommand(file)});
        return true;
    } catch (const cad::Error& e) {
        reportFailure(e);
        return false;
    }
}

double PickSegmentLength() {
    if (!automation::CheckDocumentOpen(true)) return 0;
    try {
        const cad::Variant picked = CadModelSpace.invoke(QStringLiteral("PickEntityID"),
                                                         {QStringLiteral("Proszę wskazać odcinek ..."), 0});
        const int index = int(picked.toInt());
        if (CadModelSpace.invoke(QStringLiteral("GetEttCode"), {index}).toInt() != 1) return 0;
        return FormatLengthInMetres(CadModelSpace.item(index).length());
    } catch (const cad::Error& e) {
        reportFailure(e);
        return 0;
    }
}

}  // namespace headplacer
