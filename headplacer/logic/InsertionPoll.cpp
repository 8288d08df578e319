// The poll after an interactive insert and the completion of heads and push-buttons.
#include "headplacer/logic/InsertionPoll.h"


#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/LegacyDrawing.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/Variables.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>

namespace headplacer {

using automation::CadDocument;
using automation::CadModelSpace;

namespace {
const QString DescriptionLayer = QStringLiteral("112-OPIS_SYGNALIZACJI");

// A height from the settings; a zero or unreadable one falls back to the default, scaled when asked.
double textHeight(const QString& setting, double fallback) {
    double h = common::ParseDouble(setting);
    if (h <= 0) h = fallback;
    return ScaleTexts ? h * automation::DrawingScale : h;
}

bool isHostLost(const cad::Error& e) {
    return dynamic_cast<const cad::ConnectionLost*>(&e) != nullptr;
}

void ensureLayer(const QString& name) {
    bool makeActive = false;
    automation::EnsureLayerLegacy(name, makeActive, -1, -10);
}

void addDescription(const QString& text, const cad::Point& at, double height, const QString& layer,
                    const QString& style) {
    const cad::Entity t = CadModelSpace.addText(text, at, height);
    t.setColor(1);
    t.setLayer(layer);
    if (!style.isEmpty()) {
        try {
            t.setStyleName(style);
        } catch (const cad::Error&) {
            // The style was removed meanwhile: the text keeps the active one.
        }
    }
    t.setRotation(InsertedRotation);
    t.update();
}

}  // namespace

InsertionPoll::InsertionPoll(PlacementUi& ui, QObject* parent) : QObject(parent), ui_(ui) {
    timer_.setObjectName(QStringLiteral("tRunNext"));
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { emit stepped(int(tick())); });
}

void InsertionPoll::start(const QString& blockName, const cad::Variant& savedLayer,
                          const cad::Variant& savedTextStyle) {
    blockName_ = blockName;
    savedLayer_ = savedLayer;
    savedTextStyle_ = savedTextStyle;
    restorePending_ = true;
    mode_ = PendingInsertMode;
    timer_.start();
}

cad::Entity InsertionPoll::findNewReference(cad::VariantList& facts) const {
    const int count = CadModelSpace.count();
    for (int i = std::max(0, SavedModelSpaceCount); i < count; ++i) {
        const cad::Entity e = CadModelSpace.item(i);
        // What the completion needs of the reference comes with the test, in one read.
        const cad::VariantList row =
            cad::ReadProperties(CadDocument, {cad::Variant(e.ref())},
                                {QStringLiteral("ObjectName"), QStringLiteral("?Name"), QStringLiteral("?Rotation"),
                                 QStringLiteral("Handle"), QStringLiteral("?InsertionPoint")})
                .value(0)
                .toArray();
        if (row.value(0).toText() != QLatin1String("AcDbBlockReference")) continue;
        if (row.value(1).toText().compare(blockName_, Qt::CaseInsensitive) != 0) continue;
        facts = row;
        return e;
    }
    return {};
}

void InsertionPoll::restoreVariables() {
    if (!restorePending_) return;
    restorePending_ = false;
    // Each is set though the other is refused; a refusal is passed over.
    QStringList names;
    cad::VariantList values;
    if (!savedLayer_.isEmpty()) {
        names << QStringLiteral("CLAYER");
        values << savedLayer_;
    }
    if (!savedTextStyle_.isEmpty()) {
        names << QStringLiteral("TEXTSTYLE");
        values << savedTextStyle_;
    }
    try {
        if (!names.isEmpty()) cad::SetVariables(CadDocument, names, values);
    } catch (const cad::Error&) {
        // Both are set though one is refused: a refused one leaves the layer or the text style the
        // head was placed with current, which the user sees and changes; the head itself is whole.
    }
}

InsertionPoll::Step InsertionPoll::tick() {
    try {
        if (!automation::CadState.isNull() && !automation::CadState.isQuiescent()) return Busy;
    } catch (const cad::Error& e) {
        // The CAD no longer answers (closed, or its state object gone): waiting would never end.
        if (PendingInsertMode != 0) return closingPath(Failed, e.message(), isHostLost(e));
        timer_.stop();
        return NothingPending;
    }
    if (PendingInsertMode == 0) {
        timer_.stop();
        return NothingPending;
    }
    cad::Entity reference;
    cad::VariantList facts;
    try {
        const QString lastPrompt = CadDocument.getVariable(QStringLiteral("LASTPROMPT")).toText();
        if (lastPrompt.contains(QLatin1String("*Cancel*")) ||
            lastPrompt.contains(QLatin1String("*Anulowano*")))
            return closingPath(Cancelled);
        reference = findNewReference(facts);
    } catch (const cad::Error& e) {
        return closingPath(Failed, e.message(), isHostLost(e));
    }
    // The command ended without adding the block: as good as cancelled.
    if (reference.isNull()) return closingPath(Cancelled);
    timer_.stop();
    QCoreApplication::processEvents();
    InsertedRotation = facts.value(2).toDouble();
    HeadHandle = facts.value(3).toText();
    if (PendingInsertMode == 1) return completeHead(reference, facts.value(4).toPoint());
    if (PendingInsertMode == 2) return completePushButton(reference);
    return NothingPending;
}

void InsertionPoll::placeScreen(const cad::Point& at, const cad::Point& loadAt) {
    // The head folder under the suite root, two levels above the program folder.
    const QString folder = common::JoinPath(GetCityDataFolder(QStringLiteral("MORVANE_FOLDER")),
                                            QStringLiteral("aZasoby\\Sygnalizacja\\Sygnalizatory"));
    const QString file = common::JoinPath(folder, ScreenSymbol + QStringLiteral(".dwg"));
    if (!FileFound(file)) {
        ui_.showMainWindow();
        ui::MsgBox(QStringLiteral("Nie znaleziono ekranu %1\nw folderze [%2].").arg(ScreenSymbol, folder),
                   ui::Exclamation, MessageTitle());
        return;
    }
    LoadBlockWithAttributes(ScreenSymbol, file, ScreenTags, false, loadAt.x, loadAt.y);
    if (!automation::CheckBlockExists(ScreenSymbol)) return;
    const double scale = automation::DrawingScale * 10.0 / 1000.0;
    const cad::Entity screen = CadModelSpace.insertBlock(at, ScreenSymbol, scale, scale, scale, 0);
    screen.setRotation(InsertedRotation);
    screen.setLayer(QStringLiteral("110-SYGNALIZACJA_KOMORY"));
    screen.update();
    ScreenHandle = screen.handle();
}

InsertionPoll::Step InsertionPoll::completeHead(const cad::Entity& reference, const cad::Point& insertion) {
    PendingInsertMode = 0;
    ScreenHandle.clear();
    try {
        const double h = textHeight(QString::number(HeadTextHeight), 1.0);
        const cad::Utility utility = CadDocument.utility();
        reference.update();
        ensureLayer(DescriptionLayer);
        const cad::Point first = utility.getPoint(QStringLiteral("Wskaż położenie opisu ..."));
        addDescription(HeadDesignation, first, h, DescriptionLayer, QStringLiteral("SYGN_OPISY_TXT"));
        const bool conditional = HeadSymbol == QLatin1String("S-2p") || HeadSymbol == QLatin1String("S-2l") ||
                                 HeadSymbol == QLatin1String("S-2lp");
        if (conditional && LoadConditionalDescriptions()) {
            const cad::Point second =
                utility.getPoint(QStringLiteral("Wskaż położenie opisu sygnalizacji jazdy warunkowej ..."));
            addDescription(ConditionalDesignation, second, h, DescriptionLayer,
                           QStringLiteral("SYGN_OPISY_TXT"));
        }
        if (ContrastScreens) placeScreen(insertion, first);
        automation::TrySetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), IntersectionNumber);
    } catch (const cad::Error& e) {
        return closingPath(Failed, e.message(), isHostLost(e));
    }
    restoreVariables();
    ui_.showMainWindow();
    bool accepted = false;
    try {
        accepted = ui_.editHeadAttributes(HeadHandle);
    } catch (const cad::Error& e) {
        // Only a host gone while the inventory was open reaches here (the dialog says what else it
        // could not write): the inventory went nowhere.
        return closingPath(Failed, e.message(), isHostLost(e));
    }
    if (accepted && SetPushButtons) {
        ui_.openDetectorWindow();
        return HeadCompleted;
    }
    ui_.endProgram();
    return HeadCompleted;
}

InsertionPoll::Step InsertionPoll::completePushButton(const cad::Entity& reference) {
    PendingInsertMode = 0;
    try {
        reference.update();
        ensureLayer(QStringLiteral("109-SYGNALIZACJA_PRZYCISKI"));
        reference.setLayer(QStringLiteral("109-SYGNALIZACJA_PRZYCISKI"));
        if (reference.hasAttributes()) {
            for (const cad::Entity& a : reference.attributes()) {
                const QString tag = a.tagString().toUpper();
                QString value;
                if (tag == QLatin1String("RODZAJ"))
                    value = QStringLiteral("Przycisk");
                else if (tag == QLatin1String("TYP"))
                    value = ui_.pushButtonType();
                else if (tag == QLatin1String("PRODUCENT"))
                    value = ui_.pushButtonMaker();
                if (!value.isEmpty()) a.setTextString(value);
            }
            reference.update();
        }
        LoadDetectorTextFont();
        const double h = textHeight(HeadPlacerSettings.CzcionkaOpisuDetWys, 0.5);
        ensureLayer(QStringLiteral("256-OPISY_DETEKTOROW"));
        const cad::Point at = CadDocument.utility().getPoint(QStringLiteral("Wskaż położenie opisu ..."));
        addDescription(ui_.detectorDescriptionText(), at, h, QStringLiteral("256-OPISY_DETEKTOROW"),
                       QString());
    } catch (const cad::Error& e) {
        return closingPath(Failed, e.message(), isHostLost(e));
    }
    restoreVariables();
    ui_.showDetectorWindow();
    return PushButtonCompleted;
}

InsertionPoll::Step InsertionPoll::closingPath(Step why, const QString& failure, bool hostLost) {
    timer_.stop();
    PendingInsertMode = 0;
    if (!hostLost) restoreVariables();  // a lost host has nothing left to put back
    if (why == Failed) {
        QString text = mode_ == 2 ? QStringLiteral("Nie dokończono wstawiania przycisku:\n%1").arg(failure)
                                  : QStringLiteral("Nie dokończono wstawiania sygnalizatora:\n%1\n"
                                                   "Opis sygnalizatora i jego dane inwentaryzacyjne nie "
                                                   "zostały zapisane w rysunku.")
                                        .arg(failure);
        // This program cannot reach a new host: it ends, and the user starts it again.
        if (hostLost)
            text += QStringLiteral("\nUruchom ponownie program CAD i ten program, otwórz rysunek i wstaw "
                                   "sygnalizator ponownie.");
        ui::MsgBox(text, ui::Exclamation, MessageTitle());
        if (hostLost || mode_ != 2) {
            ui_.endProgramFailed();
            return why;
        }
    }
    if (mode_ == 2)
        ui_.showDetectorWindow();  // the detector window stays; another push-button may follow
    else
        ui_.endProgram();
    return why;
}

}  // namespace headplacer
