// The program attribute block: writing, reading, the intersection list and the older block.
#include "phaseplanner/drawing/ProgramAttributeBlock.h"

#include "automation/BlockAttributes.h"
#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/ReferenceReads.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/GroupParameters.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/FilteredReads.h"
#include "platform/ui/core/Prompt.h"

#include <cmath>

namespace phaseplanner {

QString PhaseOrderText;
int ChosenPhaseSet = 0;
int ProgramTableType = 0;
int GroupCountSetting = 0;
int MaxIntergreenTime = 0;
TableOrigin ProgramTableOrigin;
QString ProgramAttributeBlockName;

namespace {

const QString kLayer = QStringLiteral("002-OPISY");
constexpr double kShiftX = 195;

cad::SelectionFilter insertsNamed(const QString& pattern) {
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT")).add(2, pattern);
    return f;
}

bool isShifted(const automation::ReferenceRow& ref) {
    return ref.attribute(QStringLiteral("PRZESUN_X")) == QLatin1String("1");
}

common::PlanePoint insertionOf(const automation::ReferenceRow& ref, bool shifted) {
    common::PlanePoint p = automation::ReadCadPoint(ref.Values.value(1).toPoint());
    if (shifted) p.X += kShiftX;
    return p;
}

// References of the block standing inside other block definitions: the definition cannot be
// deleted while they exist, and a selection of the drawing never reaches them.
bool referencedInsideOtherBlocks(const cad::Blocks& table, const QString& name) {
    // The blocks' kinds and names in one read, then the entities of the ordinary ones in another.
    const QList<cad::Block> blocks = table.all();
    const cad::VariantList kinds = cad::ReadProperties(automation::CadDocument, cad::ObjectsOf(blocks),
                                                       {QStringLiteral("IsLayout"), QStringLiteral("Name")});
    cad::VariantList others;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const cad::VariantList row = kinds.value(i).toArray();
        if (row.value(0).toBool() || row.value(1).toText().compare(name, Qt::CaseInsensitive) == 0) continue;
        others.append(cad::Variant(blocks[i].ref()));
    }
    if (others.isEmpty()) return false;
    const cad::VariantList rows = cad::ReadProperties(automation::CadDocument, others, {},
                                                      {QStringLiteral("ObjectName"), QStringLiteral("?Name")});
    for (const cad::Variant& row : rows)
        for (const cad::Variant& entity : row.toArray().value(0).toArray()) {
            const cad::VariantList e = entity.toArray();
            if (e.value(1).toText() == QLatin1String("AcDbBlockReference") &&
                e.value(2).toText().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
    return false;
}

void cannotReplace(const QString& name) {
    ui::MsgBox(common::Tlumacz(QStringLiteral("Nie można zastąpić bloku atrybutów programu.")) +
                   QLatin1Char('\n') + QLatin1Char('[') + name + QLatin1Char(']'),
               ui::Exclamation, MainProgramWindow().caption());
}

automation::AttributeSpec hidden(const QString& tag, const QString& value) {
    return {tag, value};
}

// Shown in the table, its tag for a prompt.
automation::AttributeSpec visible(const QString& tag, const QString& value, double x, double y,
                                  double height = 2.5) {
    return {tag, value, height, 0, tag, cad::Point{x, y, 0}};
}

// The number of a labelled text such as "Max MZ: 7".
int numberAfterLabel(const QString& text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    return common::ParseInteger(colon >= 0 ? text.mid(colon + 1) : text);
}

}  // namespace

QString ProgramAttributeBlockNameFor(const QString& intersectionNumber) {
    return ProgramAttributeBlockPrefix() +
           (intersectionNumber.isEmpty() ? QStringLiteral("^") : intersectionNumber);
}

bool UstawWidoczneAtrybuty(bool documentChecked) {
    if (!documentChecked && !automation::CheckDocumentOpen(true)) return false;
    ProgramAttributeBlockName = ProgramAttributeBlockNameFor(IntersectionNumber);
    const QString& name = ProgramAttributeBlockName;
    const QString pattern = automation::EscapeFilterText(name);

    const cad::Blocks blocks = automation::CadDocument.blocks();
    automation::EnsureLayer(kLayer, true);
    const bool exists = blocks.invoke(QStringLiteral("Contains"), {name}).toBool();
    cad::Point place{0, 0, 0};
    if (exists) {
        // Check first, so that a block that cannot be replaced is never left without its reference.
        if (referencedInsideOtherBlocks(blocks, name)) {
            cannotReplace(name);
            return false;
        }
        bool hadReference = false;
        {
            // The references and where the first stands in one read.
            const cad::VariantList refs =
                cad::ReadSelection(automation::CadDocument, insertsNamed(pattern), {QStringLiteral("InsertionPoint")});
            if (!refs.isEmpty()) {
                place = refs.first().toArray().value(1).toPoint();
                hadReference = true;
                automation::DeleteEach(refs);
            }
        }
        try {
            blocks.item(name).erase();
        } catch (const std::exception&) {
            // Put the old block back where it stood rather than leave the drawing without it.
            if (hadReference) automation::CadModelSpace.insertBlock(place, name, 1, 1, 1, 0).setLayer(kLayer);
            cannotReplace(name);
            return false;
        }
    } else if (ProgramTableType != 0) {
        place = cad::Point{-kShiftX, 0, 0};
    }

    if (MaxCycleLength < 120) MaxCycleLength = 120;
    if (GroupCountSetting == 0) GroupCountSetting = 32;

    const cad::Block b = blocks.add(cad::Point{0, 0, 0}, name);
    const int programType = MainProgramWindow().programType();
    QList<automation::AttributeSpec> attributes{
        hidden(QStringLiteral("EXCEL_NAME"), ExcelWorkbookName),
        hidden(QStringLiteral("EXCEL_FULL_NAME"), ExcelWorkbookPath),
        hidden(QStringLiteral("EXCEL_ZESTAW_FAZ"), PhaseOrderText),
        hidden(QStringLiteral("GODZ_ROZP_PRACY"), WorkStartHour),
        hidden(QStringLiteral("GODZ_ZAK_PRACY"), WorkEndHour),
        hidden(QStringLiteral("KOLUMNA_FAZ"), QString::number(ChosenPhaseSet)),
        hidden(QStringLiteral("PARAMETRY_SZCZEGOLOWE"), FormatSetGreenTimes()),
        hidden(QStringLiteral("PARAM_SZCZEG_PRZESUNIECIE"), FormatPhaseStartShifts()),
        hidden(QStringLiteral("DLUG_CYKLU_MAX"), QString::number(MaxCycleLength)),
        hidden(QStringLiteral("ILOSC_GRUP"), QString::number(GroupCountSetting)),
        hidden(QStringLiteral("PROG_TYP"), QString::number(programType))};
    if (programType == 1 || programType == 2)
        attributes << visible(QStringLiteral("MAX_MZ"),
                              common::Tlumacz(QStringLiteral("Max MZ: ")) + QString::number(MaxIntergreenTime), 20, 291);
    attributes << hidden(QStringLiteral("PRZESUN_X"), ProgramTableType != 0 ? QStringLiteral("1") : QStringLiteral("0"))
               << visible(QStringLiteral("DLUG_CYKLU"), QString::number(CycleLength), 15, 12)
               << visible(QStringLiteral("WID_GODZ_PRACY"), WorkStartHour + QLatin1Char('-') + WorkEndHour, 41, 12)
               << visible(QStringLiteral("OFFSET"), ProgramOffset, 73.5, 12)
               << visible(QStringLiteral("WID_EXCEL_FULL_NAME"),
                          common::Tlumacz(QStringLiteral("Plik programu Excel: ")) + ExcelWorkbookPath, -5.5, 47, 2.0)
               << visible(QStringLiteral("WID_EXCEL_ZESTAW_FAZ"),
                          common::Tlumacz(QStringLiteral("Kolejność faz: ")) + PhaseOrderText, 10, 40);
    // The workbook's path stands along the table's left edge.
    automation::AddAttributeDefinitions(b, attributes).value(attributes.size() - 2).setRotation(M_PI / 2);

    cad::Entity ref = automation::CadModelSpace.insertBlock(place, name, 1, 1, 1, 0);
    ref.setLayer(kLayer);
    return true;
}

std::optional<QHash<QString, QString>> ReadProgramAttributeTexts() {
    ProgramAttributeBlockName = ProgramAttributeBlockNameFor(IntersectionNumber);
    const QList<automation::ReferenceRow> refs = automation::ReadReferencesWithAttributes(
        insertsNamed(automation::EscapeFilterText(ProgramAttributeBlockName)), {});
    if (refs.size() != 1 || !refs.first().HasAttributes) return std::nullopt;
    QHash<QString, QString> texts;
    for (const auto& [tag, text] : refs.first().Attributes) texts.insert(tag, text);
    return texts;
}

void GetAtrybutyProgramu() {
    if (const auto texts = ReadProgramAttributeTexts()) {
        ProgramWindow& w = MainProgramWindow();
        for (auto it = texts->cbegin(); it != texts->cend(); ++it) {
            const QString& tag = it.key();
            const QString& v = it.value();
            if (tag == QLatin1String("EXCEL_NAME"))
                ExcelWorkbookName = v;
            else if (tag == QLatin1String("EXCEL_FULL_NAME"))
                ExcelWorkbookPath = v;
            else if (tag == QLatin1String("GODZ_ROZP_PRACY"))
                WorkStartHour = v;
            else if (tag == QLatin1String("GODZ_ZAK_PRACY"))
                WorkEndHour = v;
            else if (tag == QLatin1String("ILOSC_GRUP"))
                GroupCountSetting = common::ParseInteger(v);
            else if (tag == QLatin1String("DLUG_CYKLU"))
                CycleLength = common::ParseInteger(v);
            else if (tag == QLatin1String("OFFSET"))
                ProgramOffset = v;
            else if (tag == QLatin1String("KOLUMNA_FAZ"))
                ChosenPhaseSet = common::ParseInteger(v);
            else if (tag == QLatin1String("PROG_TYP"))
                w.setProgramType(common::ParseInteger(v));
            else if (tag == QLatin1String("MAX_MZ"))
                MaxIntergreenTime = numberAfterLabel(v);
            else if (tag == QLatin1String("DLUG_CYKLU_MAX")) {
                MaxCycleLength = std::max(120, common::ParseInteger(v));
                w.showMaxCycleLength(MaxCycleLength);
            } else if (tag == QLatin1String("PRZESUN_X"))
                ProgramTableType = common::ParseInteger(v) != 0 ? -1 : 0;
            else if (tag == QLatin1String("EXCEL_ZESTAW_FAZ"))
                PhaseOrderText = v;
            else if (tag == QLatin1String("PARAMETRY_SZCZEGOLOWE"))
                ParseSetGreenTimes(v);
            else if (tag == QLatin1String("PARAM_SZCZEG_PRZESUNIECIE"))
                ParsePhaseStartShifts(v);
        }
    }
    if (MaxIntergreenTime < 5) MaxIntergreenTime = 5;
    if (GroupCountSetting == 0) GroupCountSetting = 32;
}

void SprawdzSkrzyzowania(bool& found) {
    ProgramWindow& w = MainProgramWindow();
    const bool suppressed = w.SuppressIntersectionClick;
    w.SuppressIntersectionClick = true;
    struct Restore {
        ProgramWindow& w;
        bool v;
        ~Restore() { w.SuppressIntersectionClick = v; }
    } restore{w, suppressed};

    ProgramTableOrigin = {};
    QString firstNumber;
    common::PlanePoint fallback{};
    bool fallbackSet = false;
    bool unnumberedSeen = false;
    common::PlanePoint unnumberedPoint{};
    bool unnumberedShifted = false;
    const int prefixLength = int(ProgramAttributeBlockPrefix().size());
    int n = 0;
    {
        // The references with their names, insertion points and attributes in two reads.
        const QList<automation::ReferenceRow> refs = automation::ReadReferencesWithAttributes(
            insertsNamed(ProgramAttributeBlockPrefix() + QLatin1Char('*')),
            {QStringLiteral("Name"), QStringLiteral("InsertionPoint")});
        n = int(refs.size());
        if (n > 0) w.clearIntersections();
        for (const automation::ReferenceRow& ref : refs) {
            const QString suffix = ref.Values.value(0).toText().mid(prefixLength);
            if (suffix.isEmpty()) continue;
            const bool shifted = isShifted(ref);
            if (!IntersectionNumber.isEmpty() && suffix == IntersectionNumber) {
                ProgramTableOrigin = {insertionOf(ref, shifted), true};
            }
            if (suffix == QLatin1String("^")) {
                unnumberedSeen = true;
                unnumberedPoint = insertionOf(ref, false);
                unnumberedShifted = shifted;
                if (firstNumber.isEmpty() && !ProgramTableOrigin.Known && !fallbackSet) {
                    fallback = unnumberedPoint;
                    fallbackSet = true;
                }
            } else {
                if (firstNumber.isEmpty() && !ProgramTableOrigin.Known) {
                    firstNumber = suffix;
                    fallback = insertionOf(ref, shifted);
                    fallbackSet = true;
                }
                bool listed = false;
                for (int i = 0; i < w.intersectionCount() && !listed; ++i)
                    listed = w.intersectionText(i) == suffix;
                if (!listed) w.addIntersection(suffix);
            }
        }
    }
    if (IntersectionNumber.isEmpty() && !firstNumber.isEmpty()) IntersectionNumber = firstNumber;

    // A block written before a number was chosen becomes the block of the chosen number; when that
    // number has its own block already, the unnumbered one is stale and goes with its definition.
    if (!IntersectionNumber.isEmpty() && unnumberedSeen) {
        const QString unnumbered = ProgramAttributeBlockNameFor(QString());
        const QString numbered = ProgramAttributeBlockNameFor(IntersectionNumber);
        if (automation::CheckBlockExists(numbered)) {
            automation::EraseBlockReferences(unnumbered, true);
        } else {
            automation::GetBlockDefinition(unnumbered).setName(numbered);
            bool listed = false;
            for (int i = 0; i < w.intersectionCount() && !listed; ++i)
                listed = w.intersectionText(i).compare(IntersectionNumber, Qt::CaseInsensitive) == 0;
            if (!listed) w.addIntersection(IntersectionNumber);
            if (!ProgramTableOrigin.Known) {
                ProgramTableOrigin.Point = unnumberedPoint;
                if (unnumberedShifted) ProgramTableOrigin.Point.X += kShiftX;
                ProgramTableOrigin.Known = true;
            }
        }
    }

    if (!ProgramTableOrigin.Known && fallbackSet) ProgramTableOrigin = {fallback, true};
    found = n > 0 && ProgramTableOrigin.Known;
    if (ProgramTableOrigin.Known) {
        if (w.intersectionCount() > 0) {
            w.selectIntersection(0);
            for (int i = 0; i < w.intersectionCount(); ++i)
                if (w.intersectionText(i).compare(IntersectionNumber, Qt::CaseInsensitive) == 0)
                    w.selectIntersection(i);
        }
        ProgramTableOrigin.Point.X += 15;
        ProgramTableOrigin.Point.Y += 278;
    }
}

void UpdateDrawingProgram(bool readMaximum) {
    const QString oldName = QStringLiteral("ATRYBUTY_RYSUNKU");
    const cad::Block old = automation::GetBlockDefinition(oldName);
    if (old.isNull()) return;
    automation::SetDrawingProperty(QString(), QString());
    bool programData = false;
    // The block's entities with their kinds, tags and texts in one read.
    const cad::VariantList rows = cad::ReadProperties(
        automation::CadDocument, {cad::Variant(old.ref())}, {},
        {QStringLiteral("ObjectName"), QStringLiteral("?TagString"), QStringLiteral("?TextString")});
    for (const cad::Variant& part : rows.value(0).toArray().value(0).toArray()) {
        const cad::VariantList e = part.toArray();
        if (e.value(1).toText() != QLatin1String("AcDbAttributeDefinition")) continue;
        const QString tagString = e.value(2).toText();
        const QString tag = tagString.toUpper();
        const QString text = e.value(3).toText();
        const QString t = text.trimmed();
        if (tag == QLatin1String("X_POCZ") || tag == QLatin1String("Y_POCZ")) continue;
        if (tag == QLatin1String("DLUG_CYKLU"))
            CycleLength = common::ParseInteger(t);
        else if (tag == QLatin1String("DLUG_CYKLU_MAX")) {
            if (readMaximum) MaxCycleLength = std::max(120, common::ParseInteger(t));
        } else if (tag == QLatin1String("EXCEL_NAME"))
            ExcelWorkbookName = t;
        else if (tag == QLatin1String("EXCEL_FULL_NAME"))
            ExcelWorkbookPath = t;
        else if (tag == QLatin1String("GODZ_ROZP_PRACY"))
            WorkStartHour = t;
        else if (tag == QLatin1String("GODZ_ZAK_PRACY"))
            WorkEndHour = t;
        else if (tag == QLatin1String("OFFSET"))
            ProgramOffset = t;
        else if (tag == QLatin1String("NR_SKRZYZOWANIA"))
            IntersectionNumber = t;
        else if (tag == QLatin1String("ILOSC_GRUP"))
            GroupCountSetting = common::ParseInteger(t);
        else {
            automation::SetDrawingProperty(tagString, text);
            continue;
        }
        programData = true;
    }
    {
        // The references go; the definition read above is deleted unless still used inside
        // another block.
        cad::SelectionFilter filter;
        filter.add(2, automation::EscapeFilterText(oldName));
        automation::DeleteEach(cad::ReadSelection(automation::CadDocument, filter, {}));
        try {
            old.erase();
        } catch (const cad::Error&) {
            // Still referenced inside another block: the definition stays there, unseen, while its
            // references the user sees are gone.
        }
    }
    if (!programData) return;
    if (!UstawWidoczneAtrybuty()) return;
    if (automation::CheckBlockExists(QStringLiteral("ATRYBUTY_WIDOCZNE")))
        automation::EraseBlockReferences(QStringLiteral("ATRYBUTY_WIDOCZNE"), true);
}

void RemoveStaleTimeMarkers() {
    bool erased = false;
    {
        automation::HelperSelectionSet set(QStringLiteral("SSCzas"));
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT"))
            .add(2, QStringLiteral("AKTUALNY_CZAS_*"))
            .add(8, QStringLiteral("255-ROBOCZA"));
        set->select(cad::SelectionSet::All, f);
        if (set->count() > 0) {
            set->erase();
            erased = true;
        }
    }
    if (!erased) return;
    for (const cad::Block& b : automation::CadDocument.blocks().all()) {
        try {
            if (!b.isLayout() && b.name().startsWith(QLatin1String("AKTUALNY_CZAS_"))) b.erase();
        } catch (const cad::Error&) {
            // Still in use inside another block: the definition stays, unseen; its references are gone.
        }
    }
}

void ResetProgramAttributeState() {
    ExcelWorkbookName.clear();
    ExcelWorkbookPath.clear();
    PhaseOrderText.clear();
    ChosenPhaseSet = 0;
    ProgramTableType = 0;
    GroupCountSetting = 0;
    MaxIntergreenTime = 0;
    ProgramTableOrigin = {};
    ProgramAttributeBlockName.clear();
}

}  // namespace phaseplanner
