// Cutting a hatch to a circle: its loops become one region (islands subtracted), the region is
// intersected with the circle and filled again as a solid hatch; when that fails, the region's
// exploded outline is chained into new solid hatches.
#include "hatcher/core/Clipping.h"

#include "automation/Automation.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/DeferredCalls.h"

#include <cmath>

namespace hatcher {

using automation::CadModelSpace;
using common::PlanePoint;

namespace {

cad::Point cp(const PlanePoint& p) {
    return {p.X, p.Y, 0};
}

void eraseQuietly(const cad::Entity& e) {
    try {
        e.erase();
    } catch (const cad::Error&) {
    }
}

// The region of one loop; curves made only for it are deleted again (at once, or by the caller
// when it collects them in `leftovers`).
cad::Entity loopRegion(const cad::Entity& hatch, int index, QList<cad::Entity>* leftovers) {
    const int before = CadModelSpace.count();
    const QList<cad::Entity> curves = hatch.loopAt(index);
    const bool made = CadModelSpace.count() > before;  // the loop had no live boundary objects
    cad::Entity region;
    if (!curves.isEmpty()) {
        try {
            const QList<cad::Entity> regions = CadModelSpace.addRegion(curves);
            for (int i = 0; i < regions.size(); ++i)
                if (i == 0)
                    region = regions[0];
                else
                    regions[i].erase();
        } catch (const cad::Error&) {
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

// The cut of one hatch. With `leftovers` the copy and the curves made for its loops are left there
// for the caller to erase (each erasure ignores its own failure, as the cut's own trap would).
bool clipHatch(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r, bool makeCopy,
               const PlanePoint& t, QStringList* taken, QList<cad::Entity>* leftovers) {
    const QString& layer = facts.Layer;
    const int colour = facts.Colour;
    const cad::Entity work = makeCopy ? entity.copy() : entity;
    bool contributed = false;
    // A copy has the loops of its hatch.
    const int loops = facts.Loops >= 0 ? facts.Loops : work.numberOfLoops();
    cad::Entity running;
    for (int i = 0; i < loops; ++i) {
        const cad::Entity region = loopRegion(work, i, leftovers);
        if (region.isNull()) continue;
        if (running.isNull())
            running = region;
        else
            addLoop(running, region);
    }
    if (!running.isNull()) {
        bool inside = false;
        {
            // The circle, its region's cut and the move travel held with the answered calls between
            // them; nothing here traps a CAD error, and the scope ends (sending the rest) before the
            // hatch's own trap below.
            const cad::DeferredCalls held(CadModelSpace, cad::DeferredCalls::NewObjectsToo);
            const cad::Entity circle = CadModelSpace.addCircle(cp(c), r);
            const QList<cad::Entity> circleRegions = CadModelSpace.addRegion({circle});
            circle.send(QStringLiteral("Delete"));
            running.send(QStringLiteral("Boolean"), {1, circleRegions.value(0)});
            // Moved before its area is read (a move keeps the area; an empty region goes anyway), so
            // the move travels with the read.
            running.move(cp(c), cp(t));
            inside = running.area() > 0;
        }
        if (!inside) running.erase();
        if (inside) {
            cad::Entity hatch;
            try {
                // Made held (with the loop and the rest) where the caller's scope allows it; a refusal
                // surfaces at the handle read inside that scope, where the provisional id still erases.
                hatch = AddSolidHatch();
                // The loop, properties, evaluation and erasure travel with the handle read, so a
                // failure among them reaches the trap below as it did from its own call.
                const cad::DeferredCalls held(hatch);
                hatch.send(QStringLiteral("AppendOuterLoop"),
                           {cad::Variant(cad::ObjectsOf(QList<cad::Entity>{running}))});
                hatch.setLayer(layer);
                hatch.setColor(colour);
                hatch.send(QStringLiteral("Evaluate"));
                running.send(QStringLiteral("Delete"));
                if (taken)
                    taken->append(hatch.handle());
                else
                    held.flush();
                contributed = true;
            } catch (const cad::Error&) {
                if (!hatch.isNull()) eraseQuietly(hatch);
                const QList<cad::Entity> made = fallbackHatches(running, layer, colour, taken);
                for (const cad::Entity& h : made)
                    if (taken) taken->append(h.handle());
                contributed = !made.isEmpty();
            }
        }
    }
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

void ClipHatchCopiesToCircle(const QList<cad::Entity>& hatches, const QList<ClipFacts>& facts, const PlanePoint& c,
                             double r, const PlanePoint& t, QStringList& taken) {
    if (hatches.isEmpty()) return;
    // Copies, auxiliary circles and new hatches are made with provisional ids, so each cut's made
    // objects travel with its next read; every held call of a cut is answered by a read of that same
    // cut, so each failure still reaches that cut's trap. The copies and the curves made for their
    // loops are erased together at the end.
    const cad::DeferredCalls held(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
    QList<cad::Entity> leftovers;
    for (qsizetype i = 0; i < hatches.size(); ++i) {
        try {
            if (facts[i].Name.isEmpty()) continue;  // cannot be read: nothing of it is taken
            clipHatch(hatches[i], facts[i], c, r, true, t, &taken, &leftovers);
        } catch (const cad::Error&) {
            // one entity that cannot be cut does not stop the others
        }
    }
    if (!leftovers.isEmpty())
        cad::CallEach(automation::CadDocument, cad::ObjectsOf(leftovers), QStringLiteral("?Delete"));
}

}  // namespace hatcher
