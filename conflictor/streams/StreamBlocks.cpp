// Component block names and the per-stream entries of the intersection attribute block.
#include "conflictor/streams/StreamBlocks.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/AttributeReads.h"
#include "platform/cad/BulkReads.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <array>
#include <deque>

namespace conflictor {

QString StreamAttributeBlockHandle;

const QStringList& StreamAttributeTagNames() {
    static const QStringList tags = {
        QStringLiteral("GRUPY"),       QStringLiteral("FAZY"),          QStringLiteral("OPISY"),
        QStringLiteral("DLUG_POJ"),    QStringLiteral("PROSTA_DOJAZD"), QStringLiteral("LUK_DOJAZD"),
        QStringLiteral("PROSTA_EWAK"), QStringLiteral("LUK_EWAK"),      QStringLiteral("MAKS_PRZYSP")};
    return tags;
}

void InitStreamAttributeTags() {
    const QStringList& tags = StreamAttributeTagNames();
    for (int i = 0; i < StreamAttributeTagUsed; ++i) StreamAttributeTags[size_t(i)].Tag = tags[i];
}

QString PatternText(const QString& text) {
    return automation::EscapeFilterText(text);
}

QString StreamNamePattern(const QString& streamName) {
    const int bracket = int(streamName.indexOf(QLatin1Char('[')));
    return PatternText(bracket >= 0 ? streamName.left(bracket) : streamName);
}

namespace {

// name.startsWith(prefix, Qt::CaseInsensitive), asked for every block a cut names: ASCII (every
// name the suite makes) compared in place, anything else by the library.
bool startsWithIgnoringCase(const QString& name, const QString& prefix) {
    const qsizetype n = prefix.size();
    if (name.size() < n) return name.startsWith(prefix, Qt::CaseInsensitive);
    const QChar* a = name.constData();
    const QChar* b = prefix.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80) return name.startsWith(prefix, Qt::CaseInsensitive);
        if (x == y) continue;
        if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
        if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
        if (x != y) return false;  // the library compares position by position too
    }
    return true;
}

}  // namespace

qint64 ComponentNumberOf(const QString& prefix, const QString& name) {
    if (!startsWithIgnoringCase(name, prefix)) return -1;
    const QStringView rest = QStringView(name).mid(prefix.size());
    const qsizetype caret = rest.indexOf(QLatin1Char('^'));
    bool ok = false;
    const qint64 n = (caret < 0 ? rest : rest.left(caret)).toLongLong(&ok);
    return ok ? n : -1;
}

namespace {

// Entry 0 to 8 of the table holding the tag (exact comparison); -1 when none. A table that nobody
// has filled yet (or that was cleared) gets its nine tags first.
int tagEntry(const QString& tag) {
    if (StreamAttributeTags[0].Tag.isEmpty()) InitStreamAttributeTags();
    for (int i = 0; i < StreamAttributeTagUsed; ++i)
        if (StreamAttributeTags[size_t(i)].Tag == tag) return i;
    return -1;
}

// Position of the stream's entry ("<name>:" at the start of the text or right behind a "^"); -1.
// Anchoring at entry starts keeps a name inside another entry's value from being taken for its entry.
int findEntry(const QString& text, const QString& streamName) {
    const QString key = streamName + QLatin1Char(':');
    int p = 0;
    while (p < text.size()) {
        if (QStringView(text).mid(p, key.size()).compare(key, Qt::CaseInsensitive) == 0) return p;
        const int next = int(text.indexOf(QLatin1Char('^'), p));
        if (next < 0) return -1;
        p = next + 1;
    }
    return -1;
}

// The numbers taken in one prefix, read once from every block name and then kept up to date from
// the blocks added since. Blocks are appended to the end of the table and a deletion only moves the
// later ones down, so the newest block seen before that still stands in the table marks where the
// new ones begin. One call (Blocks.NamesFrom) gives the count and the blocks from the position of
// the newest block seen: that block and the ones added since. Only when it has moved (a block
// before it was deleted) are the last few positions read, and only when none of the last blocks
// seen is among them is the whole table read again. A number once taken stays taken, so no number
// is given twice.
struct ComponentNumbers {
    cad::ObjectId document = 0;
    const void* channel = nullptr;
    QString prefix;
    cad::Blocks blocks;                  // the document's block table
    int knownCount = -1;                 // blocks in the table when last looked at
    std::deque<cad::ObjectId> lastSeen;  // the newest blocks seen then, oldest first
    QSet<qint64> used;
    // Every number from probeStart up to (not including) probeEnd is taken: a search starting in
    // that run continues at its end, so the numbers it would skip cost nothing.
    qint64 probeStart = 0, probeEnd = 0;
};
ComponentNumbers numbers;
constexpr int RememberedBlocks = 16;

// A reply of NamesFrom: the count, then block and name pairs.
struct BlockNames {
    cad::VariantList reply;
    int pairs() const { return int((reply.size() - 1) / 2); }
    int count() const { return int(reply.value(0).toInt()); }
    cad::ObjectId id(int i) const { return reply[1 + 2 * i].toObject(); }
    QString name(int i) const { return reply[2 + 2 * i].toText(); }
};

// Takes the blocks of the reply from pair `first` on as seen.
void noteBlocks(const BlockNames& names, int first) {
    for (int i = first; i < names.pairs(); ++i) {
        const qint64 n = ComponentNumberOf(numbers.prefix, names.name(i));
        if (n >= 0) numbers.used.insert(n);
        numbers.lastSeen.push_back(names.id(i));
        if (numbers.lastSeen.size() > size_t(RememberedBlocks)) numbers.lastSeen.pop_front();
    }
}

bool seen(cad::ObjectId id) {
    return std::find(numbers.lastSeen.begin(), numbers.lastSeen.end(), id) != numbers.lastSeen.end();
}

// Brings the taken numbers up to the drawing's table; returns its block count.
int catchUp(const cad::Blocks& blocks) {
    if (numbers.knownCount > 0 && !numbers.lastSeen.empty()) {
        // Nothing deleted (the common case): the newest block seen stands where it stood.
        const BlockNames tail{blocks.namesFrom(numbers.knownCount - 1)};
        if (tail.pairs() > 0 && tail.id(0) == numbers.lastSeen.back()) {
            noteBlocks(tail, 1);
            return numbers.knownCount = tail.count();
        }
        // Deleted blocks moved it down: the newest of the last blocks seen still there.
        const int top = std::min(numbers.knownCount, tail.count()) - 1;
        const int from = std::max(0, top - RememberedBlocks + 1);
        const BlockNames near{blocks.namesFrom(from)};
        for (int k = std::min(top - from, near.pairs() - 1); k >= 0; --k) {
            if (!seen(near.id(k))) continue;
            noteBlocks(near, k + 1);
            return numbers.knownCount = near.count();
        }
    }
    const BlockNames all{blocks.namesFrom(0)};
    noteBlocks(all, 0);
    numbers.probeStart = numbers.probeEnd = 0;
    return numbers.knownCount = all.count();
}

}  // namespace

void ForgetComponentNumbers() {
    numbers = ComponentNumbers{};
}

// True when the drawing has a block of that name: one look-up by name, constant time in the CAD.
// Asked without a failure for the free name (the usual answer): a failure costs far more than
// the look-up.
bool blockExists(const cad::Blocks& blocks, const QString& name) {
    return blocks.invoke(QStringLiteral("Contains"), {name}).toBool();
}

cad::Blocks ComponentBlockTable() {
    const cad::Document& doc = automation::CadDocument;
    if (numbers.document != doc.id() || numbers.channel != doc.channel()) {
        numbers = ComponentNumbers{};
        numbers.document = doc.id();
        numbers.channel = doc.channel();
        numbers.blocks = doc.blocks();
    }
    return numbers.blocks;
}

QString MakeUniqueStreamBlockName(const QString& prefix, const QString& suffix) {
    const cad::Blocks blocks = ComponentBlockTable();
    if (numbers.prefix.compare(prefix, Qt::CaseInsensitive) != 0) {
        const cad::Blocks table = numbers.blocks;
        const cad::ObjectId document = numbers.document;
        const void* channel = numbers.channel;
        numbers = ComponentNumbers{};
        numbers.document = document;
        numbers.channel = channel;
        numbers.blocks = table;
        numbers.prefix = prefix;
    }
    const int count = catchUp(blocks);
    const qint64 first = qint64(count) + 1;
    qint64 n = first;
    const bool inRun = n >= numbers.probeStart && n < numbers.probeEnd;
    if (inRun) n = numbers.probeEnd;
    QString candidate;
    // Every block name read is in `used` (a name "prefix & n" too); the drawing has the last word
    // on the candidate, as another program may have added it since.
    while (true) {
        candidate = prefix + QString::number(n) + suffix;
        if (!numbers.used.contains(n) && !blockExists(blocks, candidate)) break;
        numbers.used.insert(n);
        ++n;
    }
    numbers.used.insert(n);
    // Everything from the first number tried up to this one is taken now.
    if (!inRun) numbers.probeStart = first;
    numbers.probeEnd = n + 1;
    return candidate;
}

bool ParseStreamBlockName(const QString& streamName, QString& blockName, int removeMode, int& count) {
    const bool collect = count >= 0;
    count = 0;
    if (collect) SharedStreamNames.clear();
    const int prefixLength = int(IntersectionNumber.size() + QLatin1String("^STRUMIEN_").size());
    const QStringView rest = QStringView(blockName).mid(std::min<qsizetype>(prefixLength, blockName.size()));
    const int caret = int(rest.indexOf(QLatin1Char('^')));
    if (caret < 0) return false;

    const QString wanted = streamName.toUpper();
    bool found = false;
    int foundAt = -1;  // position in blockName of the "^" before the stream's name
    int pos = prefixLength + caret;
    while (pos < blockName.size()) {
        const int next = int(blockName.indexOf(QLatin1Char('^'), pos + 1));
        const QString item = next < 0 ? blockName.mid(pos + 1) : blockName.mid(pos + 1, next - pos - 1);
        if (!item.isEmpty()) {
            if (collect && FindStreamIndex(item) != -1) {
                SharedStreamNames.append(item);
                ++count;
            }
            if (!found && item.toUpper() == wanted) {
                found = true;
                foundAt = pos;
                if (!collect) break;
            }
        }
        if (next < 0) break;
        pos = next;
    }
    if (found && removeMode == 1)
        blockName = blockName.left(foundAt) + blockName.mid(foundAt + 1 + streamName.size());
    return found;
}

QString FindStreamBlockHandle(const QString& prefix, const QString& streamName, const QString& layer) {
    const QString pattern = prefix + StreamNamePattern(streamName) + QLatin1Char('*');
    cad::SelectionSet set = automation::GetSelectionSet(QStringLiteral("SS1"));
    QString result;
    try {
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT")).add(2, pattern).add(8, layer);
        set.select(cad::SelectionSet::All, f);
        for (const cad::Entity& ref : set.entities()) {
            QString name = ref.name();
            int none = -1;
            if (ParseStreamBlockName(streamName, name, 0, none)) {
                result = ref.handle();
                break;
            }
        }
    } catch (...) {
        set.remove();
        throw;
    }
    set.remove();
    return result;
}

namespace {
QString attributeBlockProblem;
}  // namespace

const QString& IntersectionAttributeBlockProblem() {
    return attributeBlockProblem;
}

void ReadIntersectionAttributeBlock() {
    StreamAttributeBlockHandle.clear();
    attributeBlockProblem.clear();
    if (IntersectionNumber.isEmpty()) return;
    cad::SelectionSet set = automation::GetSelectionSet(QStringLiteral("SSAtrStrum"));
    try {
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT"))
            .add(2, PatternText(IntersectionBlockPrefix() + IntersectionNumber));
        set.select(cad::SelectionSet::All, f);
        const QList<cad::Entity> found = set.entities();
        if (found.size() == 1) {
            // The handle and every attribute in two reads, not two calls per attribute.
            const cad::VariantList ref = cad::ObjectsOf(found);
            StreamAttributeBlockHandle =
                cad::ReadProperties(automation::CadDocument, ref, {QStringLiteral("Handle")})
                    .value(0).toArray().value(0).toText();
            const cad::VariantList attributes = cad::ReadAttributes(
                automation::CadDocument, ref, {QStringLiteral("TagString"), QStringLiteral("TextString")});
            QStringList seen, twice;
            for (const cad::Variant& row : attributes.value(0).toArray()) {
                const cad::VariantList att = row.toArray();
                const int i = tagEntry(att.value(1).toText());
                if (i < 0) continue;
                const QString& tag = StreamAttributeTags[size_t(i)].Tag;
                if (seen.contains(tag) && !twice.contains(tag)) twice << tag;
                seen << tag;
                StreamAttributeTags[size_t(i)].Value = att.value(2).toText();
            }
            // Only one of two attributes of a tag is read and written: the streams' values would
            // depend on which, so the block is named instead.
            if (!twice.isEmpty())
                attributeBlockProblem =
                    QStringLiteral("Blok atrybutów skrzyżowania %1 ma po dwa atrybuty %2: nie wiadomo, który z nich "
                                   "opisuje strumienie. Usuń powtórzone atrybuty (zostaw po jednym) i powtórz polecenie.")
                        .arg(IntersectionNumber, twice.join(QStringLiteral(", ")));
        } else if (found.size() > 1) {
            attributeBlockProblem =
                QStringLiteral("Skrzyżowanie %1 ma na rysunku %2 atrybutów %3: nie wiadomo, z którego czytać grupy, "
                               "fazy i opisy strumieni. Usuń zbędne (zostaw jeden) i powtórz polecenie.")
                    .arg(IntersectionNumber,
                         common::PolishCount(found.size(), QStringLiteral("blok"), QStringLiteral("bloki"),
                                             QStringLiteral("bloków")),
                         IntersectionBlockPrefix() + IntersectionNumber);
        }
    } catch (...) {
        set.remove();
        throw;
    }
    set.remove();
}

namespace {

// One tag's entries by stream name (case folded), parsed once for each text the tag takes, so that
// reading every stream's values costs one pass over the text instead of one per stream. The copy
// of the text shares its data: any change to the tag's text detaches it, so equal data pointers
// mean the text is unchanged.
struct ParsedEntries {
    QString text;
    QHash<QString, QString> values;
    bool valid = false;
};
std::array<ParsedEntries, StreamAttributeTagUsed> parsedEntries;

const QHash<QString, QString>& entriesOf(int tag) {
    const QString& text = StreamAttributeTags[size_t(tag)].Value;
    ParsedEntries& parsed = parsedEntries[size_t(tag)];
    if (parsed.valid && parsed.text.constData() == text.constData() && parsed.text.size() == text.size())
        return parsed.values;
    parsed.text = text;
    parsed.values.clear();
    parsed.valid = true;
    // As findEntry reads it: an entry starts the text or follows a "^"; its name runs to the first
    // ":"; its value to the closing "^" or, for a last entry left unclosed (a drawing saved by
    // another DXF library drops a trailing "^"), to the end of the text; the first entry of a name
    // counts.
    qsizetype p = 0;
    while (p < text.size()) {
        const qsizetype end = text.indexOf(QLatin1Char('^'), p);
        const qsizetype stop = end < 0 ? text.size() : end;
        const qsizetype colon = text.indexOf(QLatin1Char(':'), p);
        if (colon >= 0 && colon < stop) {
            const QString name = text.mid(p, colon - p).toCaseFolded();
            if (!parsed.values.contains(name))
                parsed.values.insert(name, text.mid(colon + 1, stop - colon - 1));
        }
        if (end < 0) break;
        p = end + 1;
    }
    return parsed.values;
}

}  // namespace

QString GetStreamAttribute(const QString& tag, const QString& streamName) {
    const int i = tagEntry(tag);
    if (i < 0 || streamName.isEmpty()) return QString();
    if (!streamName.contains(QLatin1Char(':'))) return entriesOf(i).value(streamName.toCaseFolded());
    const QString& text = StreamAttributeTags[size_t(i)].Value;
    const int p = findEntry(text, streamName);
    if (p < 0) return QString();
    const QString rest = text.mid(p + streamName.size() + 1);
    const int q = int(rest.indexOf(QLatin1Char('^')));
    return q < 0 ? rest : rest.left(q);  // an unclosed last entry runs to the end
}

QString CleanStreamAttributeValue(const QString& value) {
    static const QRegularExpression nameAndColon(QStringLiteral("([KSPRTB]\\d+(?:\\[\\d*\\])?):"),
                                                 QRegularExpression::CaseInsensitiveOption);
    QString v = value;
    v.remove(QLatin1Char('^'));
    QString previous;
    do {
        previous = v;
        v.replace(nameAndColon, QStringLiteral("\\1"));
    } while (v != previous);
    return v;
}

bool SetStreamAttribute(const QString& tag, const QString& streamName, const QString& value, bool refresh) {
    if (streamName.isEmpty() || streamName.contains(QLatin1Char('^')) ||
        streamName.contains(QLatin1Char(':')))
        return false;
    if (refresh) ReadIntersectionAttributeBlock();
    const int i = tagEntry(tag);
    if (i < 0) return false;
    const QString clean = CleanStreamAttributeValue(value);
    QString& text = StreamAttributeTags[size_t(i)].Value;
    const int p = findEntry(text, streamName);
    if (p < 0) {
        text += streamName + QLatin1Char(':') + clean + QLatin1Char('^');
    } else {
        const int valueStart = p + int(streamName.size()) + 1;
        const int q = int(text.indexOf(QLatin1Char('^'), valueStart));
        // An entry without its closing "^" is closed instead of swallowing the rest of the text.
        text = text.left(valueStart) + clean + (q < 0 ? QStringLiteral("^") : text.mid(q));
    }
    if (refresh) WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
    return true;
}

void WriteIntersectionAttributeBlock(const QString& handle) {
    if (handle.isEmpty()) return;
    automation::WriteAttributeTableToHandle(handle);
}

}  // namespace conflictor
