// headplacer-headless: runs headplacer's placement on a drawing in this process, the user's picks
// given as options, and saves the result.
//   headplacer-headless IN.dxf --symbol S-1 --intersection 987 --at X,Y [--rotation DEG]
//       --text-at X,Y [--conditional-at X,Y] [--section 30-18] [--scale 500] [--orientation 1..8]
//       [--suffix p] [--screen EKP|EKO] [--entered-by NAME] [--street NAME]
//       [--push-button X,Y --push-text-at X,Y] [--suite ROOT] --save OUT.dxf
// Exit status 0 when everything asked for was placed, 1 otherwise (the messages go to stderr).
#include "automation/Automation.h"
#include "common/Ini.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Inventory.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/ObjectModel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

using namespace headplacer;

namespace {

class HeadlessUi : public PlacementUi {
public:
    void showMainWindow() override {}
    bool editHeadAttributes(const QString&) override {
        notWritten = ApplyInventory(values);
        return true;
    }
    void openDetectorWindow() override {}
    void showDetectorWindow() override {}
    QString pushButtonType() override { return QStringLiteral("sensorowy"); }
    QString pushButtonMaker() override { return maker; }
    QString detectorDescriptionText() override { return description; }
    void endProgram() override {}
    InventoryValues values;
    QString maker, description;
    QStringList notWritten;  // what the inventory could not write, with the CAD's reasons
};

bool pointArg(const QString& text, cad::ScriptedInteraction& picks) {
    const QStringList xy = text.split(QLatin1Char(','));
    if (xy.size() != 2) return false;
    picks.point(xy[0].toDouble(), xy[1].toDouble());
    return true;
}

void runCommand(automation::InProcessCad& cad) {
    for (int i = 0; i < 50 && !cad.model().commands().isQuiescent(); ++i) cad.model().pumpCommands();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QCommandLineParser p;
    p.addPositionalArgument(QStringLiteral("rysunek"), QStringLiteral("Rysunek DXF."));
    const auto opt = [&](const char* name, const char* help) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromUtf8(help), QStringLiteral("wartość"));
        p.addOption(o);
        return o;
    };
    const auto symbol = opt("symbol", "Symbol sygnalizatora."),
               intersection = opt("intersection", "Numer skrzyżowania."),
               at = opt("at", "Punkt wstawienia X,Y."), rotation = opt("rotation", "Obrót w stopniach."),
               textAt = opt("text-at", "Punkt opisu X,Y."),
               conditionalAt = opt("conditional-at", "Punkt opisu SK."),
               section = opt("section", "Numer sekcji."),
               scale = opt("scale", "SKALA: jednostki rysunku na metr (1 w metrach, 1000 w milimetrach)."),
               orientation = opt("orientation", "Orientacja 1..8."), suffix = opt("suffix", "Przyrostek."),
               screen = opt("screen", "Ekran EKP lub EKO."), enteredBy = opt("entered-by", "Kto naniósł."),
               street = opt("street", "Ulica."), pushButton = opt("push-button", "Punkt przycisku X,Y."),
               pushTextAt = opt("push-text-at", "Punkt opisu przycisku X,Y."),
               suite = opt("suite", "Katalog główny pakietu."), save = opt("save", "Plik wynikowy.");
    p.addHelpOption();
    p.process(app);
    if (p.positionalArguments().isEmpty() || !p.isSet(symbol) || !p.isSet(save) || !p.isSet(at) ||
        !p.isSet(textAt)) {
        err << p.helpText();
        return 2;
    }
    SetProgramFolder(QDir(p.isSet(suite) ? p.value(suite) : QStringLiteral(SUITE_ROOT_DIR))
                         .filePath(QStringLiteral("Tesmar/bin")));

    // The remembered values of this run go to a settings file of its own.
    QTemporaryDir settings;
    common::IniFilePath = settings.filePath(QStringLiteral("Tesmar.ini"));

    automation::InProcessCad cad;
    cad::ScriptedInteraction picks;
    cad.setInteraction(&picks);
    automation::SetCadConnector({[&] { return cad.application(); }, {}});
    automation::CadApplication = automation::ConnectToAutoCad(true);
    try {
        automation::CadApplication.documents().open(
            QFileInfo(p.positionalArguments().first()).absoluteFilePath());
    } catch (const cad::Error& e) {
        err << e.message() << '\n';
        return 1;
    }
    if (!automation::CheckDocumentOpen(true)) return 1;
    if (p.isSet(scale)) automation::SetDrawingProperty(QStringLiteral("SKALA"), p.value(scale));
    if (p.isSet(section)) automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), p.value(section));

    ResetHeadState();
    HeadSymbol = CanonicalHeadSymbol(p.value(symbol));
    const HeadKindChoice kind =
        KindForSymbolFile(HeadSymbol + QStringLiteral(".dwg"), HeadPlacerSettings.FormatPR);
    HeadKindOption = kind.kindOption;
    HeadKindLetter = kind.kindLetter.isEmpty() ? HeadKindLetters.value(kind.kindOption) : kind.kindLetter;
    LensDiameter = LensDiameters[kind.lensIndex];
    OrientationNumber = std::clamp(p.value(orientation).toInt(), 1, 8);
    AdditionalHeadSuffix = p.value(suffix);
    ContrastScreens = p.isSet(screen);
    ScreenSymbol = p.value(screen).toUpper();
    SetPushButtons = p.isSet(pushButton);
    if (p.isSet(intersection)) {
        IntersectionNumber = p.value(intersection);
        IntersectionChosen = true;
    }
    if (!IsIntersectionNumberValid(IntersectionNumber) && IntersectionChosen) {
        err << "Numer skrzyżowania może zawierać tylko litery, cyfry i znak \"-\".\n";
        return 1;
    }
    if (!LocateHeadSymbolFile(HeadSymbol) || !ReadHeadDrawingValues()) return 1;
    BuildHeadDescriptionTexts();

    HeadlessUi ui;
    ui.values.EnteredBy = p.value(enteredBy);
    ui.values.StreetName = p.value(street);
    ui.values.InventoryDate = FormatInventoryDate(QDate::currentDate());
    InsertionPoll poll(ui);
    pointArg(p.value(at), picks);
    picks.text(p.isSet(rotation) ? p.value(rotation) : QStringLiteral("0"));
    pointArg(p.value(textAt), picks);
    if (p.isSet(conditionalAt)) pointArg(p.value(conditionalAt), picks);
    if (InsertHead(HeadSymbolFile, poll) != InsertOutcome::Started) return 1;
    runCommand(cad);
    if (poll.tick() != InsertionPoll::HeadCompleted) {
        err << "Nie wstawiono sygnalizatora.\n";
        return 1;
    }
    if (!ui.notWritten.isEmpty()) {
        err << "Nie zapisano danych inwentaryzacyjnych:\n" << ui.notWritten.join(QLatin1Char('\n')) << '\n';
        return 1;
    }
    err << "Sygnalizator " << InventoryNumber << " (" << HeadHandle << ")\n";
    if (p.isSet(pushButton)) {
        DetectorCode = QStringLiteral("D");
        ui.description =
            ComposeDetectorDescription(DetectorCode, StopLineNumber, OrientationNumber, 3, DetectionAreaCode,
                                       AboveRoadDetectorSuffix, AdditionalHeadSuffix);
        pointArg(p.value(pushButton), picks);
        pointArg(p.isSet(pushTextAt) ? p.value(pushTextAt) : p.value(pushButton), picks);
        if (!StartPushButton(poll)) return 1;
        runCommand(cad);
        if (poll.tick() != InsertionPoll::PushButtonCompleted) {
            err << "Nie wstawiono przycisku.\n";
            return 1;
        }
    }
    try {
        automation::CadDocument.saveAs(QFileInfo(p.value(save)).absoluteFilePath());
    } catch (const cad::Error& e) {
        err << e.message() << '\n';
        return 1;
    }
    return 0;
}
