// The start-up of conflictor (one copy per user, the settings, the CAD, the drawing's format and its
// streams) and its shut-down (a pending edit stored, the window keys and bound values written).
#include "conflictor/mainwindow/ConflictorWindow.h"

#include "automation/AttributeTable.h"
#include "automation/CadConnection.h"
#include "automation/CrossingLinks.h"
#include "automation/DrawingProperties.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "common/SingleInstance.h"
#include "common/TextHelpers.h"
#include "common/Version.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "common/ui/MouseWheelHook.h"
#include "conflictor/mainwindow/StreamGridRules.h"
#include "conflictor/streams/FormatUpgrade.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace conflictor {

using common::Tlumacz;

namespace {

const QString WindowKey = QStringLiteral("Okno_Glowne");
constexpr int MainHelpContext = 10003;

struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

bool ConflictorWindow::StartUp() {
    IntersectionComboActive = false;
    ProgramTitleText = Tlumacz(QStringLiteral("Tesmar Ziziro Zedivir"));
    QCoreApplication::setApplicationName(ProgramTitleText);
    setWindowTitle(ProgramTitleText);
    if (ProgramFolder.isEmpty()) ProgramFolder = QCoreApplication::applicationDirPath();

    if (!common::AcquireSingleInstance(QStringLiteral("conflictor"))) {
        const QString title = ProgramTitleText;
        const QString text =
            Tlumacz(QStringLiteral("Uwaga! Ponowne uruchomienie już pracującej aplikacji.")) +
            QStringLiteral("\r\n") +
            Tlumacz(QStringLiteral("Aplikacja ") + title +
                    QStringLiteral(" już została uruchomiana i pracuje.")) +
            QStringLiteral("\r\n") +
            Tlumacz(QStringLiteral("Proszę skorzystać z już pracującej aplikacji, na przykład")) +
            QStringLiteral("\r\n") +
            Tlumacz(QStringLiteral("wybierając ") + title + QStringLiteral(" z systemowego paska zadań."));
        ui::MsgBox(text, ui::Exclamation, title + Tlumacz(QStringLiteral(" - ponowne uruchomienie")));
        close();
        return false;
    }
    startedUp_ = true;

    automation::ClearStreamAttributeTable();
    InitStreamAttributeTags();

    FirstActivation = true;
    GridStreamName.clear();
    GridStreamIndex = -1;
    CurrentStreamIndex = -1;
    MarkerDirection = 0;
    DetailsShown = false;
    DrawingInProgress = false;
    CellReadOnly = true;
    StreamHasVariants = false;

    ResourceFolder = common::JoinPath(common::GetParentFolder(ProgramFolder), QStringLiteral("Zasoby"));
    common::SetHelpFolder(common::JoinPath(ResourceFolder, QStringLiteral("Pomoc")));
    common::SetHelpContext(this, MainHelpContext);
    if (QAction* help = action(QStringLiteral("mnuPomoc_Pomocnik")))
        help->setText(Tlumacz(QStringLiteral("Tesmar Ziziro Zedivir - &Pomoc (F1)")));

    common::IniFilePath = common::IniFileLocation(ProgramFolder);
    common::TranslateFormCaptions(this, 0);

    automation::CadApplication = automation::ConnectToAutoCad(true);
    if (automation::CadApplication.isNull()) {
        close();
        return false;
    }
    try {
        automation::CadApplication.setVisible(true);
    } catch (const cad::Error&) {
        // A CAD that cannot show itself still serves the drawing; the user brings its window up.
        // A host gone already fails the reading of the drawing below, which says so.
    }

    if (QAction* cont = action(QStringLiteral("mnuEdycja_WrysujSkladnik_Kontynuacja")))
        cont->setText(Tlumacz(QStringLiteral("polilinia")));
    if (QAction* cont = action(QStringLiteral("WrysujKontynuacja")))
        cont->setText(Tlumacz(QStringLiteral("polilinia")));

    FillSettingBindings();
    common::LoadFormControlSettings(this, false);
    if (const QStringList problems = common::LoadProgramSettings(); !problems.isEmpty())
        ui::MsgBox(problems.join(QLatin1Char('\n')), ui::Exclamation, ProgramTitleText);
    SettingsLoaded = true;
    if (QAction* onTop = action(QStringLiteral("mnuOpcje_ZawszeNaWierzchu"))) onTop->setChecked(false);

    setWindowTitle(ProgramTitleText + QStringLiteral(" w.") + common::GetVersionText());

    txtEdit->clear();
    lblWybranyStrumien->clear();
    GridNotSorting = true;
    TallAtStart = height() * TwipsPerPixel > 7800;
    common::LoadFormPosition(this, WindowKey);

    ShowKinematicColumns(DetailsShown);
    cmdZmienJednostki->setText(SpeedsInKmh() ? QStringLiteral("Zmień na: m/s")
                                             : QStringLiteral("Zmień na: km/h"));
    UpdateCommandStates(false);
    SetStreamWindow(this);
    ResizeLayout();
    show();
    QCoreApplication::processEvents();

    DefaultCellBackColor = grdStrumienie->cellBackColor(0, 0);
    DrawingName.clear();
    {
        Hourglass hourglass;
        if (!automation::CheckDocumentOpen(true)) {
            close();
            return false;
        }
        [&] {
            DrawingFormatVersion =
                common::ParseInteger(automation::GetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU")));
            if (DrawingFormatVersion < 1) {
                automation::MigrateDrawingAttributeBlock();
                automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("1"));
            }
            if (!UpdateDrawingProgram()) return;
            if (!UpdateDrawingProgram2()) return;
            StartPanelFlash(Tlumacz(QStringLiteral("Trwa odczyt strumieni z rysunku ...")));
            yieldToMessageLoop();
            try {
                automation::CadDocument.sendCommand(QStringLiteral("_viewres\r_Y\r20000\r"));
            } catch (const cad::Error&) {
                // Only how smoothly arcs show on screen; the streams are read below either way, and
                // a host gone fails that reading, which says so.
            }
            SprawdzSkrzyzowania();
            automation::DrawingScale = 1;
            OdczytajStrumienie(true, -1);
            automation::ReadCrossingLinks(IntersectionNumber);
            StopPanelFlash();
        }();
        try {
            DrawingName = automation::CadApplication.activeDocument().name();
        } catch (const std::exception&) {
            DrawingName.clear();
        }
        setStatusText(DrawingName);
    }
    IntersectionComboActive = true;
    common::HookMouseWheel(this);
    return true;
}

void ConflictorWindow::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    GridLeaveCell();
    StopPanelFlash();
    if (SettingsLoaded) {
        // Written only after they were read, so an early end leaves the stored values alone.
        common::PutIni(common::IniFilePath, ProgramTitleText, QStringLiteral("NaWierzchu"),
                       common::AlwaysOnTop ? QStringLiteral("1") : QStringLiteral("0"));
        common::SaveFormPosition(this, WindowKey);
    }
    common::UnhookMouseWheel(this);
    if (SettingsLoaded) common::SaveFormControlSettings(this, false);
    if (&MainWindow() == static_cast<StreamWindow*>(this)) SetStreamWindow(nullptr);
    if (startedUp_) common::ReleaseSingleInstance(QStringLiteral("conflictor"));
}

}  // namespace conflictor
