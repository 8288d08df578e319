// The stream table and its look-ups.
#include "conflictor/streams/StreamRecords.h"

#include "common/Geometry.h"
#include "common/NumberText.h"

#include <algorithm>

namespace conflictor {

std::vector<StreamRecord> StreamTable;
int CurrentStreamIndex = -1;
QStringList SharedStreamNames;

void SegmentSlots::reach(size_t i) {
    if (slots_.capacity() < size_t(MaxSegments) + 1) slots_.reserve(MaxSegments + 1);
    slots_.resize(i + 1);
}

namespace {

// Whether the name upper-cased equals `upper`; plain ASCII names (all of them in practice) are
// compared in place instead of through an upper-cased copy: the cut asks this thousands of times.
bool upperEquals(const QString& name, const QString& upper) {
    if (name.size() != upper.size()) {
        // Only a name with other than ASCII letters may change its length when upper-cased.
        for (const QChar c : name)
            if (c.unicode() >= 0x80) return name.toUpper() == upper;
        return false;
    }
    const QChar* a = name.constData();
    const QChar* b = upper.constData();
    for (qsizetype k = 0; k < name.size(); ++k) {
        char16_t c = a[k].unicode();
        if (c >= 0x80) return name.toUpper() == upper;
        if (c >= u'a' && c <= u'z') c = char16_t(c - (u'a' - u'A'));
        if (c != b[k].unicode()) return false;
    }
    return true;
}

}  // namespace

int FindStreamIndex(const QString& name) {
    const QString wanted = name.toUpper();
    for (size_t i = 0; i < StreamTable.size(); ++i)
        if (upperEquals(StreamTable[i].Name, wanted)) return int(i);
    return -1;
}

bool IsVehicleStream(const StreamRecord& stream) {
    switch (stream.Kind) {
        case 0:
        case KindVehicle:
        case KindConditional:
        case KindTram:
        case KindBus:
            return true;
        default:
            return false;
    }
}

QString AddNumberToList(int index, int number) {
    if (index < 0 || index >= int(StreamTable.size())) return QString();
    const QString list = StreamTable[size_t(index)].Phases;
    std::vector<int> numbers;
    if (!list.isEmpty())
        for (const QString& item : list.split(QLatin1Char(',')))
            numbers.push_back(common::ParseInteger(item));
    if (number >= 1 && std::find(numbers.begin(), numbers.end(), number) == numbers.end())
        numbers.push_back(number);
    if (numbers.empty()) return QString();
    common::SortIntegerArray(numbers);
    QStringList parts;
    for (int n : numbers) parts.append(QString::number(n));
    return parts.join(QLatin1Char(','));
}

int StreamKindFromName(const QString& name) {
    if (name.isEmpty()) return 0;
    switch (name.at(0).toUpper().unicode()) {
        case 'K':
            return KindVehicle;
        case 'S':
            return KindConditional;
        case 'P':
            return KindPedestrian;
        case 'R':
            return KindBicycle;
        case 'T':
            return KindTram;
        case 'B':
            return KindBus;
        default:
            return 0;
    }
}

void SetStreamName(StreamRecord& stream, const QString& name) {
    stream.Name = name;
    const int open = int(name.lastIndexOf(QLatin1Char('[')));
    if (open >= 0) {
        stream.BaseName = name.left(open);
        const int close = int(name.lastIndexOf(QLatin1Char(']')));
        stream.Variant =
            common::ParseInteger(close > open ? name.mid(open + 1, close - open - 1) : name.mid(open + 1));
    } else {
        stream.BaseName = name;
        stream.Variant = 1;
    }
    stream.Kind = StreamKindFromName(name);
    stream.Number = common::ParseInteger(name.mid(1));
}

SegmentRecord LineSegment(double x1, double y1, double x2, double y2) {
    SegmentRecord s;
    s.IsLine = true;
    s.StartPoint = {x1, y1};
    s.EndPoint = {x2, y2};
    return s;
}

SegmentRecord ArcSegment(double cx, double cy, double r, double a1, double a2) {
    SegmentRecord s;
    s.IsLine = false;
    s.Center = {cx, cy};
    s.Radius = r;
    s.StartAngle = a1;
    s.EndAngle = a2;
    s.StartPoint = common::GetPolarPoint(s.Center, a1, r);
    s.EndPoint = common::GetPolarPoint(s.Center, a2, r);
    return s;
}

}  // namespace conflictor
