// A drawing written by the stream model's own routines, saved as DXF: read back through our CAD
// into the same stream table, and read independently by ezdxf (Debian's, under /usr/bin/python3)
// with no audit errors and the blocks, attributes and markers as written.
#include "StreamsFixture.h"

#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <numbers>

namespace conflictor::test {
namespace {

constexpr double Pi = std::numbers::pi;

QJsonObject readWithEzdxf(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(SUITE_TEST_DATA "/conflictor/read_streams.py"), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "ezdxf failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

class StreamsDxfRoundTrip : public StreamsFixture {
protected:
    SegmentRecord line(double x1, double y1, double x2, double y2) {
        SegmentRecord s;
        s.IsLine = true;
        s.StartPoint = {x1, y1};
        s.EndPoint = {x2, y2};
        return s;
    }
    // Intersection 12 at 1:500: K1 and K2 sharing one component, the conditional S3 as an arc, the
    // attribute block with their values, start and end markers and one conflict point.
    void drawIntersection() {
        EnsureStreamLayers();
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
        picks.point(1000, 2000);
        prompts.answerMessage(ui::Ok);
        QString handle;
        ASSERT_TRUE(DodajAtrStrumieni(IntersectionBlockPrefix() + IntersectionNumber, handle));
        ReadIntersectionAttributeBlock();
        SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1"), QStringLiteral("1"), false);
        SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K2"), QStringLiteral("2"), false);
        SetStreamAttribute(QStringLiteral("FAZY"), QStringLiteral("K1"), QStringLiteral("1,2"), false);
        SetStreamAttribute(QStringLiteral("OPISY"), QStringLiteral("K2"), QStringLiteral("w lewo"), false);
        SetStreamAttribute(QStringLiteral("DLUG_POJ"), QStringLiteral("K1"), QStringLiteral("12.00"), false);
        WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);

        StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("K2")),
                       Stream(QStringLiteral("S3"))};
        SegmentRecord a = line(0, 0, 100, 0), shared = line(100, 0, 100, 100), b = line(200, 100, 100, 100);
        SegmentRecord arc;
        arc.Center = {0, 0};
        arc.Radius = 50;
        arc.StartAngle = 0;
        arc.EndAngle = Pi / 2;
        ASSERT_TRUE(WriteStreamComponent(a, 0, {}));
        ASSERT_TRUE(WriteStreamComponent(shared, 0, {QStringLiteral("K1"), QStringLiteral("K2")}));
        ASSERT_TRUE(WriteStreamComponent(b, 1, {}));
        ASSERT_TRUE(WriteStreamComponent(arc, 2, {}));
        sharedLabel = shared.Label;

        ASSERT_TRUE(OdczytajStrumienie(false, -1));
        window.GridStreamName = QStringLiteral("K1");
        SetStartPoint(false);
        window.GridStreamName = QStringLiteral("K2");
        SetStartPoint(true);
        InsertMarkerBlock({100, 50}, QStringLiteral("3"), QStringLiteral("K1"), QStringLiteral("K2"),
                          QString());
        InsertMarkerBlock({50, 50}, QStringLiteral("2"), QStringLiteral("P9"), QStringLiteral("K1"),
                          QStringLiteral("P9"));
    }
    QString sharedLabel;
    QTemporaryDir dir;
};

TEST_F(StreamsDxfRoundTrip, StreamsWrittenByTheModelReadBackThroughOurCadAndThroughEzdxf) {
    ASSERT_TRUE(dir.isValid());
    drawIntersection();
    const QString path = dir.filePath(QStringLiteral("skrzyzowanie12.dxf"));
    doc().saveAs(path);
    doc().close();
    ASSERT_FALSE(automation::CheckDocumentOpen(false));
    StreamTable.clear();
    automation::ClearStreamAttributeTable();
    InitStreamAttributeTags();

    // Through our own reader.
    automation::CadApplication.documents().open(path);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 3u);
    const StreamRecord& k1 = StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))];
    const StreamRecord& k2 = StreamTable[size_t(FindStreamIndex(QStringLiteral("K2")))];
    const StreamRecord& s3 = StreamTable[size_t(FindStreamIndex(QStringLiteral("S3")))];
    EXPECT_EQ(automation::DrawingScale, 500);
    EXPECT_EQ(k1.SegmentCount, 2);
    EXPECT_EQ(k2.SegmentCount, 2);
    EXPECT_EQ(k1.Group, 1);
    EXPECT_EQ(k1.Phases, QStringLiteral("1,2"));
    EXPECT_DOUBLE_EQ(k1.VehicleLength, 12);
    EXPECT_EQ(k2.Description, QStringLiteral("w lewo"));
    EXPECT_TRUE(common::ArePointsEqual(k1.StartPoint, {0, 0}));
    EXPECT_TRUE(common::ArePointsEqual(k2.StartPoint, {200, 100}));
    EXPECT_FALSE(s3.Segments[1].IsLine);
    EXPECT_NEAR(s3.Segments[1].EndAngle, Pi / 2, 1e-9);
    QStringList k2Handles;
    for (int k = 1; k <= 2; ++k) k2Handles.append(k2.Segments[size_t(k)].Handle);
    int sharedInK1 = 0;
    for (int k = 1; k <= 2; ++k)
        if (k2Handles.contains(k1.Segments[size_t(k)].Handle)) ++sharedInK1;
    EXPECT_EQ(sharedInK1, 1);

    // Through ezdxf.
    const QJsonObject seen = readWithEzdxf(path);
    EXPECT_TRUE(seen.value(QStringLiteral("errors")).toArray().isEmpty())
        << QJsonDocument(seen.value(QStringLiteral("errors")).toArray()).toJson().toStdString();
    const QJsonObject blocks = seen.value(QStringLiteral("blocks")).toObject();
    QMap<QString, QJsonObject> inserts;
    int components = 0;
    for (const QJsonValue& v : seen.value(QStringLiteral("inserts")).toArray()) {
        const QJsonObject i = v.toObject();
        const QString name = i.value(QStringLiteral("name")).toString();
        inserts.insert(name, i);
        if (!name.startsWith(QStringLiteral("12^STRUMIEN_"))) continue;
        ++components;
        EXPECT_EQ(i.value(QStringLiteral("layer")).toString(), StreamLayer);
        EXPECT_DOUBLE_EQ(i.value(QStringLiteral("x")).toDouble(), 0);
        EXPECT_DOUBLE_EQ(i.value(QStringLiteral("scale")).toDouble(), 1);
        const QJsonArray contents = blocks.value(name).toArray();
        ASSERT_EQ(contents.size(), 1) << name.toStdString();
        EXPECT_EQ(contents[0].toObject().value(QStringLiteral("color")).toInt(), 0);
        EXPECT_EQ(contents[0].toObject().value(QStringLiteral("linetype")).toString().toUpper(),
                  QStringLiteral("BYBLOCK"));
        if (name.endsWith(QStringLiteral("^S3"))) {
            EXPECT_EQ(i.value(QStringLiteral("linetype")).toString().toUpper(),
                      QStringLiteral("ACAD_ISO03W100"));
        }
    }
    EXPECT_EQ(components, 4);

    ASSERT_TRUE(inserts.contains(sharedLabel));
    const QJsonObject sharedLine = blocks.value(sharedLabel).toArray()[0].toObject();
    EXPECT_EQ(sharedLine.value(QStringLiteral("type")).toString(), QStringLiteral("LINE"));
    EXPECT_DOUBLE_EQ(sharedLine.value(QStringLiteral("x1")).toDouble(), 100);
    EXPECT_DOUBLE_EQ(sharedLine.value(QStringLiteral("y2")).toDouble(), 100);
    EXPECT_TRUE(sharedLabel.endsWith(QStringLiteral("^K1^K2")));

    const QJsonObject attributeBlock = inserts.value(QStringLiteral("ATRYBUTY_STRUMIENI_12"));
    EXPECT_DOUBLE_EQ(attributeBlock.value(QStringLiteral("scale")).toDouble(), 0.5);
    EXPECT_DOUBLE_EQ(attributeBlock.value(QStringLiteral("x")).toDouble(), 1000);
    const QJsonObject values = attributeBlock.value(QStringLiteral("attribs")).toObject();
    EXPECT_EQ(values.size(), 9);
    EXPECT_EQ(values.value(QStringLiteral("GRUPY")).toString(), QStringLiteral("K1:1^K2:2^"));
    EXPECT_EQ(values.value(QStringLiteral("FAZY")).toString(), QStringLiteral("K1:1,2^"));
    EXPECT_EQ(values.value(QStringLiteral("OPISY")).toString(), QStringLiteral("K2:w lewo^"));
    EXPECT_EQ(values.value(QStringLiteral("DLUG_POJ")).toString(), QStringLiteral("K1:12.00^"));
    EXPECT_EQ(attributeBlock.value(QStringLiteral("layer")).toString(), StreamLayer);
    EXPECT_EQ(attributeBlock.value(QStringLiteral("color")).toInt(), 5);

    // Its definition: the open frame, the number standing bottom-centred on the frame's lower edge,
    // then the nine hidden preset attribute definitions in their order.
    const QJsonArray label = blocks.value(QStringLiteral("ATRYBUTY_STRUMIENI_12")).toArray();
    ASSERT_EQ(label.size(), 11);
    const QJsonObject frame = label[0].toObject();
    EXPECT_EQ(frame.value(QStringLiteral("type")).toString(), QStringLiteral("LWPOLYLINE"));
    EXPECT_EQ(frame.value(QStringLiteral("color")).toInt(), 0);
    EXPECT_EQ(frame.value(QStringLiteral("points")).toArray(),
              QJsonDocument::fromJson("[[0,0],[0,4000],[8000,4000],[8000,0],[0,0]]").array());
    const QJsonObject number = label[1].toObject();
    EXPECT_EQ(number.value(QStringLiteral("type")).toString(), QStringLiteral("TEXT"));
    EXPECT_EQ(number.value(QStringLiteral("text")).toString(), QStringLiteral("12"));
    EXPECT_DOUBLE_EQ(number.value(QStringLiteral("height")).toDouble(), 2500);
    EXPECT_EQ(number.value(QStringLiteral("halign")).toInt(), 1);  // centre
    EXPECT_EQ(number.value(QStringLiteral("valign")).toInt(), 1);  // bottom
    EXPECT_DOUBLE_EQ(number.value(QStringLiteral("ax")).toDouble(), 4000);
    EXPECT_DOUBLE_EQ(number.value(QStringLiteral("ay")).toDouble(), 0);
    EXPECT_EQ(number.value(QStringLiteral("style")).toString().toUpper(), QStringLiteral("SYGN_TXT"));
    for (int t = 0; t < 9; ++t) {
        const QJsonObject def = label[2 + t].toObject();
        EXPECT_EQ(def.value(QStringLiteral("type")).toString(), QStringLiteral("ATTDEF"));
        EXPECT_EQ(def.value(QStringLiteral("tag")).toString(), StreamAttributeTagNames()[t]);
        EXPECT_EQ(def.value(QStringLiteral("flags")).toInt(), 9);
        EXPECT_DOUBLE_EQ(def.value(QStringLiteral("height")).toDouble(), 3.5);
    }

    int starts = 0, ends = 0, conflicts = 0;
    for (auto it = inserts.begin(); it != inserts.end(); ++it) {
        const QJsonObject& i = it.value();
        const QJsonArray contents = blocks.value(it.key()).toArray();
        if (it.key().startsWith(QStringLiteral("12^POCZATEK_STRUMIEN_"))) {
            ++starts;
            EXPECT_EQ(i.value(QStringLiteral("layer")).toString(), StreamLayer);
            EXPECT_DOUBLE_EQ(i.value(QStringLiteral("scale")).toDouble(), 0.5);
            EXPECT_DOUBLE_EQ(contents[0].toObject().value(QStringLiteral("r")).toDouble(), 375);
            if (it.key().startsWith(QStringLiteral("12^POCZATEK_STRUMIEN_K2_"))) {
                EXPECT_DOUBLE_EQ(i.value(QStringLiteral("x")).toDouble(), 200);
                EXPECT_DOUBLE_EQ(i.value(QStringLiteral("y")).toDouble(), 100);
            }
        } else if (it.key().startsWith(QStringLiteral("12^KONIEC_STRUMIEN_"))) {
            ++ends;
            EXPECT_EQ(contents.size(), 3);
            if (it.key().startsWith(QStringLiteral("12^KONIEC_STRUMIEN_K1_"))) {
                EXPECT_DOUBLE_EQ(i.value(QStringLiteral("x")).toDouble(), 100);
                EXPECT_DOUBLE_EQ(i.value(QStringLiteral("y")).toDouble(), 100);
                // The arrow points up the last component: base 500 below the tip, 375 wide.
                const double arrow[3][4] = {
                    {-187.5, -500, 187.5, -500}, {-187.5, -500, 0, 0}, {187.5, -500, 0, 0}};
                for (int l = 0; l < 3; ++l) {
                    const QJsonObject o = contents[l].toObject();
                    EXPECT_EQ(o.value(QStringLiteral("type")).toString(), QStringLiteral("LINE"));
                    EXPECT_EQ(o.value(QStringLiteral("color")).toInt(), 0);
                    EXPECT_NEAR(o.value(QStringLiteral("x1")).toDouble(), arrow[l][0], 1e-6);
                    EXPECT_NEAR(o.value(QStringLiteral("y1")).toDouble(), arrow[l][1], 1e-6);
                    EXPECT_NEAR(o.value(QStringLiteral("x2")).toDouble(), arrow[l][2], 1e-6);
                    EXPECT_NEAR(o.value(QStringLiteral("y2")).toDouble(), arrow[l][3], 1e-6);
                }
            }
        } else if (it.key().startsWith(QStringLiteral("12^POJPOJ_STRUMIEN_"))) {
            ++conflicts;
            EXPECT_EQ(i.value(QStringLiteral("layer")).toString(), QStringLiteral("114-PUNKTY_KOLIZJI"));
            const QJsonObject a = i.value(QStringLiteral("attribs")).toObject();
            EXPECT_EQ(a.value(QStringLiteral("POJPOJ_STRUMIEN1")).toString(), QStringLiteral("^K1"));
            EXPECT_EQ(a.value(QStringLiteral("POJPOJ_STRUMIEN2")).toString(), QStringLiteral("^K2"));
            EXPECT_EQ(a.size(), 2);
            EXPECT_DOUBLE_EQ(i.value(QStringLiteral("scale")).toDouble(), 0.5);
            const double cross[4][4] = {{-250, 0, 250, 0},
                                        {0, -250, 0, 250},
                                        {-177.5, -177.5, 177.5, 177.5},
                                        {-177.5, 177.5, 177.5, -177.5}};
            int l = 0;
            for (const QJsonValue& e : contents) {
                const QJsonObject o = e.toObject();
                if (o.value(QStringLiteral("type")).toString() != QLatin1String("LINE")) continue;
                ASSERT_LT(l, 4);
                EXPECT_NEAR(o.value(QStringLiteral("x1")).toDouble(), cross[l][0], 1e-6);
                EXPECT_NEAR(o.value(QStringLiteral("y1")).toDouble(), cross[l][1], 1e-6);
                EXPECT_NEAR(o.value(QStringLiteral("x2")).toDouble(), cross[l][2], 1e-6);
                EXPECT_NEAR(o.value(QStringLiteral("y2")).toDouble(), cross[l][3], 1e-6);
                ++l;
            }
            EXPECT_EQ(l, 4);
        }
    }
    bool pedestrianMarker = false;
    for (auto it = inserts.begin(); it != inserts.end(); ++it) {
        if (!it.key().startsWith(QStringLiteral("12^PIESZPOJ_STRUMIEN_"))) continue;
        pedestrianMarker = true;
        const QJsonObject a = it.value().value(QStringLiteral("attribs")).toObject();
        EXPECT_EQ(a.value(QStringLiteral("PIESZPOJ_STRUMIEN1")).toString(), QStringLiteral("^P9"));
        EXPECT_EQ(a.value(QStringLiteral("PIESZPOJ_STRUMIEN2")).toString(), QStringLiteral("^K1"));
        EXPECT_EQ(a.value(QStringLiteral("SKOJARZONY_PIESZY")).toString(), QStringLiteral("P9"));
        QStringList kinds;
        for (const QJsonValue& e : blocks.value(it.key()).toArray()) {
            const QJsonObject o = e.toObject();
            kinds.append(o.value(QStringLiteral("type")).toString());
            if (kinds.last() == QLatin1String("HATCH")) {
                EXPECT_EQ(o.value(QStringLiteral("pattern")).toString(), QStringLiteral("SOLID"));
                EXPECT_EQ(o.value(QStringLiteral("solid")).toInt(), 1);
                EXPECT_EQ(o.value(QStringLiteral("loops")).toInt(), 1);
            }
        }
        EXPECT_EQ(kinds.mid(0, 3),
                  (QStringList{QStringLiteral("CIRCLE"), QStringLiteral("CIRCLE"), QStringLiteral("HATCH")}));
    }
    EXPECT_TRUE(pedestrianMarker);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(conflicts, 1);
}

}  // namespace
}  // namespace conflictor::test
