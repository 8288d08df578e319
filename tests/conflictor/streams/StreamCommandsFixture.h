// The stream commands under the streams fixture: scripted dialogs, a wait for drawing commands and
// a few drawing helpers shared by the command tests.
#pragma once

#include "StreamsFixture.h"

#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamEditing.h"
#include "conflictor/streams/StreamNaming.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamViews.h"

#include <QElapsedTimer>
#include <QThread>

namespace conflictor::test {

class StreamCommands : public StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        StreamDialogs() = {};
        ShownPhase = -1;
        StreamReferenceCache.clear();
        PendingDrawMode = 0;
        // The naming dialog answers with the next scripted name (a copy: the proposed name).
        StreamDialogs().NazwaStrumienia = [this](bool isCopy) {
            const QString name = isCopy ? CopyNameProposal(window.GridStreamName) : names.value(0);
            if (!isCopy && !names.isEmpty()) names.removeFirst();
            const int i = AcceptStreamName(name, QString(), QString(), QStringLiteral("Nowy strumień"));
            if (i >= 0) select(StreamTable[size_t(i)].Name);
            return i;
        };
    }
    void TearDown() override {
        StreamDialogs() = {};
        PendingDrawMode = 0;
        StreamsFixture::TearDown();
    }

    void select(const QString& name) {
        window.GridStreamName = name;
        window.GridStreamIndex = FindStreamIndex(name);
    }
    // Serves the event loop until the awaited CAD command has been taken in (at most 5 s).
    bool waitForDrawing() {
        QElapsedTimer clock;
        clock.start();
        while (window.DrawingInProgress && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        return !window.DrawingInProgress;
    }
    // A new stream through the Edit menu, selected in the grid.
    int newStream(const QString& name) {
        names.append(name);
        const size_t before = StreamTable.size();
        mnuEdycja_NowyStrumien();
        EXPECT_EQ(StreamTable.size(), before + 1) << name.toStdString();
        return FindStreamIndex(name);
    }
    void drawLine(double x1, double y1, double x2, double y2) {
        picks.point(x1, y1).point(x2, y2);
        DrawStreamComponent(Odcinek);
        EXPECT_TRUE(window.Visible);
    }
    const StreamRecord& stream(const QString& name) {
        const int i = FindStreamIndex(name);
        EXPECT_GE(i, 0) << name.toStdString();
        return StreamTable[size_t(std::max(i, 0))];
    }
    // The insertion point of the stream's only marker of that kind ("POCZATEK", "KONIEC").
    common::PlanePoint marker(const QString& kind, const QString& stream) {
        const QList<cad::Entity> refs = references(
            QStringLiteral("12^") + kind + QStringLiteral("_STRUMIEN_") + stream + QStringLiteral("_*"));
        EXPECT_EQ(refs.size(), 1) << kind.toStdString() << " " << stream.toStdString();
        if (refs.isEmpty()) return common::MissingPoint();
        const cad::Point p = refs.first().insertionPoint();
        return {p.x, p.y};
    }
    // A signal head "S-1" whose inventory attribute holds the text.
    void addHead(const QString& inventory) {
        if (automation::GetBlockDefinition(QStringLiteral("S-1")).isNull()) {
            cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("S-1"));
            b.addCircle(cad::Point{0, 0, 0}, 1);
            automation::AddAttributeDefinition(b, QStringLiteral("INWENT_NUMER"), QString(), 0, 0);
        }
        cad::Entity ref = insert(QStringLiteral("S-1"), QString(), 5, 5);
        for (const cad::Entity& att : ref.attributes()) att.setTextString(inventory);
    }

    QStringList names;
};

}  // namespace conflictor::test
