// Stream names from the inventory texts of the signal heads.
#include "conflictor/streams/HeadNames.h"

#include "automation/CadConnection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamNaming.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

namespace {

struct HeadName {
    QString intersection;
    QString head;
};

// The heads of the drawing whose inventory text names the current intersection, one per name.
QList<HeadName> headsOfIntersection() {
    QList<HeadName> list;
    SetGuard ss(QStringLiteral("SSSygn"));
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT"))
        .add(-4, QStringLiteral("<or"))
        .add(2, QStringLiteral("S-*"))
        .add(2, QStringLiteral("STK-*"))
        .add(2, QStringLiteral("STT"))
        .add(2, QStringLiteral("ST"))
        .add(-4, QStringLiteral("or>"));
    for (const cad::Entity& ref : ss.select(f)) {
        QString text;
        if (ref.hasAttributes())
            for (const cad::Entity& att : ref.attributes())
                if (att.tagString() == QLatin1String("INWENT_NUMER")) {
                    text = att.textString();
                    break;
                }
        text.remove(QLatin1Char(' '));
        QString inter, head;
        if (!text.isEmpty()) {
            const int slash = int(text.indexOf(QLatin1Char('/')));
            if (slash >= 0) text = text.mid(slash + 1);
            if (!text.isEmpty()) {
                const int next = int(text.indexOf(QLatin1Char('/')));
                if (next >= 0) {
                    inter = text.left(next);
                    head = text.mid(next + 1);
                } else {
                    head = text;
                }
            }
        }
        if (inter.toUpper() != IntersectionNumber.toUpper() || head.isEmpty()) continue;
        if (!QStringLiteral("KSPRBT").contains(head.at(0).toUpper())) continue;
        if (common::ParseInteger(head.mid(1)) < 1) continue;
        // A head text that could not be a stream name (it would break the block names) is passed over.
        if (!IsStreamNameText(head)) continue;
        if (FindStreamIndex(head) >= 0) continue;
        bool known = false;
        for (const HeadName& h : list) known = known || h.head.toUpper() == head.toUpper();
        if (!known) list.append({inter, head});
    }
    return list;
}

}  // namespace

void mnuEdycja_Pobierz() {
    if (!automation::CheckDocumentOpen(true)) return;
    StreamWindow& window = MainWindow();
    if (!CheckIntersectionNumber()) {
        return;
    }
    window.setBusyCursor(true);
    window.setStatusText(common::Tlumacz(QStringLiteral("Trwa pobieranie nazw strumieni ...")));
    window.setGridRedraw(false);
    struct Back {
        StreamWindow& w;
        ~Back() {
            w.clearSelectedStream();
            w.setGridRedraw(true);
            w.setBusyCursor(false);
            w.setStatusText(w.statusDefaultText());
        }
    } back{window};

    const QList<HeadName> heads = headsOfIntersection();
    QStringList intersections;
    for (const HeadName& h : heads)
        if (!intersections.contains(h.intersection)) intersections.append(h.intersection);
    QString chosen;
    if (intersections.size() >= 2) {
        window.setBusyCursor(false);
        const auto& picker = StreamDialogs().WybierzSkrzyzowanie;
        chosen = picker ? picker(intersections) : QString();
        window.setBusyCursor(true);
    } else if (intersections.size() == 1) {
        chosen = intersections.first();
    }
    if (chosen.isEmpty()) return;

    bool added = false;
    for (const HeadName& h : heads) {
        if (h.intersection != chosen) continue;
        StreamRecord r;
        SetStreamName(r, h.head);
        r.BaseName = h.head;
        r.Variant = 1;
        r.Group = 0;
        // A table holding only a record without a name gives that place to the first new stream.
        if (StreamTable.size() == 1 && StreamTable[0].Name.trimmed().isEmpty())
            StreamTable[0] = r;
        else
            StreamTable.push_back(r);
        added = true;
    }
    if (added) window.DodajStrumienDoGrida(-1);
}

}  // namespace conflictor
