// Cutting a hatch to a circle: its loops become one region (islands subtracted), the region is
// intersected with the circle and filled again as a solid hatch; when that fails, the region's
// exploded outline is chained into new solid hatches.
#include "hatcher/core/Clipping.h"

#include "automation/Automation.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"

#include <QSet>
#include <cmath>

namespace hatcher {

using automation::CadModelSpace;
using common::PlanePoint;

namespace {

cad::Point cp(const PlanePoint& p) {
    return {p.X, p.Y, 0};
}

// Erases a curve or region made only for a cut; one the CAD keeps stays in the drawing and is said.
void eraseQuietly(const cad::Entity& e) {
    try {
        e.erase();
    } catch (const cad::Error&) {
        NoteLeftOutCut();
    }
}

// The region of a loop's curves; curves made only for it are deleted again (at once, or by the caller
// when it collects them in `leftovers`). With `madeRegions` the regions were made already: their
// AddRegion's answer, empty where it was refused.
cad::Entity regionOf(const QList<cad::Entity>& curves, bool made, QList<cad::Entity>* leftovers,
                     const cad::Variant* madeRegions = nullptr) {
    cad::Entity region;
    if (!curves.isEmpty() && !(madeRegions && madeRegions->isEmpty())) {
        try {
            QList<cad::Entity> regions;
            if (madeRegions)
                for (const cad::Variant& v : madeRegions->toArray())
                    regions << cad::Entity(CadModelSpace.channel(), v.toObject());
            else
                regions = CadModelSpace.addRegion(curves);
            for (int i = 0; i < regions.size(); ++i)
                if (i == 0)
                    region = regions[0];
                else
                    regions[i].erase();
        } catch (const cad::Error&) {
            NoteLeftOutCut();  // the loop gives no region: the hatch is cut without it
        }
    }
    if (made) {
        if (leftovers)
            *leftovers << curves;
        else
            for (const cad::Entity& c : curves) eraseQuietly(c);
    }
    return region;
}

cad::Entity loopRegion(const cad::Entity& hatch, int index, QList<cad::Entity>* leftovers) {
    const int before = CadModelSpace.count();
    const QList<cad::Entity> curves = hatch.loopAt(index);
    const bool made = CadModelSpace.count() > before;  // the loop had no live boundary objects
    return regionOf(curves, made, leftovers);
}

// Adds the loop's region to the running one: a loop lying inside is an island and is cut out.
void addLoop(cad::Entity& running, const cad::Entity& region) {
    const cad::Entity probe = running.copy();
    const double own = region.area();
    probe.boolean(1, region.copy());
    const double common = probe.area();
    probe.erase();
    const bool island = own > 0 && std::abs(common - own) <= 1e-6 * std::max(1.0, own);
    running.boolean(island ? 2 : 0, region);
}

QList<cad::Entity> fallbackHatches(const cad::Entity& region, const QString& layer, int colour,
                                   QStringList* taken) {
    QList<cad::Entity> pieces;
    QList<cad::Entity> made;
    const bool ok = ExplodeEntity(region, pieces);
    eraseQuietly(region);
    if (!ok) return made;
    auto fill = [&](const QList<cad::Entity>& loop, bool noted) {
        const cad::Entity h = AddSolidHatch();
        h.appendOuterLoop(loop);
        if (noted) {
            h.setLayer(layer);
            h.setColor(colour);
        }
        h.evaluate();
        made << h;
    };
    if (pieces.size() == 1) {
        fill(pieces, true);
    } else {
        QList<cad::Entity> chain;
        std::vector<ClipSegmentRecord> records;
        for (const cad::Entity& p : pieces) {
            const QString name = p.objectName();
            if (name == QLatin1String("AcDbLine") || name == QLatin1String("AcDbArc")) {
                p.setColor(colour);
                chain << p;
                records.push_back(EntityToSegment(p, false));
                if (chain.size() >= 2 && IsClosedChain(records)) {
                    fill(chain, true);
                    chain.clear();
                    records.clear();
                }
            } else if (name == QLatin1String("AcDbRegion") || name == QLatin1String("AcDbCircle")) {
                fill({p}, false);
                chain.clear();
                records.clear();
            }
        }
    }
    // The outline stays in the drawing around the new hatches.
    if (taken)
        for (const cad::Entity& p : pieces) taken->append(p.handle());
    return made;
}

}  // namespace

bool ClipHatchToCircle(const cad::Entity& entity, const PlanePoint& c, double r, bool makeCopy,
                       const PlanePoint& t, QStringList* taken) {
    const ClipFacts facts = ReadClipFacts({entity}).value(0);
    if (facts.Name.isEmpty()) throw cad::Failed(QStringLiteral("The entity cannot be read"));
    return ClipHatchToCircle(entity, facts, c, r, makeCopy, t, taken);
}

namespace {

// What the cut of many hatches has done for one hatch before its own cut.
struct HatchStart {
    cad::Entity Work;  // the copy
    bool HasFirstLoop = false;
    QList<cad::Entity> FirstLoop;  // the curves of loop 0
    bool FirstLoopMade = false;
    bool HasFirstRegions = false;
    cad::Variant FirstRegions;  // AddRegion's answer for them (empty: refused)
};

// The region of all the hatch's loops, islands cut out; null when no loop gives one.
cad::Entity hatchRegion(const cad::Entity& work, int loops, const HatchStart* start,
                        QList<cad::Entity>* leftovers) {
    cad::Entity running;
    for (int i = 0; i < loops; ++i) {
        const cad::Entity region = i == 0 && start && start->HasFirstLoop
                                       ? regionOf(start->FirstLoop, start->FirstLoopMade, leftovers,
                                                  start->HasFirstRegions ? &start->FirstRegions : nullptr)
                                       : loopRegion(work, i, leftovers);
        if (region.isNull()) continue;
        if (running.isNull())
            running = region;
        else
            addLoop(running, region);
    }
    return running;
}

// Cuts the region to the circle and moves its part inside to the target (a move keeps the area);
// false, the region erased, when nothing of it lies inside.
bool cutRegion(const cad::Entity& running, const PlanePoint& c, double r, const PlanePoint& t,
               cad::Entity* circleRegion, QList<cad::Entity>* leftovers) {
    cad::Entity clip;
    if (!circleRegion || circleRegion->isNull()) {
        const cad::Entity circle = CadModelSpace.addCircle(cp(c), r);
        const QList<cad::Entity> circleRegions = CadModelSpace.addRegion({circle});
        circle.send(QStringLiteral("Delete"));
        clip = circleRegions.value(0);
        if (circleRegion && !clip.isNull()) {
            *circleRegion = clip;
            if (leftovers) *leftovers << clip;
        }
    }
    if (circleRegion && !circleRegion->isNull()) clip = circleRegion->copy();  // the same region
    running.send(QStringLiteral("Boolean"), {1, clip});
    running.move(cp(c), cp(t));
    if (running.area() > 0) return true;
    running.erase();
    return false;
}

// Fills the cut region as a solid hatch on the layer and in the colour of the hatch it was cut
// from, the region itself going; where the CAD refuses, the region's outline is chained into solid
// hatches instead. Whether any hatch was made.
bool fillRegion(const cad::Entity& running, const QString& layer, int colour, QStringList* taken) {
    cad::Entity hatch;
    try {
        hatch = AddSolidHatch();
        hatch.send(QStringLiteral("AppendOuterLoop"),
                   {cad::Variant(cad::ObjectsOf(QList<cad::Entity>{running}))});
        hatch.setLayer(layer);
        hatch.setColor(colour);
        hatch.send(QStringLiteral("Evaluate"));
        running.send(QStringLiteral("Delete"));
        // Read here, so that a refusal of any of the above reaches the trap below.
        const QString handle = hatch.handle();
        if (taken) taken->append(handle);
        return true;
    } catch (const cad::Error&) {
        if (!hatch.isNull()) eraseQuietly(hatch);
    }
    const QList<cad::Entity> made = fallbackHatches(running, layer, colour, taken);
    if (taken)
        for (const cad::Entity& h : made) taken->append(h.handle());
    return !made.isEmpty();
}

// The cut of one hatch. With `leftovers` the copy and the curves made for its loops are left there
// for the caller to erase (each erasure ignores its own failure, as the cut's own trap would). With
// `start` the copy and its first loop come from the caller; with `circleRegion` the clip circle's
// region is made once (on first need) and each cut intersects with a copy of it.
bool clipHatch(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
               bool makeCopy, const PlanePoint& t, QStringList* taken, QList<cad::Entity>* leftovers,
               const HatchStart* start = nullptr, cad::Entity* circleRegion = nullptr) {
    const cad::Entity work = start ? start->Work : makeCopy ? entity.copy() : entity;
    // A copy has the loops of its hatch.
    const int loops = facts.Loops >= 0 ? facts.Loops : work.numberOfLoops();
    const cad::Entity running = hatchRegion(work, loops, start, leftovers);
    const bool contributed = !running.isNull() && cutRegion(running, c, r, t, circleRegion, leftovers) &&
                             fillRegion(running, facts.Layer, facts.Colour, taken);
    if (makeCopy) {
        if (leftovers)
            *leftovers << work;
        else
            work.erase();
    }
    return contributed;
}

}  // namespace

bool ClipHatchToCircle(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
                       bool makeCopy, const PlanePoint& t, QStringList* taken) {
    return clipHatch(entity, facts, c, r, makeCopy, t, taken, nullptr);
}

namespace {

// Copies the hatches; a hatch whose copy the CAD refuses is marked failed, the others are copied.
// The model-space count after the copies.
int copyHatches(const QList<cad::Entity>& hatches, QList<HatchStart>& starts, QList<bool>& failed) {
    QList<qsizetype> pending;
    for (qsizetype j = 0; j < hatches.size(); ++j)
        if (!failed[j]) pending << j;
    for (;;) {
        for (qsizetype j : pending) {
            try {
                starts[j].Work = hatches[j].copy();
            } catch (const cad::Error&) {
                failed[j] = true;
            }
        }
        try {
            return CadModelSpace.count();
        } catch (const cad::Error&) {
            // The copies stopped at the one refused (the count reports it when the copies were made
            // together): those before it stand, those after it were never made and are made again.
            QList<qsizetype> retry;
            bool refused = false;
            for (qsizetype j : pending) {
                if (failed[j]) continue;
                if (refused) {
                    retry << j;
                    continue;
                }
                try {
                    starts[j].Work.handle();
                } catch (const cad::Error&) {
                    failed[j] = refused = true;
                }
            }
            if (!refused) throw;  // the count itself failed
            pending = retry;
        }
    }
}

// The curves of every copy's first loop, and whether the loops made them (a loop without
// live boundary objects makes new curves, which the cut deletes again).
void readFirstLoops(QList<HatchStart>& starts, const QList<ClipFacts>& facts, QList<bool>& failed,
                    int before) {
    QList<qsizetype> which;
    for (qsizetype j = 0; j < starts.size(); ++j)
        if (!failed[j] && facts[j].Loops >= 1) which << j;
    if (which.isEmpty()) return;
    QList<cad::Entity> works;
    for (qsizetype j : which) works << starts[j].Work;
    const cad::VariantList answers =
        cad::CallEach(automation::CadDocument, cad::ObjectsOf(works), QStringLiteral("?GetLoopAt"), {0});
    const int after = CadModelSpace.count();
    qsizetype curves = 0;
    for (qsizetype k = 0; k < which.size(); ++k) {
        HatchStart& s = starts[which[k]];
        const cad::Variant& answer = answers.value(k);
        if (answer.isEmpty()) {
            failed[which[k]] = true;  // the loop could not be read: the cut fails there
            continue;
        }
        for (const cad::Variant& e : answer.toArray())
            s.FirstLoop << cad::Entity(CadModelSpace.channel(), e.toObject());
        s.HasFirstLoop = true;
        curves += s.FirstLoop.size();
    }
    const int made = after - before;
    if (made == 0) return;
    if (made == curves) {
        for (qsizetype j : which) starts[j].FirstLoopMade = true;
        return;
    }
    // Some loops made curves and some gave live objects: the made ones are the newest of model space.
    QSet<QString> newest;
    for (int i = before; i < after; ++i) newest.insert(CadModelSpace.item(i).handle());
    for (qsizetype j : which) {
        HatchStart& s = starts[j];
        if (!s.FirstLoop.isEmpty()) s.FirstLoopMade = newest.contains(s.FirstLoop.front().handle());
    }
}

// The regions of every first loop ("?": a refused AddRegion answers nothing, as its own trap would
// have left the loop without a region).
void makeFirstRegions(QList<HatchStart>& starts) {
    QList<qsizetype> which;
    cad::VariantList targets;
    QList<cad::VariantList> curveSets;
    for (qsizetype j = 0; j < starts.size(); ++j)
        if (starts[j].HasFirstLoop && !starts[j].FirstLoop.isEmpty()) {
            which << j;
            targets << CadModelSpace.ref();
            curveSets << cad::VariantList{cad::Variant(cad::ObjectsOf(starts[j].FirstLoop))};
        }
    if (which.isEmpty()) return;
    const cad::VariantList answers =
        cad::CallEachWith(automation::CadDocument, targets, QStringLiteral("?AddRegion"), curveSets);
    for (qsizetype k = 0; k < which.size(); ++k) {
        starts[which[k]].HasFirstRegions = true;
        starts[which[k]].FirstRegions = answers.value(k);
    }
}

}  // namespace

void ClipHatchCopiesToCircle(const QList<cad::Entity>& hatches, const QList<ClipFacts>& facts,
                             const PlanePoint& c, double r, const PlanePoint& t, QStringList& taken) {
    if (hatches.isEmpty()) return;
    // The copies, their first loops and those loops' regions are made for all hatches at once (a
    // refused copy or loop fails only its own cut, a refused region leaves its loop without one);
    // then each cut reads its own area and its new hatch's handle, so a refusal in a cut reaches that
    // cut's trap. The copies, the curves made for their loops and the clip circle's region are erased
    // together at the end.
    QList<bool> failed(hatches.size(), false);
    for (qsizetype j = 0; j < hatches.size(); ++j) failed[j] = facts[j].Name.isEmpty();
    QList<HatchStart> starts(hatches.size());
    try {
        readFirstLoops(starts, facts, failed, copyHatches(hatches, starts, failed));
        makeFirstRegions(starts);
    } catch (const cad::Error&) {
        return;  // the model space cannot be counted: every cut would fail at its first loop
    }
    QList<cad::Entity> leftovers;
    cad::Entity circleRegion;
    for (qsizetype j = 0; j < hatches.size(); ++j) {
        if (failed[j]) continue;  // cannot be read, copied or looped: nothing of it is taken
        try {
            clipHatch(hatches[j], facts[j], c, r, true, t, &taken, &leftovers, &starts[j], &circleRegion);
        } catch (const cad::Error&) {
            NoteLeftOutCut();  // one entity that cannot be cut does not stop the others
        }
    }
    if (!leftovers.isEmpty())
        cad::CallEach(automation::CadDocument, cad::ObjectsOf(leftovers), QStringLiteral("?Delete"));
}

}  // namespace hatcher
