// The stream-model fixture with helpers that draw streams for the cut: components written by the
// stream model's own routines, start markers at the first component's start, the table left empty
// so that the cut reads the drawing as the user's drawing would be read.
#pragma once

#include "tests/conflictor/streams/StreamsFixture.h"

#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/Cut.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"

#include <algorithm>
#include <numbers>

namespace conflictor::test {

constexpr double Pi = std::numbers::pi;

class CutFixture : public StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        EnsureStreamLayers();
    }

    // Draws a stream; a vehicle stream gets its start marker at `start` (default: the first
    // component's start; a missing point: none).
    void draw(const QString& name, const std::vector<SegmentRecord>& segments,
              std::optional<PlanePoint> start = std::nullopt) {
        StreamTable.push_back(Stream(name));
        const int index = int(StreamTable.size()) - 1;
        for (SegmentRecord s : segments) ASSERT_TRUE(WriteStreamComponent(s, index, {}));
        const PlanePoint at = start.value_or(segments.front().StartPoint);
        if (IsVehicleStream(StreamTable.back()) && !common::IsMissingPoint(at))
            InsertMarkerBlock(at, StartMarkerKind(), name, QString(), QString());
    }
    // Forgets the table, as after drawing: the cut reads the streams from the drawing.
    void drawn() { StreamTable.clear(); }

    // Cuts with Yes to the question and OK to what follows.
    CutOutcome cut(bool all = true) {
        prompts.answerMessage(ui::Yes);
        return CutStreams(all);
    }

    const StreamRecord& stream(const QString& name) {
        const int i = FindStreamIndex(name);
        EXPECT_GE(i, 0) << name.toStdString();
        return StreamTable[size_t(std::max(i, 0))];
    }
    // The number of components the drawing holds for the stream, read afresh.
    int componentsInDrawing(const QString& name) {
        const std::vector<StreamRecord> kept = StreamTable;
        OdczytajStrumienie(false, -1);
        const int i = FindStreamIndex(name);
        const int n = i < 0 ? -1 : StreamTable[size_t(i)].SegmentCount;
        StreamTable = kept;
        return n;
    }
    // Markers sorted by position (x, then y).
    QList<ConflictMarker> markers() {
        QList<ConflictMarker> m = ReadConflictMarkers();
        std::sort(m.begin(), m.end(), [](const ConflictMarker& a, const ConflictMarker& b) {
            return a.Position.X != b.Position.X ? a.Position.X < b.Position.X : a.Position.Y < b.Position.Y;
        });
        return m;
    }
    QList<cad::Entity> lengthTexts() {
        QList<cad::Entity> out;
        for (const cad::Entity& e : modelSpace().entities())
            if (e.objectName() == QLatin1String("AcDbText") &&
                e.layer() == QLatin1String("400-DLUGOSCI_STRUMIENI"))
                out.append(e);
        return out;
    }
    bool saidDone() { return prompts.messageTexts().contains(QStringLiteral("Zakończono operację cięcia.")); }
};

}  // namespace conflictor::test
