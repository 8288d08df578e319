// headplacer-headless: runs headplacer's window commands on a drawing in this process, the user's
// choices and picks given as options, and saves the result.
//   headplacer-headless IN.dxf --symbol S-1 --intersection 987 --at X,Y [--rotation DEG]
//       --text-at X,Y [--conditional-at X,Y] [--section 30-18] [--scale 500] [--orientation 1..8]
//       [--suffix p] [--screen EKP|EKO] [--type TEXT] [--light-source CODE] [--acoustic]
//       [--entered-by NAME] [--street NAME] [--push-button X,Y --push-text-at X,Y]
//       [--push-button-type TEXT] [--push-button-maker TEXT] [--command ID]... [--suite ROOT] --save OUT.dxf
// The tool lies beside headplacer in the suite's program folder (Tesmar/bin) and takes the suite's
// resources from two folders above it, as headplacer does; --suite names another suite's root.
// The options fill the context the head window's and the detector window's buttons fill from their
// controls (a head type, light source, push-button type and maker and an inventory not given are what
// the windows' lists and the inventory dialog show first), and the rows of the same
// command table run: "cmdAccept" (the head, its descriptions and inventory) and "cbUstaw" (a
// push-button), in the order of --command; without --command the head, then the push-button when
// --push-button is given. A row that needs the window is refused with its reason.
// Exit status 0 when everything asked for was placed, 1 otherwise (the messages go to stderr), 2 for
// wrong options.
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/TextHelpers.h"
#include "headplacer/app/CommandTable.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/InventoryDialog.h"
#include "headplacer/app/ListLoaders.h"
#include "headplacer/app/PlacementCommands.h"
#include "headplacer/logic/DetectorTables.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Inventory.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/ObjectModel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <optional>
#include <utility>

using namespace headplacer;

namespace {

// The completion's windows: the inventory is accepted as the dialog opens, with the names given.
class HeadlessUi : public PlacementUi {
public:
    explicit HeadlessUi(const CommandContext& context) : context_(context) {}
    void showMainWindow() override {}
    bool editHeadAttributes(const QString&) override {
        InventoryValues values = OpeningInventoryValues();
        if (enteredBy) values.EnteredBy = *enteredBy;
        if (street) values.StreetName = *street;
        notWritten = ApplyInventory(values);
        return true;
    }
    void openDetectorWindow() override {}
    void showDetectorWindow() override {}
    QString pushButtonType() override { return context_.detector.PushButtonType; }
    QString pushButtonMaker() override { return context_.detector.PushButtonMaker; }
    QString detectorDescriptionText() override { return context_.detector.Description; }
    void endProgram() override {}
    std::optional<QString> enteredBy, street;
    QStringList notWritten;  // what the inventory could not write, with the CAD's reasons

private:
    const CommandContext& context_;
};

// A number the user typed (a dot for the decimals), finite, or nothing.
std::optional<double> numberArg(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// "X,Y": two numbers, or nothing.
std::optional<std::pair<double, double>> pointOf(const QString& text) {
    const QStringList xy = text.split(QLatin1Char(','));
    if (xy.size() != 2) return std::nullopt;
    const auto x = numberArg(xy[0]), y = numberArg(xy[1]);
    if (!x || !y) return std::nullopt;
    return std::pair{*x, *y};
}

// Checked before anything runs (see optionProblem), so a point here is always two numbers.
void pointArg(const QString& text, cad::ScriptedInteraction& picks) {
    const auto xy = pointOf(text);
    if (xy) picks.point(xy->first, xy->second);
}

// What is wrong with an option's value, or nothing: a placement is never made from a value the
// windows would not let through (an orientation 9, a point "1;2", a screen "XYZ").
QString optionProblem(const QCommandLineParser& p) {
    const auto bad = [](const char* option, const QString& value, const QString& rule) {
        return QStringLiteral("Błąd: --%1: %2: \"%3\"").arg(QLatin1String(option), rule, value);
    };
    for (const char* option : {"at", "text-at", "conditional-at", "push-button", "push-text-at"})
        if (p.isSet(QLatin1String(option)) && !pointOf(p.value(QLatin1String(option))))
            return bad(option, p.value(QLatin1String(option)), QStringLiteral("punkt musi mieć postać X,Y (dwie liczby)"));
    if (p.isSet(QStringLiteral("rotation")) && !numberArg(p.value(QStringLiteral("rotation"))))
        return bad("rotation", p.value(QStringLiteral("rotation")), QStringLiteral("obrót musi być liczbą stopni"));
    if (p.isSet(QStringLiteral("orientation"))) {
        bool ok = false;
        const int o = p.value(QStringLiteral("orientation")).trimmed().toInt(&ok);
        if (!ok || o < 1 || o > 8)
            return bad("orientation", p.value(QStringLiteral("orientation")),
                       QStringLiteral("orientacja musi być liczbą całkowitą od 1 do 8"));
    }
    if (p.isSet(QStringLiteral("scale"))) {
        bool ok = false;
        const int k = p.value(QStringLiteral("scale")).trimmed().toInt(&ok);
        if (!ok || k < 1 || k > 32767)
            return bad("scale", p.value(QStringLiteral("scale")),
                       QStringLiteral("SKALA musi być liczbą całkowitą od 1 do 32767 (jednostki rysunku na metr)"));
    }
    if (p.isSet(QStringLiteral("screen"))) {
        const QString screen = p.value(QStringLiteral("screen")).trimmed().toUpper();
        if (screen != QLatin1String("EKP") && screen != QLatin1String("EKO"))
            return bad("screen", p.value(QStringLiteral("screen")), QStringLiteral("ekran musi być EKP albo EKO"));
    }
    return QString();
}

void runCadCommand(automation::InProcessCad& cad) {
    for (int i = 0; i < 50 && !cad.model().commands().isQuiescent(); ++i) cad.model().pumpCommands();
}

// The first entry of a suite list as the window's list shows it; `pairs`: name and code entries,
// the code taken.
QString firstListEntry(const QString& fileName, bool pairs) {
    if (pairs) {
        const auto offered = SuiteListPairs(fileName);
        return offered && !offered->isEmpty() ? offered->front().second : QString();
    }
    const auto offered = SuiteListItems(fileName);
    return offered && !offered->isEmpty() ? offered->front() : QString();
}

// The first of the resource folders a head needs (its symbols, the suite's lists) that is not there.
QString missingResources() {
    const QString root = GetCityDataFolder(QStringLiteral("MORVANE_FOLDER"));
    for (QString folder : {GetResourceFolder(root, 12), ListFolder()}) {
        folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!QFileInfo(folder).isDir()) return folder;
    }
    return QString();
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
               screen = opt("screen", "Ekran EKP lub EKO."), type = opt("type", "Typ sygnalizatora."),
               lightSource = opt("light-source", "Kod źródła światła (ZT, ZH, LED...)."),
               enteredBy = opt("entered-by", "Kto naniósł."), street = opt("street", "Ulica."),
               pushButton = opt("push-button", "Punkt przycisku X,Y."),
               pushTextAt = opt("push-text-at", "Punkt opisu przycisku X,Y."),
               pushType = opt("push-button-type", "Typ przycisku."),
               pushMaker = opt("push-button-maker", "Producent przycisku."),
               command = opt("command", "Polecenie okna (nazwa przycisku), np. cmdAccept, cbUstaw."),
               suite = opt("suite", "Katalog główny pakietu."), save = opt("save", "Plik wynikowy.");
    const QCommandLineOption acoustic(QStringLiteral("acoustic"),
                                      QStringLiteral("Sygnalizatory akustyczne."));
    p.addOption(acoustic);
    p.addHelpOption();
    p.process(app);

    QStringList commands = p.values(command);
    for (const QString& id : std::as_const(commands)) {
        const CommandRow* row = FindCommand(id);
        if (!row) {
            err << "Błąd: nie ma polecenia " << id << '\n';
            return 1;
        }
        if (row->needsWindow) {
            err << "Błąd: polecenie " << id << ' ' << QString::fromUtf8(row->needsWindow)
                << "; bez okna nie można go wykonać\n";
            return 1;
        }
    }
    if (commands.isEmpty()) {
        commands << QStringLiteral("cmdAccept");
        if (p.isSet(pushButton)) commands << QStringLiteral("cbUstaw");
    }
    const bool accepts = commands.contains(QStringLiteral("cmdAccept"));
    if (p.positionalArguments().isEmpty() || !p.isSet(symbol) || !p.isSet(save) ||
        (accepts && (!p.isSet(at) || !p.isSet(textAt))) ||
        (commands.contains(QStringLiteral("cbUstaw")) && !p.isSet(pushButton))) {
        err << p.helpText();
        return 2;
    }
    if (const QString problem = optionProblem(p); !problem.isEmpty()) {
        err << problem << '\n';
        return 2;
    }
    // The suite's resources as headplacer finds them: two folders above the program, unless --suite
    // names another tree. Heads are never placed from symbols of a tree the user did not mean.
    if (p.isSet(suite)) SetProgramFolder(QDir(p.value(suite)).filePath(QStringLiteral("Tesmar/bin")));
    if (const QString missing = missingResources(); !missing.isEmpty()) {
        err << "Błąd: nie znaleziono zasobów pakietu: brak folderu " << missing << ' '
            << (p.isSet(suite) ? QStringLiteral("(katalog pakietu z opcji --suite)")
                               : QStringLiteral("(szukano obok programu; inny katalog pakietu wskazuje opcja --suite)"))
            << '\n';
        return 1;
    }

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
    LoadPlacementSettings();

    // What the head window shows for this symbol, with the choices given.
    CommandContext context;
    HeadChoice& h = context.head;
    h.Symbol = CanonicalHeadSymbol(p.value(symbol));
    const HeadKindChoice kind =
        KindForSymbolFile(h.Symbol + QStringLiteral(".dwg"), HeadPlacerSettings.FormatPR);
    h.KindOption = kind.kindOption;
    h.KindLetter = kind.kindLetter.isEmpty() ? HeadKindLetters.value(kind.kindOption) : kind.kindLetter;
    h.LensIndex = kind.lensIndex;
    h.IntersectionText = p.isSet(intersection) ? p.value(intersection) : GetIntersectionProperty();
    h.Orientation = p.isSet(orientation) ? p.value(orientation).trimmed().toInt() : LastOrientation.toInt();
    h.Suffix = p.value(suffix);
    h.Screens = p.isSet(screen);
    h.ScreenSymbol = p.value(screen).trimmed().toUpper();
    h.TypeText = p.isSet(type) ? p.value(type) : firstListEntry(QStringLiteral("SygnTypySygnDet.lst"), false);
    h.LightSourceCode = p.isSet(lightSource) ? p.value(lightSource)
                                             : firstListEntry(QStringLiteral("SygnZrodSwiatla.lst"), true);
    // The window offers acoustic signals with pedestrian and cyclist heads only.
    if (p.isSet(acoustic) && !kind.acousticEnabled) {
        err << "Błąd: --acoustic: sygnalizator " << h.Symbol << " nie ma sygnałów akustycznych\n";
        return 2;
    }
    h.Acoustic = p.isSet(acoustic);
    h.PushButtons = p.isSet(pushButton);
    DetectorChoice& d = context.detector;
    d.PushButtonType = p.isSet(pushType) ? p.value(pushType) : PushButtonTypes.value(3);
    d.PushButtonMaker = p.isSet(pushMaker) ? p.value(pushMaker)
                                           : firstListEntry(QStringLiteral("SygnTypySygnDet.lst"), false);

    HeadlessUi ui(context);
    if (p.isSet(enteredBy)) ui.enteredBy = p.value(enteredBy);
    if (p.isSet(street)) ui.street = p.value(street);
    InsertionPoll poll(ui);
    context.ui = &ui;
    context.poll = &poll;

    for (const QString& id : std::as_const(commands)) {
        InsertionPoll::Step expected = InsertionPoll::NothingPending;
        if (id == QLatin1String("cmdAccept")) {
            pointArg(p.value(at), picks);
            picks.text(p.isSet(rotation) ? p.value(rotation) : QStringLiteral("0"));
            pointArg(p.value(textAt), picks);
            if (p.isSet(conditionalAt)) pointArg(p.value(conditionalAt), picks);
            expected = InsertionPoll::HeadCompleted;
        } else if (id == QLatin1String("cbUstaw")) {
            // The detector window opens on the push-button tab with its proposed description.
            d.Tab = 3;
            d.Description = ProposePushButtonDescription();
            pointArg(p.value(pushButton), picks);
            pointArg(p.isSet(pushTextAt) ? p.value(pushTextAt) : p.value(pushButton), picks);
            expected = InsertionPoll::PushButtonCompleted;
        }
        RunTableCommand(id, context);
        if (!context.Succeeded) {
            err << "Błąd: polecenie " << id << " nie zostało wykonane\n";
            return 1;
        }
        runCadCommand(cad);
        if (poll.tick() != expected) {
            err << (expected == InsertionPoll::PushButtonCompleted ? "Nie wstawiono przycisku.\n"
                                                                   : "Nie wstawiono sygnalizatora.\n");
            return 1;
        }
        if (expected == InsertionPoll::HeadCompleted) {
            if (!ui.notWritten.isEmpty()) {
                err << "Nie zapisano danych inwentaryzacyjnych:\n"
                    << ui.notWritten.join(QLatin1Char('\n')) << '\n';
                return 1;
            }
            err << "Sygnalizator " << common::ShortForMessage(InventoryNumber) << " (" << HeadHandle << ")\n";
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
