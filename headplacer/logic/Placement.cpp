// Preparing and inserting heads and push-buttons.
#include "headplacer/logic/Placement.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/LegacyDrawing.h"
#include "automation/Selection.h"
#include "automation/WindowSearch.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/TextHelpers.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/Variables.h"
#include "platform/ui/core/Prompt.h"

namespace headplacer {

using automation::CadDocument;
using automation::CadModelSpace;

namespace {
QString questionTitle() {
    return QStringLiteral("Komunikat ") + MessageTitle();
}
}  // namespace

bool LocateHeadSymbolFile(const QString& symbol) {
    HeadSymbolFolder = GetResourceFolder(GetCityDataFolder(QStringLiteral("MORVANE_FOLDER")), 12);
    const QString fileName = symbol + QStringLiteral(".dwg");
    HeadSymbolFile = common::JoinPath(HeadSymbolFolder, fileName);
    if (!IsSafeSymbolName(symbol) || !FileFound(HeadSymbolFile)) {
        ui::MsgBox(QStringLiteral("Nie znaleziono sygnalizatora %1\nw folderze [%2].")
                       .arg(fileName, HeadSymbolFolder),
                   ui::Exclamation, MessageTitle());
        return false;
    }
    return true;
}

bool ReadHeadDrawingValues() {
    if (!automation::CheckDocumentOpen(true)) return false;
    // Heads and their labels are drawn at "SKALA": a value the drawing's own units deny is told before
    // anything is placed, as every program that draws to scale tells it.
    if (!automation::LoadScaleForDrawing(MessageTitle())) return false;
    SectionNumber = automation::GetDrawingProperty(QStringLiteral("NUMERSEKCJI")).trimmed();
    if (!IsSectionNumberValid(SectionNumber)) {
        // A drawing without the property has no number to compare: the user is told it is missing.
        const QString problem =
            SectionNumber.isEmpty()
                ? QStringLiteral("Aktywny dokument nie zawiera numeru sekcji.")
                : QStringLiteral("Zawarty w aktywnym dokumencie numer sekcji\n[%1] jest niezgodny z wzorcem.")
                      .arg(common::ShortForMessage(SectionNumber));
        const int answer =
            ui::MsgBox(problem + QStringLiteral("\nCzy pomimo tego kontynuować ustawianie sygnalizatora?"),
                       ui::YesNo, questionTitle());
        if (answer != ui::Yes) return false;
        ui::InputRequest rq;
        rq.prompt = QStringLiteral("Podaj numer sekcji (np. 26-15):");
        rq.title = MessageTitle() + QStringLiteral(" - brak numeru sekcji");
        rq.xTwips = 1;
        const std::optional<QString> typed = ui::Prompts().input(rq);
        if (!typed || !IsSectionNumberValid(typed->trimmed())) return false;
        SectionNumber = typed->trimmed();
        automation::TrySetDrawingProperty(QStringLiteral("NUMERSEKCJI"), SectionNumber);
    }
    if (!IntersectionChosen)
        IntersectionNumber = automation::GetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"));
    return true;
}

namespace {

// Inserts the drawing once to load the block, adds the attribute definitions when the block has
// come with it, and deletes the temporary reference. True when the block exists afterwards.
bool loadFromDrawing(const QString& blockName, const QString& drawingFile, const QStringList& tags,
                     bool identifying, double x, double y) {
    const cad::Entity temporary = CadModelSpace.insertBlock(cad::Point{x, y, 0}, drawingFile, 1, 1, 1, 0);
    // The look-up stands for the existence test (a missing block is a null one).
    const cad::Block definition = automation::GetBlockDefinition(blockName);
    if (!definition.isNull()) {
        QList<automation::AttributeSpec> attributes;
        QString obiekt, rodzaj, symbol;
        if (identifying && HeadSymbolAttributes(blockName, obiekt, rodzaj, symbol))
            attributes << automation::AttributeSpec{QStringLiteral("OBIEKT"), obiekt}
                       << automation::AttributeSpec{QStringLiteral("RODZAJ"), rodzaj}
                       << automation::AttributeSpec{QStringLiteral("SYMBOL"), symbol};
        for (const QString& tag : tags) attributes << automation::AttributeSpec{tag, QString()};
        automation::AddAttributeDefinitions(definition, attributes);
    }
    automation::DeleteEntity(temporary);
    return !definition.isNull();
}

// Raises the CAD window (a failed raise is ignored: the insertion goes on all the same) and loads
// the block when the drawing lacks it.
bool raiseAndLoad(const QString& blockName, const QString& drawingFile, const QStringList& tags,
                  bool identifying) {
    automation::RaiseCadWindow();
    if (automation::CheckBlockExists(blockName)) return true;
    return loadFromDrawing(blockName, drawingFile, tags, identifying, 0, 0);
}

}  // namespace

bool LoadBlockWithAttributes(const QString& blockName, const QString& drawingFile, const QStringList& tags,
                             bool identifying, double x, double y) {
    if (automation::CheckBlockExists(blockName)) return true;
    return loadFromDrawing(blockName, drawingFile, tags, identifying, x, y);
}

InsertOutcome InsertHead(const QString& symbolFile, InsertionPoll& poll) {
    cad::Variant savedLayer, savedStyle;
    try {
        // Heads of every kind count, trams included, as conflictor reads them all.
        const QString duplicate = automation::FindBlockReferenceHandle(
            CadModelSpace, HeadBlockPattern(), QStringLiteral("INWENT_NUMER"), cad::Variant(InventoryNumber),
            QStringLiteral("110-SYGNALIZACJA_KOMORY"));
        if (LoadAskInventoryNumber() && !duplicate.isEmpty()) {
            const int answer =
                ui::MsgBox(QStringLiteral("W aktywnym dokumencie ustawiano już sygnalizator\n[%1].\n"
                                          "Czy kontynuować ustawianie sygnalizatora?")
                               .arg(common::ShortForMessage(InventoryNumber)),
                           ui::YesNo | ui::Question | ui::DefaultButton2, questionTitle());
            if (answer != ui::Yes) return InsertOutcome::Declined;
        }
        const QString blockName = CanonicalHeadSymbol(GetFileBaseName(symbolFile));
        if (!raiseAndLoad(blockName, symbolFile, HeadCommonTags, true))
            throw cad::NotFound(QStringLiteral("Nie można wczytać bloku %1.").arg(blockName));

        SavedModelSpaceCount = CadModelSpace.count();
        HeadTextHeight = common::ParseDouble(HeadPlacerSettings.CzcionkaOpisuSygnWys);
        const cad::VariantList saved =
            cad::GetVariables(CadDocument, {QStringLiteral("CLAYER"), QStringLiteral("TEXTSTYLE")});
        savedLayer = saved.value(0);
        savedStyle = saved.value(1);
        cad::Object style;
        const bool styled =
            automation::ActivateTextAndDimStyle(QStringLiteral("SYGN_OPISY_TXT"), style, true, false);
        if (styled) {
            CadDocument.put(QStringLiteral("ActiveTextStyle"), style);
        } else {
            const cad::TextStyle added = CadDocument.textStyles().add(QStringLiteral("SYGN_OPISY_TXT"));
            added.setHeight(1000);
            added.send(QStringLiteral("SetFont"), {QStringLiteral("arial"), false, false, 0, 0});
            CadDocument.setActiveTextStyle(added);
        }
        PendingInsertMode = 1;
        bool makeActive = true;
        automation::EnsureLayerLegacy(QStringLiteral("110-SYGNALIZACJA_KOMORY"), makeActive, -1, -10);
        CadDocument.sendCommand(HeadInsertCommand(blockName, automation::DrawingScale));
        poll.start(blockName, savedLayer, savedStyle);
        return InsertOutcome::Started;
    } catch (const cad::Error& e) {
        PendingInsertMode = 0;
        // What was switched before the failure is put back.
        for (const auto& [name, value] : {std::pair{QStringLiteral("CLAYER"), savedLayer},
                                          std::pair{QStringLiteral("TEXTSTYLE"), savedStyle}}) {
            try {
                if (!value.isEmpty()) CadDocument.setVariable(name, value);
            } catch (const cad::Error&) {
                // The failure below is what the user is told; a value the same CAD will not take
                // back leaves the layer or text style current, which the user sees.
            }
        }
        ui::MsgBox(QStringLiteral("Nie można wstawić sygnalizatora:\n%1").arg(e.message()), ui::Exclamation,
                   MessageTitle());
        return InsertOutcome::Failed;
    }
}

bool StartPushButton(InsertionPoll& poll) {
    const QString root = GetCityDataFolder(QStringLiteral("MORVANE_FOLDER"));
    const QString folder = common::JoinPath(root, QStringLiteral("aZasoby\\Symbole\\"));
    const QString file = common::JoinPath(folder, PushButtonBlockName() + QStringLiteral(".dwg"));
    if (!FileFound(file)) {
        ui::MsgBox(QStringLiteral("Nie znaleziono pliku z symbolem przycisku - %1\nw folderze [%2].")
                       .arg(PushButtonBlockName(), folder),
                   ui::Exclamation, MessageTitle());
        return false;
    }
    try {
        // The pick waits in the CAD: its window (and prompt line) takes the keyboard, so coordinates
        // typed next reach it and not the detector window.
        raiseAndLoad(PushButtonBlockName(), file, PushButtonTags, false);
        SavedModelSpaceCount = CadModelSpace.count();
        PendingInsertMode = 2;
        const cad::Variant savedLayer = CadDocument.getVariable(QStringLiteral("CLAYER"));
        const cad::Variant savedStyle = CadDocument.getVariable(QStringLiteral("TEXTSTYLE"));
        CadDocument.sendCommand(PushButtonInsertCommand(InsertedRotation, automation::DrawingScale));
        poll.start(PushButtonBlockName(), savedLayer, savedStyle);
        return true;
    } catch (const cad::Error& e) {
        PendingInsertMode = 0;
        ui::MsgBox(QStringLiteral("Nie można wstawić przycisku:\n%1").arg(e.message()), ui::Exclamation,
                   MessageTitle());
        return false;
    }
}

}  // namespace headplacer
