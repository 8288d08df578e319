// Stream pieces and markers the programs would pass over, found in a few bulk reads and named.
#include "automation/StreamReferences.h"

#include "automation/CadConnection.h"
#include "automation/CaretNames.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "platform/cad/FilteredReads.h"

namespace automation {

namespace {

QString componentPrefix(const QString& intersection) {
    return intersection + QStringLiteral("^STRUMIEN_");
}
QString startPrefix(const QString& intersection) {
    return intersection + QStringLiteral("^POCZATEK_STRUMIEN_");
}
QString endPrefix(const QString& intersection) {
    return intersection + QStringLiteral("^KONIEC_STRUMIEN_");
}

bool isReference(const QString& objectName) {
    return objectName == QLatin1String("AcDbBlockReference") || objectName == QLatin1String("AcDbMInsertBlock");
}

DrawnStreamReference referenceFrom(const QString& intersection, const cad::VariantList& values, int first) {
    DrawnStreamReference r;
    r.Object = values.value(0).toObject();
    r.MultipleInsert = values.value(first).toText() == QLatin1String("AcDbMInsertBlock");
    r.BlockName = values.value(first + 1).toText();
    r.Kind = KindOfStreamReference(intersection, r.BlockName);
    r.Layer = values.value(first + 2).toText();
    const cad::Point p = values.value(first + 3).toPoint();
    r.Point = {p.x, p.y};
    return r;
}

// Blocks of the intersection's own (components, whose nested references are their geometry, and
// markers): they hold no stream piece of their own.
bool isIntersectionBlock(const QString& intersection, const QString& name) {
    return name.startsWith(intersection + QLatin1Char('^'), Qt::CaseInsensitive) &&
           name.contains(QStringLiteral("STRUMIEN"), Qt::CaseInsensitive);
}

}  // namespace

StreamReferenceKind KindOfStreamReference(const QString& intersection, const QString& blockName) {
    if (intersection.isEmpty()) return StreamReferenceKind::None;
    if (blockName.startsWith(componentPrefix(intersection), Qt::CaseInsensitive)) return StreamReferenceKind::Component;
    if (blockName.startsWith(startPrefix(intersection), Qt::CaseInsensitive)) return StreamReferenceKind::Start;
    if (blockName.startsWith(endPrefix(intersection), Qt::CaseInsensitive)) return StreamReferenceKind::End;
    return StreamReferenceKind::None;
}

QList<DrawnStreamReference> FindStreamReferences(const QString& intersection) {
    QList<DrawnStreamReference> found;
    if (intersection.isEmpty()) return found;
    const cad::Document& doc = CadDocument;
    const QString number = EscapeFilterText(intersection);
    cad::SelectionFilter filter;
    filter.add(0, QStringLiteral("INSERT"))
        .add(2, number + QStringLiteral("^STRUMIEN_*,") + number + QStringLiteral("^POCZATEK_STRUMIEN_*,") + number +
                    QStringLiteral("^KONIEC_STRUMIEN_*"));
    for (const cad::Variant& row : cad::ReadSelection(
             doc, filter,
             {QStringLiteral("ObjectName"), QStringLiteral("Name"), QStringLiteral("Layer"),
              QStringLiteral("InsertionPoint")}))
        found << referenceFrom(intersection, row.toArray(), 1);

    // Paper space and the blocks: every entity read at once, the references among them kept.
    const cad::VariantList names = doc.blocks().namesFrom(0);
    cad::VariantList holders;
    for (qsizetype i = 1; i + 1 < names.size(); i += 2) {
        const QString name = names[i + 1].toText();
        if (name.compare(QLatin1String("*Model_Space"), Qt::CaseInsensitive) == 0 ||
            isIntersectionBlock(intersection, name))
            continue;
        holders << cad::Variant(cad::ObjectRef{names[i].toObject()});
    }
    if (holders.isEmpty()) return found;
    for (const cad::Variant& row :
         cad::ReadProperties(doc, holders, {QStringLiteral("Name")},
                             {QStringLiteral("ObjectName"), QStringLiteral("?Name"), QStringLiteral("?Layer"),
                              QStringLiteral("?InsertionPoint")})) {
        const cad::VariantList values = row.toArray();
        const QString holder = values.value(0).toText();
        const bool paper = holder.startsWith(QLatin1String("*Paper_Space"), Qt::CaseInsensitive);
        for (const cad::Variant& part : values.value(1).toArray()) {
            const cad::VariantList p = part.toArray();
            if (!isReference(p.value(1).toText()) ||
                KindOfStreamReference(intersection, p.value(2).toText()) == StreamReferenceKind::None)
                continue;
            DrawnStreamReference r = referenceFrom(intersection, p, 1);
            r.PaperSpace = paper;
            if (!paper) r.Owner = holder;
            found << r;
        }
    }
    return found;
}

QString PassedOverReason(const DrawnStreamReference& r, const QString& streamLayer) {
    if (r.Kind == StreamReferenceKind::None) return {};
    const QString what = r.Kind == StreamReferenceKind::Component ? QStringLiteral("Składowa ")
                         : r.Kind == StreamReferenceKind::Start  ? QStringLiteral("Znacznik początku strumienia ")
                                                                 : QStringLiteral("Znacznik końca strumienia ");
    const QString named = what + common::QuotedForMessage(r.BlockName);
    if (r.MultipleInsert)
        return QStringLiteral("Blok %1 jest wstawiony w rysunku więcej niż raz (wstawienie wielokrotne w wierszach "
                              "i kolumnach, w punkcie %2). Zastąp je jednym wstawieniem bloku.")
            .arg(common::QuotedForMessage(r.BlockName), common::PointText(r.Point));
    if (!r.Owner.isEmpty())
        return QStringLiteral("%1 leży wewnątrz bloku %2 (w punkcie %3 tego bloku); strumienie czyta się tylko z "
                              "obszaru modelu, więc nie zostałaby uwzględniona. Wyjmij ją z bloku (np. rozbij blok "
                              "%2) albo usuń.")
            .arg(named, common::QuotedForMessage(r.Owner), common::PointText(r.Point));
    if (r.PaperSpace)
        return QStringLiteral("%1 leży w obszarze papieru w punkcie %2; strumienie czyta się tylko z obszaru modelu, "
                              "więc nie zostałaby uwzględniona. Przenieś ją do obszaru modelu albo usuń.")
            .arg(named, common::PointText(r.Point));
    if (r.Layer.compare(streamLayer, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1 leży na warstwie %2 w punkcie %3; strumienie czyta się tylko z warstwy \"%4\", "
                              "więc nie zostałaby uwzględniona. Przenieś ją na warstwę \"%4\" albo usuń.")
            .arg(named, common::QuotedForMessage(r.Layer), common::PointText(r.Point), streamLayer);
    return {};
}

QStringList StreamsOfReference(const QString& intersection, const DrawnStreamReference& r) {
    if (r.Kind == StreamReferenceKind::Component) return SplitCaretList(r.BlockName, componentPrefix(intersection));
    if (r.Kind == StreamReferenceKind::None) return {};
    QString name = r.BlockName.mid(
        (r.Kind == StreamReferenceKind::Start ? startPrefix(intersection) : endPrefix(intersection)).size());
    const qsizetype underscore = name.indexOf(QLatin1Char('_'));
    if (underscore >= 0) name.truncate(underscore);
    return name.isEmpty() ? QStringList() : QStringList{name};
}

QStringList PassedOverStreamReferences(const QString& intersection, const QString& streamLayer) {
    QList<DrawnStreamReference> passed;
    cad::VariantList objects;
    for (const DrawnStreamReference& r : FindStreamReferences(intersection)) {
        if (PassedOverReason(r, streamLayer).isEmpty()) continue;
        passed << r;
        objects << cad::Variant(cad::ObjectRef{r.Object});
    }
    if (passed.isEmpty()) return {};
    // A piece's block lies at the origin, so its insertion point says nothing of where it is drawn.
    const cad::VariantList boxes = cad::ReadProperties(CadDocument, objects, {QStringLiteral("?GetBoundingBox")});
    QStringList lines;
    for (qsizetype i = 0; i < passed.size(); ++i) {
        DrawnStreamReference& r = passed[i];
        const cad::VariantList box = boxes.value(i).toArray().value(0).toArray();
        if (r.Kind == StreamReferenceKind::Component && box.size() == 2) {
            const cad::Point low = box[0].toPoint(), high = box[1].toPoint();
            r.Point = {(low.x + high.x) / 2, (low.y + high.y) / 2};
        }
        QStringList streams = StreamsOfReference(intersection, r);
        for (QString& s : streams) s = common::ShortForMessage(s);
        const QString who = streams.isEmpty() ? QStringLiteral("?") : streams.join(QStringLiteral(", "));
        lines << who + QStringLiteral(": ") + PassedOverReason(r, streamLayer);
    }
    return lines;
}

QString PassedOverListText(const QStringList& lines) {
    // A drawing copied together carelessly may hold hundreds: the first ones name the fault.
    constexpr int shown = 5;
    QStringList text = lines.mid(0, shown);
    if (lines.size() > shown) text << common::Tlumacz(QStringLiteral("… (razem %1)")).arg(lines.size());
    return text.join(QLatin1Char('\n'));
}

}  // namespace automation
