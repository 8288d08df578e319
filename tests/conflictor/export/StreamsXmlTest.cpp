// "Export.xml": coordinates around the centre of the streams, scale-free, escaped names in UTF-8.
#include "tests/conflictor/export/ExportFixture.h"

#include "conflictor/conflicts/StreamsXml.h"

#include <QFile>
#include <QXmlStreamReader>

namespace conflictor::test {
namespace {

// True when the text reads as well-formed XML; the text of the first <numer>.
bool wellFormed(const QByteArray& xml, QString* number = nullptr) {
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (number && r.isStartElement() && r.name() == QLatin1String("numer")) *number = r.readElementText();
    }
    return !r.hasError();
}

using StreamsXml = ExportFixture;

TEST_F(StreamsXml, OneStraightStreamAroundItsCentre) {
    draw(QStringLiteral("K1"), {Line(10, 0, 20, 0)});
    draw(QStringLiteral("P1"), {Line(15, -2, 15, 2)});  // a crossing of 4 m
    drawn();
    // The file gives the streams as cut: K1 in two components, ending and starting at P1.
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QString path = ExportStreamsXml(dir.path());
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(xml.startsWith(
        QStringLiteral("<?xml version=\"1.0\"?>\r\n<skrzyzowanie>\r\n    <numer>12</numer>\r\n")));
    EXPECT_TRUE(
        xml.contains(QStringLiteral("        <PunktPoczatkowy>\r\n            <x>-5.0000</x>\r\n"
                                    "            <y>0.0000</y>\r\n")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<lin_p1_x>-5.0000</lin_p1_x>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<lin_p2_x>5.0000</lin_p2_x>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<Odcinek>1</Odcinek>")));
    EXPECT_FALSE(xml.contains(QStringLiteral("arc_r")));
    EXPECT_EQ(xml.count(QStringLiteral("<PunktPoczatkowy>")), 1);  // none for the pedestrian stream
    EXPECT_TRUE(wellFormed(xml.toUtf8()));
    // The centre and the corners are marked with points.
    int points = 0;
    for (const cad::Entity& e : modelSpace().entities())
        if (e.objectName() == QLatin1String("AcDbPoint")) ++points;
    EXPECT_EQ(points, 3);
}

TEST_F(StreamsXml, NamesAreEscapedSoTheFileStaysWellFormed) {
    draw(QStringLiteral("K&1"), {Line(0, 0, 10, 0)});
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const QString path = ExportStreamsXml(dir.path());
    ASSERT_FALSE(path.isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray xml = f.readAll();
    QString number;
    EXPECT_TRUE(wellFormed(xml, &number));
    EXPECT_EQ(number, QStringLiteral("12"));
    EXPECT_TRUE(xml.contains("<nazwa>K&amp;1</nazwa>"));
    EXPECT_EQ(XmlIndent(2), QStringLiteral("        "));
    const common::PlanePoint p = ToExportCoordinates({1500, -500}, {1000, 0}, 100);
    EXPECT_NEAR(p.X, 5, 1e-9);
    EXPECT_NEAR(p.Y, -5, 1e-9);
}

}  // namespace
}  // namespace conflictor::test
