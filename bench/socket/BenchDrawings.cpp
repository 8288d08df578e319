#include "bench/socket/BenchDrawings.h"

#include "automation/Automation.h"
#include "bench/conflicts/IntersectionGenerator.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/model/Interaction.h"

#include <QTextStream>

namespace socketbench {

bool WriteGeneratedIntersection(const QString& dxfPath) {
    automation::InProcessCad cad;
    cad::ScriptedInteraction picks;
    picks.point(150, -150);  // the attribute block
    cad.setInteraction(&picks);
    const automation::CadConnector previous = automation::SetCadConnector({[&] { return cad.application(); }, {}});
    bool ok = true;
    try {
        automation::CadApplication = automation::ConnectToAutoCad(true);
        cad::Document doc = automation::CadApplication.documents().add();
        if (!automation::CheckDocumentOpen(false)) throw std::runtime_error("no drawing");
        automation::DrawingScale = 1;
        automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), false, 5, -10);
        automation::ClearStreamAttributeTable();
        conflictor::InitStreamAttributeTags();
        conflictor::IntersectionNumber = QStringLiteral("1");
        conflictor::bench::GenerateIntersection({});
        if (!conflictor::OdczytajStrumienie(false, -1)) throw std::runtime_error("streams not read back");
        QString handle;
        if (!conflictor::DodajAtrStrumieni(
                conflictor::IntersectionBlockPrefix() + conflictor::IntersectionNumber, handle) ||
            handle.isEmpty())
            throw std::runtime_error("the attribute block was not placed");
        conflictor::StreamAttributeBlockHandle = handle;
        auto num = [](double v) { return common::FormatNumberWithDot(v, QStringLiteral("#######0.00")); };
        const common::ProgramSettings& s = common::Settings;
        for (const conflictor::StreamRecord& r : conflictor::StreamTable) {
            const QString base = r.BaseName.toUpper();
            const bool vehicle = conflictor::IsVehicleStream(r);
            const int n = base.mid(1).toInt();
            const int group = vehicle ? (n - 1) % 30 + 1 : 30 + (r.Name.startsWith(QLatin1Char('P')) ? n : 4 + n);
            const int phase = vehicle ? (n - 1) % 4 + 1 : (n + (r.Name.startsWith(QLatin1Char('P')) ? 0 : 2)) % 4 + 1;
            conflictor::SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(group), false);
            conflictor::SetStreamAttribute(QStringLiteral("FAZY"), base, QString::number(phase), false);
            conflictor::SetStreamAttribute(QStringLiteral("DLUG_POJ"), r.Name, num(vehicle ? s.DlugoscPojazd : 0),
                                           false);
            conflictor::SetStreamAttribute(QStringLiteral("PROSTA_EWAK"), r.Name,
                                           num(vehicle ? s.PredkEwakProsta : s.PredkPiesi), false);
            if (!vehicle) continue;
            conflictor::SetStreamAttribute(QStringLiteral("PROSTA_DOJAZD"), r.Name, num(s.PredkDojazdProsta), false);
            conflictor::SetStreamAttribute(QStringLiteral("LUK_DOJAZD"), r.Name, num(s.PredkDojazdLuk), false);
            conflictor::SetStreamAttribute(QStringLiteral("LUK_EWAK"), r.Name, num(s.PredkEwakLuk), false);
            conflictor::SetStreamAttribute(QStringLiteral("MAKS_PRZYSP"), r.Name, num(s.MaksPrzysp), false);
        }
        conflictor::WriteIntersectionAttributeBlock(handle);
        doc.saveAs(dxfPath);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "socket_bench: the generated intersection: " << e.what() << '\n';
        ok = false;
    }
    automation::SetCadConnector(previous);
    automation::ResetCadConnectionState();
    conflictor::StreamTable.clear();
    return ok;
}

}  // namespace socketbench
