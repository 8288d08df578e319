#include "bench/socket/CommandRun.h"

#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/SettingBindings.h"
#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/conflicts/Legend.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/conflicts/StreamsXml.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamReading.h"
#include "hatcher/core/HatcherForm.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/HatcherSettings.h"
#include "hatcher/core/PatternArea.h"
#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Inventory.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "phaseplanner/drawing/IntergreenCheckDrawing.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/drawing/WorkbookImport.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "platform/cad/PipelinedChannel.h"
#include "platform/cad/model/Interaction.h"
#include "platform/cad/model/ObjectModel.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>
#include <memory>

namespace socketbench {

namespace {

// Yes to every question but the merging of adjacent greens; file dialogs answered with the file
// the command is about to write or read.
class Answers : public ui::PromptService {
public:
    int message(const QString& text, int flags, const QString&) override {
        if (qEnvironmentVariableIsSet("SOCKET_BENCH_VERBOSE")) std::fprintf(stderr, "  [%s]\n", qPrintable(text));
        const int buttons = ui::ButtonsOf(flags);
        if (buttons != ui::YesNo && buttons != ui::YesNoCancel) return ui::Ok;
        if (text.startsWith(QStringLiteral("Czy łączyć sąsiadujące sygnały?"))) return ui::No;
        if (!workbook.isEmpty() && text.startsWith(QStringLiteral("Czy otworzyć plik:")) &&
            !text.contains(workbook, Qt::CaseInsensitive))
            return ui::No;
        return ui::Yes;
    }
    std::optional<QString> input(const ui::InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const ui::FileRequest&) override {
        if (workbook.isEmpty()) return std::nullopt;
        return workbook;
    }
    std::optional<QString> folder(const QString&, const QString&) override { return folderAnswer; }
    QString workbook, folderAnswer;
};

class HeadUi : public headplacer::PlacementUi {
public:
    void showMainWindow() override {}
    bool editHeadAttributes(const QString&) override {
        headplacer::ApplyInventory(values);
        return true;
    }
    void openDetectorWindow() override {}
    void showDetectorWindow() override {}
    QString pushButtonType() override { return QStringLiteral("sensorowy"); }
    QString pushButtonMaker() override { return QStringLiteral("Sprint"); }
    QString detectorDescriptionText() override { return QString(); }
    void endProgram() override {}
    headplacer::InventoryValues values;
};

cad::Input parseLine(const QString& line) {
    if (line.startsWith(QLatin1String("p "))) {
        const QStringList xy = line.mid(2).split(QLatin1Char(' '));
        return cad::Input::at(cad::Point{xy.value(0).toDouble(), xy.value(1).toDouble(), 0});
    }
    if (line.startsWith(QLatin1String("t "))) return cad::Input::typed(line.mid(2));
    if (line == QLatin1String("e")) return cad::Input::enter();
    return cad::Input::cancel();
}

QString point(double x, double y) {
    return QStringLiteral("p %1 %2").arg(x).arg(y);
}

// Waits until the host has run the CAD command it was given (its scripted picks): the host runs
// commands on a timer, which a person's pick would hide.
void waitForHost(double& waitedMs, quint64& waitedTrips) {
    const auto* channel = dynamic_cast<const cad::PipelinedChannel*>(automation::CadApplication.channel());
    const quint64 trips = channel ? channel->roundTrips() : 0;
    QElapsedTimer clock;
    clock.start();
    try {
        for (int i = 0; i < 20000 && !automation::CadState.isNull() && !automation::CadState.isQuiescent(); ++i)
            QThread::usleep(200);
    } catch (const std::exception&) {
        // The command's own poll meets the failure and says so.
    }
    waitedMs += clock.nsecsElapsed() / 1e6;
    waitedTrips += channel ? channel->roundTrips() - trips : 0;
}

}  // namespace

QStringList PickScript(const SideRun& run) {
    const double r = run.radius;
    return {
        point(1.3 * r, 1.3 * r),                                        // the legend
        point(0, 0), point(0.7 * r, 0), point(0, -4 * r),              // pattern area: circle, target
        point(0, 0), point(0.7 * r, 0), point(0, -8 * r),              // phase pictures: circle, target
        point(-1.1 * r, 0.2 * r), QStringLiteral("t 0"), point(-1.1 * r, 0.3 * r),  // head, rotation, text
    };
}

int RunCommands(const SideRun& run) {
    QDir().mkpath(run.workDir);
    Answers answers;
    ui::SetPromptService(&answers);
    std::unique_ptr<automation::InProcessCad> local;
    cad::ScriptedInteraction picks;
    if (run.overSocket) {
        automation::SetCadConnector(automation::CadHostConnector(20000, run.socketName));
    } else {
        local = std::make_unique<automation::InProcessCad>();
        for (const QString& line : PickScript(run)) picks.push(parseLine(line));
        local->setInteraction(&picks);
        automation::SetCadConnector({[&] { return local->application(); }, {}});
    }
    automation::CadApplication = automation::ConnectToAutoCad(true);
    if (automation::CadApplication.isNull()) {
        std::fprintf(stderr, "socket_bench: no CAD\n");
        return 1;
    }
    const cad::Document drawing = automation::CadApplication.documents().open(run.drawing);
    if (!automation::CheckDocumentOpen(false)) return 1;
    QTemporaryDir ini;
    common::IniFilePath = ini.filePath(QStringLiteral("Tesmar.ini"));

    int failed = 0;
    // For looking into one command's result: the commands after the named one are not run.
    const QString stopAfter = qEnvironmentVariable("SOCKET_BENCH_STOP_AFTER");
    bool stopped = false;
    // Time and round trips a command spent waiting for the host to finish a CAD command it was
    // given (a scripted pick): left out of its figures, as a person's pick would be.
    double waitedMs = 0;
    quint64 waitedTrips = 0;
    auto timed = [&](const char* name, const std::function<bool()>& command) {
        if (stopped) return;
        stopped = stopAfter == QLatin1String(name);
        const auto* channel = dynamic_cast<const cad::PipelinedChannel*>(automation::CadApplication.channel());
        const quint64 trips = channel ? channel->roundTrips() : 0;
        // Between two commands a person takes longer than the host's pause before it paints the
        // last result and the paint itself; without this the paint would fall on the next
        // command's first calls (measured: the paint of the 60-stream drawing after the cut took
        // up to 90 ms on a loaded machine, and landed on the legend with 150 ms between them).
        if (channel) QThread::msleep(300);
        waitedMs = 0;
        waitedTrips = 0;
        QElapsedTimer clock;
        clock.start();
        bool ok = false;
        try {
            ok = command();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "socket_bench: %s: %s\n", name, e.what());
        }
        const double ms = clock.nsecsElapsed() / 1e6 - waitedMs;
        if (!ok) ++failed;
        std::printf("time %s/%s %.2f %s %llu\n", qPrintable(run.label), name, ms, ok ? "ok" : "failed",
                    static_cast<unsigned long long>(channel ? channel->roundTrips() - trips - waitedTrips : 0));
        std::fflush(stdout);
    };
    const QString intergreen = QDir(run.workDir).filePath(QStringLiteral("Miedzyzielone.xlsx"));

    // ---- conflictor ----
    conflictor::IntersectionNumber = QStringLiteral("1");
    timed("conflictor_read_streams", [] { return conflictor::OdczytajStrumienie(false, -1); });
    timed("conflictor_cut", [] { return conflictor::CutStreams(true) == conflictor::CutOutcome::Done; });
    timed("conflictor_legend", [] { return conflictor::UstawLegende(); });
    answers.workbook = intergreen;
    timed("conflictor_intergreen_export", [&] {
        conflictor::IntergreenExportOptions options;
        options.ResourceFolder = QStringLiteral(SUITE_RESOURCES);
        return !conflictor::mnuNarzedzia_EksportExcel_Click(options).isEmpty();
    });
    timed("conflictor_phase_export", [&] {
        return conflictor::ExportPhasesToWorkbook(intergreen) == conflictor::PhaseExportOutcome::Saved;
    });
    timed("conflictor_xml_export", [&] { return !conflictor::ExportStreamsXml(run.workDir).isEmpty(); });

    // ---- phaseplanner ----
    using namespace phaseplanner;
    bool found = false;
    timed("phaseplanner_import", [&] {
        UpdateDrawingProgram(true);
        IntersectionNumber = QStringLiteral("1");
        SprawdzSkrzyzowania(found);
        GetAtrybutyProgramu();
        ExcelWorkbookPath = intergreen;
        HeadlessPhaseSetChoice = 0;
        return frmMain_mnuGrupa_Excel_Click();
    });
    timed("phaseplanner_draw_program", [&] {
        if (MainProgramWindow().intersectionCount() == 0) AddIntersectionNumber(IntersectionNumber, true);
        TemplateFolder = QStringLiteral(SUITE_SOURCE_ROOT "/resources/Tesmar/Zasoby");
        return found ? DrawProgram(false) : WczytajTabele(0);
    });
    timed("phaseplanner_read_back", [] {
        bool ok = false;
        ReadProgramFromDrawing(true, ok);
        return ok;
    });
    {
        const ProgramStates states = ComputeStates(GroupTable, CycleLength);
        ShowSecondInDrawing(0, states, CycleLength);  // the first step colours every stream
        timed("phaseplanner_playback_step", [&] {
            for (int s = 1; s <= 10; ++s) ShowSecondInDrawing(s * 7 % CycleLength, states, CycleLength);
            return true;
        });
        ShowSecondInDrawing(-1, states, CycleLength);
    }
    timed("phaseplanner_check", [&] {
        ExcelWorkbookName = QFileInfo(intergreen).fileName();
        IntergreenCheckResult result;
        return CheckIntergreenTimes(true, false, NoGraph, &result);
    });
    timed("phaseplanner_group_graphs", [] { return CheckIntergreenTimes(false, false, AllGroupsGraph, nullptr); });

    // The program went into a drawing of its own (the table template): hatcher and headplacer work
    // on the intersection's drawing again.
    if (automation::CadDocument.id() != drawing.id()) {
        try {
            automation::CadDocument.saveAs(QDir(run.workDir).filePath(QStringLiteral("program.dxf")));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "socket_bench: save: %s\n", e.what());
        }
        automation::CadApplication.setActiveDocument(drawing);
        automation::CheckDocumentOpen(false);
    }

    // ---- hatcher ----
    hatcher::HeadlessForm form;
    form.intersection = QStringLiteral("1");
    form.chosen = true;
    form.transitionTemplatePath = QStringLiteral(SUITE_SOURCE_ROOT "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
    hatcher::FillSettingBindings(true);
    common::SettingBindings[0].Value = 0;
    timed("hatcher_pattern_area", [&] {
        hatcher::frmMain_cmdDefObszar_Click(form);
        return !hatcher::PatternCopyHandles.value(QStringLiteral("1")).isEmpty();
    });
    QStringList pictures;
    timed("hatcher_pictures", [&] {
        pictures = hatcher::frmMain_cmdTworzObrazyFaz_Click(form);
        return !pictures.isEmpty();
    });
    timed("hatcher_connect_all", [&] {
        hatcher::cmdConnectAll_Click(form);
        return pictures.size() < 2 || hatcher::TransitionExists(QStringLiteral("1"), 1, 2);
    });

    // ---- headplacer ----
    {
        using namespace headplacer;
        ResetHeadState();
        SetProgramFolder(QStringLiteral(SUITE_ROOT_DIR "/Tesmar/bin"));
        HeadPlacerSettings = {};
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        HeadUi ui;
        ui.values.EnteredBy = QStringLiteral("jkowalski");
        ui.values.StreetName = QStringLiteral("Główna");
        InsertionPoll poll(ui);
        timed("headplacer_head", [&] {
            HeadSymbol = QStringLiteral("S-1");
            const HeadKindChoice kind = KindForSymbolFile(HeadSymbol + QStringLiteral(".dwg"), HeadPlacerSettings.FormatPR);
            HeadKindOption = kind.kindOption;
            HeadKindLetter = kind.kindLetter.isEmpty() ? HeadKindLetters.value(kind.kindOption) : kind.kindLetter;
            LensDiameter = LensDiameters[kind.lensIndex];
            OrientationNumber = 1;
            headplacer::IntersectionNumber = QStringLiteral("1");
            IntersectionChosen = true;
            if (!LocateHeadSymbolFile(HeadSymbol) || !ReadHeadDrawingValues()) return false;
            BuildHeadDescriptionTexts();
            if (InsertHead(HeadSymbolFile, poll) != InsertOutcome::Started) return false;
            for (int i = 0; i < 2000; ++i) {
                if (local) local->model().pumpCommands();
                else waitForHost(waitedMs, waitedTrips);
                const InsertionPoll::Step step = poll.tick();
                if (step == InsertionPoll::HeadCompleted) return true;
                if (step != InsertionPoll::Busy) return false;
                QCoreApplication::processEvents();
            }
            return false;
        });
    }
    try {
        automation::CadDocument.saveAs(QDir(run.workDir).filePath(QStringLiteral("wynik.dxf")));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "socket_bench: save: %s\n", e.what());
    }
    automation::ResetCadConnectionState();
    ui::SetPromptService(nullptr);
    return failed;
}

}  // namespace socketbench
