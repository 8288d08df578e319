// Component block names and the per-stream entries of the intersection attribute block.
#include "conflictor/streams/StreamBlocks.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamRecords.h"

#include <QRegularExpression>
#include <QSet>

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
        if (text.mid(p, key.size()).compare(key, Qt::CaseInsensitive) == 0) return p;
        const int next = int(text.indexOf(QLatin1Char('^'), p));
        if (next < 0) return -1;
        p = next + 1;
    }
    return -1;
}

// The numbers already given to components of the prefix (the text between the prefix and the next
// "^" or the end, when it is a plain decimal number).
void addComponentNumber(const QString& name, const QString& prefix, QSet<qint64>& used) {
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) return;
    const QString rest = name.mid(prefix.size());
    const int caret = int(rest.indexOf(QLatin1Char('^')));
    bool ok = false;
    const qint64 n = (caret < 0 ? rest : rest.left(caret)).toLongLong(&ok);
    if (ok) used.insert(n);
}

QSet<qint64> usedComponentNumbers(const QString& prefix) {
    QSet<qint64> used;
    for (const cad::Block& b : automation::CadDocument.blocks().all())
        addComponentNumber(b.name(), prefix, used);
    return used;
}

}  // namespace

namespace {

// The numbers of one prefix as last scanned, kept while the drawing's block count shows that only
// the blocks named here were added since: a scan reads every block name, which is slow over the
// channel to the CAD host and would be repeated for every piece the cut writes.
struct ComponentNumbers {
    cad::ObjectId document = 0;
    const void* channel = nullptr;
    QString prefix;
    int knownCount = -1;
    QString lastKnown;  // name of the block at index knownCount - 1
    QSet<qint64> used;
};
ComponentNumbers numbers;

}  // namespace

void ForgetComponentNumbers() {
    numbers = ComponentNumbers{};
}

QString MakeUniqueStreamBlockName(const QString& prefix, const QString& suffix) {
    const cad::Document& doc = automation::CadDocument;
    const int count = doc.blocks().count();
    const cad::Blocks blocks = doc.blocks();
    const bool same = numbers.document == doc.id() && numbers.channel == doc.channel() &&
                      numbers.prefix.compare(prefix, Qt::CaseInsensitive) == 0;
    if (same && numbers.knownCount > 0 && count > numbers.knownCount &&
        blocks.itemAt(numbers.knownCount - 1).name() == numbers.lastKnown) {
        // Only blocks added after the last known one (markers, say): their names are read alone.
        for (int i = numbers.knownCount; i < count; ++i)
            addComponentNumber(blocks.itemAt(i).name(), prefix, numbers.used);
    } else if (!same || numbers.knownCount != count) {
        numbers.document = doc.id();
        numbers.channel = doc.channel();
        numbers.prefix = prefix;
        numbers.used = usedComponentNumbers(prefix);
    }
    qint64 n = count;
    QString candidate;
    do {
        ++n;
        candidate = prefix + QString::number(n) + suffix;
    } while (numbers.used.contains(n) || automation::CheckBlockExists(candidate) ||
             automation::CheckBlockExists(prefix + QString::number(n)));
    numbers.used.insert(n);
    numbers.knownCount = count + 1;  // the caller adds this block next
    numbers.lastKnown = candidate;
    return candidate;
}

bool ParseStreamBlockName(const QString& streamName, QString& blockName, int removeMode, int& count) {
    const bool collect = count >= 0;
    count = 0;
    if (collect) SharedStreamNames.clear();
    const int prefixLength = int((IntersectionNumber + QStringLiteral("^STRUMIEN_")).size());
    const QString rest = blockName.mid(prefixLength);
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

void ReadIntersectionAttributeBlock() {
    StreamAttributeBlockHandle.clear();
    if (IntersectionNumber.isEmpty()) return;
    cad::SelectionSet set = automation::GetSelectionSet(QStringLiteral("SSAtrStrum"));
    try {
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT"))
            .add(2, PatternText(IntersectionBlockPrefix() + IntersectionNumber));
        set.select(cad::SelectionSet::All, f);
        if (set.count() == 1) {
            const cad::Entity ref = set.item(0);
            StreamAttributeBlockHandle = ref.handle();
            if (ref.hasAttributes()) {
                for (const cad::Entity& att : ref.attributes()) {
                    const int i = tagEntry(att.tagString());
                    if (i >= 0) StreamAttributeTags[size_t(i)].Value = att.textString();
                }
            }
        }
    } catch (...) {
        set.remove();
        throw;
    }
    set.remove();
}

QString GetStreamAttribute(const QString& tag, const QString& streamName) {
    const int i = tagEntry(tag);
    if (i < 0 || streamName.isEmpty()) return QString();
    const QString& text = StreamAttributeTags[size_t(i)].Value;
    const int p = findEntry(text, streamName);
    if (p < 0) return QString();
    const QString rest = text.mid(p + streamName.size() + 1);
    const int q = int(rest.indexOf(QLatin1Char('^')));
    return q >= 1 ? rest.left(q) : QString();
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
