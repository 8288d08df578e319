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
#include "platform/cad/DeferredCalls.h"
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
    } catch (const cad::ConnectionLost&) {
        throw;  // no Escape: the host went away while the user drew, and the command says so
    } catch (const cad::Error&) {
        result = -1;  // the command refused: no entity, as after an Escape
    }
    return result;
}

PlanePoint PickPointWithPrompt(const cad::Variant& base, const QString& prompt) {
    try {
        const cad::Utility u = CadDocument.utility();
        const cad::Point p = base.isEmpty() ? u.getPoint(prompt) : u.getPoint(base.toPoint(), prompt);
        return {p.x, p.y};
    } catch (const cad::ConnectionLost&) {
        throw;  // no Escape: the host went away while the user was to pick, and the command says so
    } catch (const cad::Error&) {
        return common::MissingPoint();  // Escape, or no point taken: the caller's "nothing picked"
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
            NoteLeftOutCut();  // the copy stays in the drawing: said with the failure
        }
    }
    try {
        if (!circle.isNull()) automation::DeleteEntity(circle);
    } catch (const cad::Error&) {
        NoteLeftOutCut();  // the user's circle stays: said with the failure
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
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error&) {
        // Lock states the CAD will not give count as unlocked: the pattern then takes copies of those
        // layers' entities too, which the user sees in it; the drawing's own entities stay untouched.
    }
    for (qsizetype i = 0; i < unknown.size(); ++i)
        (locked[i] ? form.lockedLayers : form.unlockedLayers).append(unknown[i]);
}

// What the pattern takes: the entities of the chosen layers crossing the circle's square, the
// user's own circle left out (it is no content).
QList<cad::Entity> patternContent(automation::HelperSelectionSet& set, const cad::Entity& circle,
                                  const PlanePoint& c, double r, int mode, const QStringList& layers) {
    set->select(cad::SelectionSet::Crossing, cad::Point{c.X - r, c.Y - r, 0}, cad::Point{c.X + r, c.Y + r, 0},
                PatternLayerFilter(mode, layers));
    const QList<cad::Entity> all = set->entities();
    const cad::VariantList handles =
        cad::ReadProperties(CadDocument, cad::ObjectsOf(all), {QStringLiteral("Handle")});
    const QString circleHandle = circle.handle();
    QList<cad::Entity> found;
    for (qsizetype i = 0; i < all.size(); ++i)
        if (handles.value(i).toArray().value(0).toText() != circleHandle) found << all[i];
    return found;
}

// Which entities the pattern leaves alone: those on locked layers (the layers' locks noted in the
// form once a layer, in the entities' order).
QList<bool> lockedEntities(HatcherForm& form, const QList<ClipFacts>& facts) {
    QStringList entityLayers;
    for (const ClipFacts& f : facts)
        if (!f.Name.isEmpty()) entityLayers << f.Layer;
    noteLayerLocks(form, entityLayers);
    QList<bool> skipped(facts.size(), false);
    for (qsizetype k = 0; k < facts.size(); ++k)
        skipped[k] = !facts[k].Name.isEmpty() && form.lockedLayers.contains(facts[k].Layer);
    return skipped;
}

// The progress of the cut: one step an entity.
struct CutProgress {
    HatcherForm& form;
    int n = 0;
    int done = 0;
    void start() {
        form.showForm();
        ProgressInit(1, form.progressBar());
        ProgressSetStepCount(n);
        form.setStatus(Tlumacz(QStringLiteral("Tworzenie schematu wzorcowego ...")));
        form.setCountText(QStringLiteral("0 / %1").arg(n));
        form.processEvents();
    }
    void step() {
        ProgressStep();
        ++done;
        form.setCountText(QStringLiteral("%1 / %2").arg(done).arg(n));
        form.processEvents();
    }
};

// The next group of entities cut together from `i`: hatches in a row, or entities in a row whose cuts
// only copy, change and move. Its end; `i` itself when the entity at `i` is cut alone.
int groupEnd(const QList<ClipFacts>& facts, int i, const PlanePoint& c, double r) {
    const auto isHatch = [&](int k) { return facts[k].Name == QLatin1String("AcDbHatch"); };
    const bool hatches = isHatch(i);
    int end = i;
    while (end < facts.size() && (hatches ? isHatch(end) : CutOnlyCopiesAndTrims(facts[end], c, r))) ++end;
    return end;
}

// Cuts the group [i, end) but the entities left alone; their copies' handles go to `copies`.
void cutGroup(const QList<cad::Entity>& found, const QList<ClipFacts>& facts, const QList<bool>& skipped,
              int i, int end, const PlanePoint& c, double r, const PlanePoint& t, QStringList& copies) {
    QList<cad::Entity> group;
    QList<ClipFacts> groupFacts;
    for (int k = i; k < end; ++k)
        if (!skipped[k]) {
            group << found[k];
            groupFacts << facts[k];
        }
    if (facts[i].Name == QLatin1String("AcDbHatch"))
        ClipHatchCopiesToCircle(group, groupFacts, c, r, t, copies);
    else
        ClipCopiesToCircle(group, groupFacts, c, r, t, copies);
}

// Copies what lies in the circle to the target and cuts it to the circle, in the entities' order;
// the copies' handles go to `copies`. An entity that cannot be cut alone does not stop the others.
void cutPattern(HatcherForm& form, const QList<cad::Entity>& found, const PlanePoint& c, double r,
                const PlanePoint& t, QStringList& copies) {
    CutProgress progress{form, int(found.size())};
    progress.start();
    const QList<ClipFacts> facts = ReadClipFacts(found);
    const QList<bool> skipped = lockedEntities(form, facts);
    // The cuts' changes may reach the drawing together, at their next read: each group ends by reading
    // what it took, and each entity cut alone by reading its pieces in its own trap, so a refusal of the
    // CAD reaches the trap it would reach from its own call.
    const cad::DeferredCalls together(CadDocument, cad::DeferredCalls::NewObjectsToo);
    int i = 0;
    while (i < progress.n) {
        if (const int end = groupEnd(facts, i, c, r); end > i) {
            cutGroup(found, facts, skipped, i, end, c, r, t, copies);
            while (progress.done < end) progress.step();
            i = end;
            continue;
        }
        try {
            if (facts[i].Name.isEmpty()) throw cad::Failed(QStringLiteral("The entity cannot be read"));
            if (!skipped[i]) ClipEntityToCircle(found[i], facts[i], c, r, true, t, false, &copies);
        } catch (const cad::Error&) {
            NoteLeftOutCut();  // one entity that cannot be cut does not stop the others
        }
        progress.step();
        ++i;
    }
}

// The pattern block "Schemat_wzorzec_<nr>" (the circle and the centre as PT_CENTER_X/Y) inserted at
// the target, with the copies recorded for the pictures; the user's circle goes. Where an old pattern
// block of the intersection cannot be replaced, the copies go instead.
void makePatternBlock(const QString& nr, cad::Entity& circle, const PlanePoint& c, double r,
                      const PlanePoint& t, const QStringList& copies) {
    const QString name = QStringLiteral("Schemat_wzorzec_") + nr;
    if (automation::CheckBlockExists(name)) automation::EraseBlockReferences(name, true);
    automation::DeleteEntity(circle);
    circle = {};
    if (automation::CheckBlockExists(name))
        throw cad::Failed(
            Tlumacz(QStringLiteral("Nie można zastąpić bloku %1: jest nadal używany.")).arg(name));
    cad::Block b = CadDocument.blocks().add(cad::Point{0, 0, 0}, name);
    b.addCircle(cad::Point{0, 0, 0}, r).setColor(7);
    automation::AddAttributeDefinition(b, QStringLiteral("PT_CENTER_X"),
                                       common::FormatNumberWithDot(c.X, QStringLiteral("#######0.0000")), 0,
                                       0);
    automation::AddAttributeDefinition(b, QStringLiteral("PT_CENTER_Y"),
                                       common::FormatNumberWithDot(c.Y, QStringLiteral("#######0.0000")), 0,
                                       0);
    CadModelSpace.insertBlock(cp(t), name, 1, 1, 1, 0).update();
    PatternCopyHandles.insert(nr, copies);
    // Kept in the drawing too, so that a later pattern area erases these copies and nothing else of
    // the drawing.
    automation::SetDrawingProperty(PatternCopiesKey(nr), copies.join(QLatin1Char(',')));
}

// The pattern area from the drawn circle on: the target, the content, the cut and the block. Escape at
// the target ends it quietly, the circle staying; with nothing in the circle the circle stays too.
void makePattern(HatcherForm& form, const QString& nr, int mode, const QStringList& layers,
                 cad::Entity& circle, QStringList& copies) {
    // The circle the user draws with the CAD's own command.
    const long idx = SendCommandForNewEntity(QStringLiteral("_circle\r"));
    if (idx >= 0) circle = CadModelSpace.item(int(idx));
    if (circle.isNull() || circle.objectName() != QLatin1String("AcDbCircle")) return;
    const cad::Point centre = circle.center();
    const PlanePoint c{centre.x, centre.y};
    const double r = circle.radius();
    const PlanePoint t = PickPointWithPrompt(
        cad::Variant(), Tlumacz(QStringLiteral("Określ położenie tworzonego schematu...")));
    if (common::IsMissingPoint(t)) {
        circle = {};
        return;
    }
    automation::HelperSelectionSet set(QStringLiteral("SSCopy"));
    const QList<cad::Entity> found = patternContent(set, circle, c, r, mode, layers);
    if (!found.isEmpty()) {
        cutPattern(form, found, c, r, t, copies);
        makePatternBlock(nr, circle, c, r, t, copies);
    }
    set.remove();
}

// After a failure: erases what the pattern area made (the circle, the copies, a pattern block left
// without its reference) and says why.
void failPattern(HatcherForm& form, const QString& nr, const cad::Entity& circle, const QStringList& copies,
                 const cad::Error& e) {
    undoPattern(circle, copies);
    try {
        const QString name = QStringLiteral("Schemat_wzorzec_") + nr;
        cad::Entity ref;
        if (automation::CheckBlockExists(name) &&
            !automation::FindFirstInsert(automation::EscapeFilterText(name), ref))
            CadDocument.blocks().item(name).erase();
    } catch (const cad::Error&) {
        NoteLeftOutCut();  // the unused pattern block stays in the block table: said below
    }
    form.showForm();
    QString text = Tlumacz(QStringLiteral("Nie udało się utworzyć schematu wzorcowego:")) +
                   QStringLiteral("\n") + QString::fromUtf8(e.what());
    if (!LeftOutCuts().isEmpty())
        text += QStringLiteral("\n") +
                Tlumacz(QStringLiteral(
                            "Program CAD odmówił też %1 innych zmian; część kopii mogła pozostać w rysunku."))
                    .arg(LeftOutCuts().size());
    ui::MsgBox(text, ui::Exclamation, form.caption());
}

// What the pattern lacks, in one message: the cuts the CAD refused, with its reasons, and the nested block
// references the cut left out. Empty for a whole pattern.
QString patternLacks() {
    const QStringList nesting = LeftOutNestingNotes();
    if (LeftOutCuts().isEmpty() && nesting.isEmpty()) return {};
    QStringList lines;
    if (!LeftOutCuts().isEmpty()) {
        QStringList reasons = LeftOutCuts();
        reasons.removeDuplicates();
        lines << Tlumacz(QStringLiteral("Schemat wzorcowy jest niepełny: program CAD odmówił wycięcia części "
                                        "obiektów (%1):"))
                     .arg(LeftOutCuts().size())
              << reasons;
    } else {
        lines << Tlumacz(QStringLiteral("Schemat wzorcowy jest niepełny:"));
    }
    return (lines + nesting).join(QLatin1Char('\n'));
}

// The progress bar, the count and the status line no longer show the cut.
void resetProgress(HatcherForm& form) {
    form.progressBar().setValue(0);
    form.setCountText(QString());
    form.setStatus(QString());
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
    ClearLeftOutCuts();
    try {
        makePattern(form, nr, mode, layers, circle, copies);
        if (const QString lacks = patternLacks(); !lacks.isEmpty()) {
            form.showForm();
            ui::MsgBox(lacks, ui::Exclamation, form.caption());
        }
    } catch (const cad::ConnectionLost&) {
        resetProgress(form);
        throw;  // nothing can be erased or put back: the caller says the command stopped
    } catch (const cad::Error& e) {
        failPattern(form, nr, circle, copies, e);
    }
    try {
        RestoreCadVariables();
    } catch (const cad::ConnectionLost&) {
        resetProgress(form);
        throw;
    }
    resetProgress(form);
    form.showForm();
}

}  // namespace hatcher
