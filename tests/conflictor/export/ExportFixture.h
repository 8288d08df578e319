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
