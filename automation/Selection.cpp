// Named selection sets and the searches and erasures built on them.
#include "automation/Selection.h"

#include "automation/CadConnection.h"
#include "platform/cad/AttributeReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/FilteredReads.h"

namespace automation {

namespace {

// Characters the filter wildcards give a meaning.
constexpr QStringView FilterSpecials = u"#@.*?~[]`,-";

cad::SelectionFilter insertFilter(const QString& pattern, const QString& layer) {
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT")).add(2, pattern).add(8, layer);
    return f;
}

// Index of the first character not escaped by a backquote equal to `c`; -1 when none.
int findUnescaped(const QString& text, QChar c) {
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('`')) {
            ++i;
            continue;
        }
        if (text[i] == c) return i;
    }
    return -1;
}

}  // namespace

cad::SelectionSet GetHelperSelectionSet(const QString& name) {
    cad::SelectionSets sets = CadDocument.selectionSets();
    QString candidate = name;
    for (int n = 1;; ++n) {
        try {
            return sets.add(candidate);
        } catch (const cad::AlreadyExists&) {
            candidate = name + QLatin1Char('$') + QString::number(n);
        }
    }
}

HelperSelectionSet::HelperSelectionSet(const QString& name) : set_(GetHelperSelectionSet(name)) {}

HelperSelectionSet::~HelperSelectionSet() {
    if (removed_) return;
    try {
        set_.remove();
    } catch (const cad::Error&) {
        // Leaving on a failure already: that failure is the one the caller gets. Otherwise a set
        // left behind holds nothing the user sees, and the next helper of the name takes another.
    }
}

void HelperSelectionSet::remove() {
    removed_ = true;
    set_.send(QStringLiteral("Delete"));
}

cad::SelectionSet GetSelectionSet(const QString& name) {
    cad::SelectionSets sets = CadDocument.selectionSets();
    try {
        return sets.add(name);
    } catch (const cad::AlreadyExists&) {
        cad::SelectionSet set = sets.item(name);
        set.clear();
        return set;
    }
}

cad::SelectionFilter BuildSelectionFilter(const cad::VariantList& codesAndValues) {
    if (codesAndValues.size() % 2 != 0)
        throw cad::InvalidArgument(QStringLiteral("Filtr wyboru wymaga par: kod grupy i wartość"));
    cad::SelectionFilter f;
    for (qsizetype k = 0; k + 1 < codesAndValues.size(); k += 2)
        f.add(int(codesAndValues[k].toInt()), codesAndValues[k + 1]);
    return f;
}

QString EscapeFilterText(const QString& text) {
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        if (FilterSpecials.contains(c)) out += QLatin1Char('`');
        out += c;
    }
    return out;
}

QString UnescapeFilterText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('`') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

void DeleteEach(const cad::VariantList& rows) {
    cad::VariantList entities;
    entities.reserve(rows.size());
    for (const cad::Variant& row : rows)
        if (const cad::VariantList* r = row.arrayPtr(); r && !r->isEmpty()) entities.append(r->front());
    if (!entities.isEmpty()) cad::CallEach(CadDocument, entities, QStringLiteral("Delete"));
}

void EraseBlockReferencesOnLayer(const QString& blockNamePattern, const QString& layerName) {
    HelperSelectionSet set(QStringLiteral("SSRemoveObjects"));
    set->select(cad::SelectionSet::All, insertFilter(blockNamePattern, layerName));
    set->erase();
    set.remove();
}

void EraseBlockReferencesOnLayer(const QString& blockNamePattern, const cad::Variant&,
                                 const QString& layerName) {
    EraseBlockReferencesOnLayer(blockNamePattern, layerName);
}

void EraseByLayerFilter(const QString& layerName, const QString& blockName) {
    HelperSelectionSet set(QStringLiteral("SS2"));
    cad::SelectionFilter f;
    if (!blockName.isEmpty()) f.add(2, blockName);
    f.add(8, layerName);
    set->select(cad::SelectionSet::All, f);
    set->erase();
    set.remove();
}

bool FindFirstInsert(const QString& namePattern, cad::Entity& found) {
    try {
        cad::SelectionFilter f;
        f.add(2, namePattern);
        const cad::VariantList rows = cad::ReadSelection(CadDocument, f, {});
        if (rows.isEmpty()) return false;
        found = cad::EntityOfRow(CadDocument, rows.first());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString FindBlockReferenceHandle(const cad::Block& container, const QString& blockNamePattern,
                                 const cad::Variant& attributeValue, const QString& layerName) {
    return FindBlockReferenceHandle(container, blockNamePattern, blockNamePattern, attributeValue, layerName);
}

QString FindBlockReferenceHandle(const cad::Block&, const QString& blockNamePattern,
                                 const QString& attributeTag, const cad::Variant& attributeValue,
                                 const QString& layerName) {
    // A pattern ending in "*" is tested as a prefix (its last character dropped).
    auto stem = [](QString text, bool& prefixMode) {
        prefixMode = findUnescaped(text, QLatin1Char('*')) >= 0;
        if (prefixMode) text.chop(1);
        return text;
    };
    bool prefixMode = false;
    const QString plainTag = UnescapeFilterText(stem(attributeTag, prefixMode));
    // A "[" of the name (a variant suffix) would open a character class: select by the part before
    // it and test the names here. The rules come from the name pattern, which in the short form is
    // the tag pattern itself.
    QString namePattern = blockNamePattern;
    bool namePrefix = false;
    const QString nameStem = stem(blockNamePattern, namePrefix);
    bool nameTest = false;
    const int bracket = findUnescaped(nameStem, QLatin1Char('['));
    if (bracket >= 0) {
        namePattern = nameStem.left(bracket) + (namePrefix ? QStringLiteral("*") : QString());
        nameTest = true;
    }
    const QString plainName = UnescapeFilterText(nameStem);
    const QString value = attributeValue.isEmpty() ? QString() : attributeValue.toText();

    // The search with the references' handles and names in one read, their attributes (when a value
    // is asked for) in another: no named set is made.
    const cad::VariantList rows =
        cad::ReadSelection(CadDocument, insertFilter(namePattern, layerName), {QStringLiteral("Handle"), QStringLiteral("Name")});
    if (rows.isEmpty()) return QString();
    cad::VariantList attributes;
    if (!value.isEmpty()) {
        cad::VariantList refs;
        for (const cad::Variant& row : rows) refs << row.toArray().value(0);
        attributes = cad::ReadAttributes(CadDocument, refs, {QStringLiteral("TagString"), QStringLiteral("TextString")});
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const cad::VariantList row = rows[i].toArray();
        const QString handle = row.value(1).toText();
        if (!value.isEmpty()) {
            for (const cad::Variant& a : attributes.value(i).toArray()) {
                const cad::VariantList att = a.toArray();
                const int p = att.value(1).toText().indexOf(plainTag);
                if ((prefixMode ? p == 0 : p >= 0) && att.value(2).toText() == value) return handle;
            }
        } else if (!nameTest || row.value(2).toText().toUpper().startsWith(plainName.toUpper())) {
            return handle;
        }
    }
    return QString();
}

cad::Point MakeCadPoint(const common::PlanePoint& p) {
    return cad::Point{p.X, p.Y, 0};
}

common::PlanePoint ReadCadPoint(const cad::Point& p) {
    return common::PlanePoint{p.x, p.y};
}

common::PlanePoint ReadCadPoint(const cad::Variant& v) {
    return ReadCadPoint(v.toPoint());
}

void SubtractPoint(common::PlanePoint& a, const common::PlanePoint& b) {
    a.X -= b.X;
    a.Y -= b.Y;
}

void SubtractFromSegment(common::PlaneSegment& segment, const common::PlanePoint& b) {
    SubtractPoint(segment.P1, b);
    SubtractPoint(segment.P2, b);
}

void SubtractFromSegment(common::PlanePoint& p1, common::PlanePoint& p2, const common::PlanePoint& b) {
    SubtractPoint(p1, b);
    SubtractPoint(p2, b);
}

}  // namespace automation
