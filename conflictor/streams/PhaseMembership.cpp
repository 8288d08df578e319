// Phase membership of the streams of the stream table.
#include "conflictor/streams/PhaseMembership.h"

#include "common/NumberText.h"
#include "conflictor/streams/StreamRecords.h"

#include <algorithm>

namespace conflictor {

std::vector<int> PhaseNumbersOfList(const QString& phases) {
    std::vector<int> numbers;
    QString rest = phases;
    while (!rest.isEmpty()) {
        const int comma = int(rest.indexOf(QLatin1Char(',')));
        const QString item = comma >= 0 ? rest.left(comma) : rest;
        rest = comma >= 0 ? rest.mid(comma + 1) : QString();
        const int n = common::ParseInteger(item);
        if (n > 0) numbers.push_back(n);
    }
    return numbers;
}

bool StrumienJestWFazie(int StreamIndex, int Phase) {
    if (StreamIndex < 0 || StreamIndex >= int(StreamTable.size())) return false;
    const std::vector<int> numbers = PhaseNumbersOfList(StreamTable[size_t(StreamIndex)].Phases);
    return std::find(numbers.begin(), numbers.end(), Phase) != numbers.end();
}

int GetFirstPhaseOfStream(int StreamIndex) {
    if (StreamIndex < 0 || StreamIndex >= int(StreamTable.size())) return 0;
    const QString& phases = StreamTable[size_t(StreamIndex)].Phases;
    if (phases.isEmpty()) return 0;
    const int comma = int(phases.indexOf(QLatin1Char(',')));
    const int n = common::ParseInteger(comma >= 0 ? phases.left(comma) : phases);
    return n > 0 ? n : 0;
}

}  // namespace conflictor
