// The pattern-area command: circle, target point, crossing selection of the chosen layers, the lock
// cache, the clipped copies and the pattern block.
#include "hatcher/core/PatternArea.h"

#include "automation/Automation.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "hatcher/core/Clipping.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/LayerSets.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/ui/core/Prompt.h"

namespace hatcher {

using automation::CadDocument;
using automation::CadModelSpace;
using common::PlanePoint;
using common::Tlumacz;

QHash<QString, QStringList> PatternCopyHandles;

QString PatternCopiesKey(const QString& nr) {
    return QStringLiteral("SCHEMAT_WZORZEC_KOPIE_") + nr;
}

long SendCommandForNewEntity(const QString& command) {
    long result = -1;
    try {
        const int before = CadModelSpace.count();
        automation::SendCommandAndWait(command);
        const int after = CadModelSpace.count();
        if (after > before) result = after - 1;
    } catch (const cad::Error&) {
        result = -1;
    }
    return result;
}

PlanePoint PickPointWithPrompt(const cad::Variant& base, const QString& prompt) {
    try {
        const cad::Utility u = CadDocument.utility();
        const cad::Point p = base.isEmpty() ? u.getPoint(prompt) : u.getPoint(base.toPoint(), prompt);
        return {p.x, p.y};
    } catch (const cad::Error&) {
        return common::MissingPoint();
    }
}

cad::SelectionFilter BuildSelectionFilterFromList(const cad::VariantList& pairs) {
    cad::SelectionFilter f;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) f.add(int(pairs[i].toInt()), pairs[i + 1]);
    return f;
}

cad::SelectionFilter PatternLayerFilter(int mode, const QStringList& searchLayers) {
    cad::VariantList list;
    if (mode == 1) {
        list << -4 << QStringLiteral("<or");
        for (const QString& l : searchLayers) list << 8 << automation::EscapeFilterText(l);
        list << -4 << QStringLiteral("or>");
    } else {
        list << -4 << QStringLiteral("<and");
        for (const QString& l : TrafficLayers())
            list << -4 << QStringLiteral("<not") << 8 << l << -4 << QStringLiteral("not>");
        list << -4 << QStringLiteral("and>");
    }
    return BuildSelectionFilterFromList(list);
}

namespace {

cad::Point cp(const PlanePoint& p) {
    return {p.X, p.Y, 0};
}

// Erases what the command made so far: the user's circle and the copies.
void undoPattern(const cad::Entity& circle, const QStringList& copies) {
    for (const QString& h : copies) {
        try {
            CadDocument.handleToObject(h).erase();
        } catch (const cad::Error&) {
        }
    }
    try {
        if (!circle.isNull()) automation::DeleteEntity(circle);
    } catch (const cad::Error&) {
    }
}

// Notes the layers (in their order) that neither lock list of the form names yet: locked or not,
// a layer that cannot be found or read counting as unlocked. Their layers found and read at once.
void noteLayerLocks(HatcherForm& form, const QStringList& layers) {
    QStringList unknown;
    for (const QString& l : layers)
        if (!form.lockedLayers.contains(l) && !form.unlockedLayers.contains(l) && !unknown.contains(l))
            unknown << l;
    if (unknown.isEmpty()) return;
    QList<bool> locked(unknown.size(), false);
    try {
        const cad::Object table = CadDocument.layers();
        QList<cad::VariantList> names;
        for (const QString& l : unknown) names << cad::VariantList{l};
        const cad::VariantList found =
            cad::CallEachWith(CadDocument, cad::VariantList(unknown.size(), cad::Variant(table.ref())),
                              QStringLiteral("?Item"), names);
        cad::VariantList objects;
        QList<qsizetype> which;
        for (qsizetype i = 0; i < found.size(); ++i)
            if (!found[i].isEmpty()) {
                objects << found[i];
                which << i;
            }
        const cad::VariantList rows =
            objects.isEmpty() ? cad::VariantList()
                              : cad::ReadProperties(CadDocument, objects, {QStringLiteral("?Lock")});
        for (qsizetype k = 0; k < which.size(); ++k)
            locked[which[k]] = rows.value(k).toArray().value(0).toBool();
    } catch (const cad::Error&) {
    }
    for (qsizetype i = 0; i < unknown.size(); ++i)
        (locked[i] ? form.lockedLayers : form.unlockedLayers).append(unknown[i]);
}

}  // namespace

void frmMain_cmdDefObszar_Click(HatcherForm& form) {
    if (!automation::CheckDocumentOpen(true)) return;
    const QString nr = form.intersectionText();
    const int mode = common::SettingBindings[0].Value.toInt();
    const QStringList layers = form.searchLayers();
    if (mode == 1 && layers.isEmpty()) {
        ui::MsgBox(Tlumacz(QStringLiteral("Nie określono warstw wyszukiwania.")), ui::Exclamation,
                   form.caption());
        return;
    }
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    form.hideForm();
    SaveAndSetCadVariables(QString(), QString(), 0, 0);
    cad::Entity circle;
    QStringList copies;
    try {
        const long idx = SendCommandForNewEntity(QStringLiteral("_circle\r"));
        if (idx >= 0) circle = CadModelSpace.item(int(idx));
        if (!circle.isNull() && circle.objectName() == QLatin1String("AcDbCircle")) {
            const cad::Point centre = circle.center();
            const PlanePoint c{centre.x, centre.y};
            const double r = circle.radius();
            const PlanePoint t = PickPointWithPrompt(
                cad::Variant(), Tlumacz(QStringLiteral("Określ położenie tworzonego schematu...")));
            if (common::IsMissingPoint(t)) {
                // Escape at the target: the command ends quietly and the drawn circle stays.
                circle = {};
            } else {
                automation::HelperSelectionSet set(QStringLiteral("SSCopy"));
                set->select(cad::SelectionSet::Crossing, cad::Point{c.X - r, c.Y - r, 0},
                            cad::Point{c.X + r, c.Y + r, 0}, PatternLayerFilter(mode, layers));
                // The user's own circle is no content: with only traffic layers inside it, nothing is
                // copied, no pattern block is made and the circle stays.
                QList<cad::Entity> found;
                {
                    const QList<cad::Entity> all = set->entities();
                    const cad::VariantList handles =
                        cad::ReadProperties(CadDocument, cad::ObjectsOf(all), {QStringLiteral("Handle")});
                    const QString circleHandle = circle.handle();
                    for (qsizetype i = 0; i < all.size(); ++i)
                        if (handles.value(i).toArray().value(0).toText() != circleHandle) found << all[i];
                }
                const int n = int(found.size());
                if (n > 0) {
                    form.showForm();
                    ProgressInit(1, form.progressBar());
                    ProgressSetStepCount(n);
                    form.setStatus(Tlumacz(QStringLiteral("Tworzenie schematu wzorcowego ...")));
                    form.setCountText(QStringLiteral("0 / %1").arg(n));
                    form.processEvents();
                    // What the cuts read of every entity, at once.
                    const QList<ClipFacts> facts = ReadClipFacts(found);
                    // The layers' locks first (asked once a layer, in the entities' order): a cut
                    // changes none.
                    QStringList entityLayers;
                    for (const ClipFacts& f : facts)
                        if (!f.Name.isEmpty()) entityLayers << f.Layer;
                    noteLayerLocks(form, entityLayers);
                    QList<bool> skipped(n, false);
                    for (int k = 0; k < n; ++k)
                        skipped[k] = !facts[k].Name.isEmpty() && form.lockedLayers.contains(facts[k].Layer);
                    int i = 0;
                    auto stepDone = [&] {
                        ProgressStep();
                        ++i;
                        form.setCountText(QStringLiteral("%1 / %2").arg(i).arg(n));
                        form.processEvents();
                    };
                    while (i < n) {
                        // Entities in a row whose cuts need no answers travel as one run; hatches in
                        // a row as another, each costing only its reads.
                        const auto isHatch = [&](int k) {
                            return facts[k].Name == QLatin1String("AcDbHatch");
                        };
                        const bool hatchRun = isHatch(i);
                        int runEnd = i;
                        while (runEnd < n &&
                               (hatchRun ? isHatch(runEnd) : CutNeedsNoAnswers(facts[runEnd], c, r)))
                            ++runEnd;
                        if (runEnd > i) {
                            QList<cad::Entity> run;
                            QList<ClipFacts> runFacts;
                            for (int k = i; k < runEnd; ++k)
                                if (!skipped[k]) {
                                    run << found[k];
                                    runFacts << facts[k];
                                }
                            if (hatchRun)
                                ClipHatchCopiesToCircle(run, runFacts, c, r, t, copies);
                            else
                                ClipCopiesToCircle(run, runFacts, c, r, t, copies);
                            while (i < runEnd) stepDone();
                            continue;
                        }
                        const ClipFacts& f = facts[i];
                        try {
                            if (f.Name.isEmpty())
                                throw cad::Failed(QStringLiteral("The entity cannot be read"));
                            if (!skipped[i]) ClipEntityToCircle(found[i], f, c, r, true, t, false, &copies);
                        } catch (const cad::Error&) {
                            // one entity that cannot be cut does not stop the others
                        }
                        stepDone();
                    }
                    const QString name = QStringLiteral("Schemat_wzorzec_") + nr;
                    if (automation::CheckBlockExists(name)) automation::EraseBlockReferences(name, true);
                    automation::DeleteEntity(circle);
                    circle = {};
                    if (!automation::CheckBlockExists(name)) {
                        cad::Block b = CadDocument.blocks().add(cad::Point{0, 0, 0}, name);
                        b.addCircle(cad::Point{0, 0, 0}, r).setColor(7);
                        automation::AddAttributeDefinition(
                            b, QStringLiteral("PT_CENTER_X"),
                            common::FormatNumberWithDot(c.X, QStringLiteral("#######0.0000")), 0, 0);
                        automation::AddAttributeDefinition(
                            b, QStringLiteral("PT_CENTER_Y"),
                            common::FormatNumberWithDot(c.Y, QStringLiteral("#######0.0000")), 0, 0);
                        CadModelSpace.insertBlock(cp(t), name, 1, 1, 1, 0).update();
                        PatternCopyHandles.insert(nr, copies);
                        // Kept in the drawing too, so that a later run erases these copies and nothing
                        // else of the drawing.
                        automation::SetDrawingProperty(PatternCopiesKey(nr), copies.join(QLatin1Char(',')));
                    } else {
                        undoPattern({}, copies);
                    }
                }
                set.remove();
            }
        }
    } catch (const cad::Error& e) {
        undoPattern(circle, copies);
        try {  // a pattern block left half-made goes too
            const QString name = QStringLiteral("Schemat_wzorzec_") + nr;
            cad::Entity ref;
            if (automation::CheckBlockExists(name) &&
                !automation::FindFirstInsert(automation::EscapeFilterText(name), ref))
                CadDocument.blocks().item(name).erase();
        } catch (const cad::Error&) {
        }
        form.showForm();
        ui::MsgBox(Tlumacz(QStringLiteral("Nie udało się utworzyć schematu wzorcowego:")) +
                       QStringLiteral("\n") + QString::fromUtf8(e.what()),
                   ui::Exclamation, form.caption());
    }
    RestoreCadVariables();
    form.progressBar().setValue(0);
    form.setCountText(QString());
    form.setStatus(QString());
    form.showForm();
}

}  // namespace hatcher
