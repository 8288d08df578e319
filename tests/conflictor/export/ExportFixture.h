// The cut fixture with what the workbook exports need: streams with groups, phases and kinematic
// values stored in the intersection's attribute block, the template from the repository, a temporary
// folder for the saved workbooks and the workbook read back by our engine.
#pragma once

#include "tests/conflictor/conflicts/CutFixture.h"

#include "common/NumberText.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/phases/PhaseSets.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QTemporaryDir>
#include <memory>

namespace conflictor::test {

inline QString TemplateFolder() {
    return QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby");
}

class ExportFixture : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        LastIntergreenWorkbook.clear();
        automation::EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), false, 5, -10);
    }

    struct StreamData {
        QString name;
        int group;
        QString phases;
    };
    // Stores groups, phases and the default kinematic values of the streams in the attribute block
    // (made by the first call; later calls add to it).
    void storeStreamData(const QList<StreamData>& data) {
        if (StreamAttributeBlockHandle.isEmpty())
            StreamAttributeBlockHandle = addAttributeBlock(QStringLiteral("12")).handle();
        else
            ReadIntersectionAttributeBlock();
        const common::ProgramSettings& s = common::Settings;
        auto number = [](double v) { return common::FormatNumberWithDot(v, QStringLiteral("#######0.00")); };
        for (const StreamData& d : data) {
            const bool vehicle = !d.name.startsWith(QLatin1Char('P')) && !d.name.startsWith(QLatin1Char('R'));
            const QString base = d.name.section(QLatin1Char('['), 0, 0).toUpper();
            SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(d.group), false);
            SetStreamAttribute(QStringLiteral("FAZY"), base, d.phases, false);
            SetStreamAttribute(QStringLiteral("DLUG_POJ"), d.name, number(vehicle ? s.DlugoscPojazd : 0),
                               false);
            SetStreamAttribute(QStringLiteral("PROSTA_EWAK"), d.name,
                               number(vehicle ? s.PredkEwakProsta : s.PredkPiesi), false);
            if (!vehicle) continue;
            SetStreamAttribute(QStringLiteral("PROSTA_DOJAZD"), d.name, number(s.PredkDojazdProsta), false);
            SetStreamAttribute(QStringLiteral("LUK_DOJAZD"), d.name, number(s.PredkDojazdLuk), false);
            SetStreamAttribute(QStringLiteral("LUK_EWAK"), d.name, number(s.PredkEwakLuk), false);
            SetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), d.name, number(s.MaksPrzysp), false);
        }
        WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
    }

    // K1 eastward, K2 northward across it, the crossing P1 across K2 north of K1, drawn along both
    // edges of its zebra (P1 at y 30, P1[2] at y 34; `bothEdges` false: P1 alone): groups 1, 2, 3.
    void drawCrossing(int groupOfP1 = 3, bool bothEdges = true) {
        draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
        draw(QStringLiteral("K2"), {Line(50, -50, 50, 60)});
        draw(QStringLiteral("P1"), {Line(40, 30, 60, 30)});
        if (bothEdges) draw(QStringLiteral("P1[2]"), {Line(40, 34, 60, 34)});
        drawn();
        QList<StreamData> data{{QStringLiteral("K1"), 1, QStringLiteral("1")},
                               {QStringLiteral("K2"), 2, QStringLiteral("2")},
                               {QStringLiteral("P1"), groupOfP1, QStringLiteral("1")}};
        if (bothEdges) data.append({QStringLiteral("P1[2]"), groupOfP1, QStringLiteral("1")});
        storeStreamData(data);
    }

    // K2 north and K3 south on either side of a 3 m refuge island; the crossing's west half P1/P1[2]
    // (15 m, y 30 and 34) across K2, its east half P2/P2[2] (12 m; P2[2] ending at `eastEdgeEnd`) across
    // K3, which meets P2[2] first. K1 eastward across both when `k1Group` is above 0. The groups: K2,
    // the west half, K3, the east half.
    struct IslandGroups {
        int k2, west, k3, east, k1 = 0;
    };
    void drawIslandCrossing(const IslandGroups& g, double eastEdgeEnd = 70) {
        if (g.k1 > 0) draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
        draw(QStringLiteral("K2"), {Line(50, -50, 50, 60)});
        draw(QStringLiteral("K3"), {Line(64, 60, 64, -50)});
        draw(QStringLiteral("P1"), {Line(40, 30, 55, 30)});
        draw(QStringLiteral("P1[2]"), {Line(40, 34, 55, 34)});
        draw(QStringLiteral("P2"), {Line(58, 30, 70, 30)});
        draw(QStringLiteral("P2[2]"), {Line(58, 34, eastEdgeEnd, 34)});
        drawn();
        QList<StreamData> data;
        if (g.k1 > 0) data.append({QStringLiteral("K1"), g.k1, QStringLiteral("1")});
        data.append({{QStringLiteral("K2"), g.k2, QStringLiteral("2")},
                     {QStringLiteral("P1"), g.west, QStringLiteral("1")},
                     {QStringLiteral("P1[2]"), g.west, QStringLiteral("1")},
                     {QStringLiteral("K3"), g.k3, QStringLiteral("2")},
                     {QStringLiteral("P2"), g.east, QStringLiteral("1")},
                     {QStringLiteral("P2[2]"), g.east, QStringLiteral("1")}});
        storeStreamData(data);
    }

    // Runs the export with the save dialog answered with `name` in the temporary folder.
    QString exportTo(const QString& name = QStringLiteral("out.xlsx")) {
        prompts.answerFile(dir.filePath(name));
        IntergreenExportOptions options;
        options.ResourceFolder = TemplateFolder();
        return mnuNarzedzia_EksportExcel_Click(options);
    }

    sheet::Workbook& readBack(const QString& path) { return app.workbooks().open(path); }

    QTemporaryDir dir;
    sheet::Application app;
};

}  // namespace conflictor::test
