// Coordination project files written here: well-formed, malformed, empty, with entity
// declarations, with too many program entries.
#include "phaseplanner/drawing/CoordinationProject.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace phaseplanner;

namespace {

class CoordinationProjectTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

const QByteArray kTwoIntersections = R"(<?xml version="1.0" encoding="UTF-8"?>
<Projekt>
  <OstKoordynacja>90</OstKoordynacja>
  <Skrzyzowanie>
    <NrSkrzyz>12</NrSkrzyz><LGrupa>K1</LGrupa><PGrupa>K5</PGrupa>
    <OdstepLP>350</OdstepLP><LGrupaOdstep>4</LGrupaOdstep><PGrupaOdstep>-2</PGrupaOdstep>
    <Inne>pominięte</Inne>
    <Koordynacja><TC>80</TC><Plik>prog80.dxf</Plik></Koordynacja>
    <Koordynacja><Plik>prog90.dxf</Plik><TC> 90 </TC></Koordynacja>
    <Koordynacja><TC>100</TC><Plik>ł&amp;ódź.dxf</Plik></Koordynacja>
  </Skrzyzowanie>
  <Grupa><Skrzyzowanie><NrSkrzyz>14</NrSkrzyz><Koordynacja><TC>120</TC><Plik>x</Plik></Koordynacja></Skrzyzowanie></Grupa>
</Projekt>
)";

}  // namespace

TEST_F(CoordinationProjectTest, WellFormedProjectFillsOneRecordPerIntersection) {
    QString error;
    const auto p = ReadCoordinationProject(write("a.prk", kTwoIntersections), error);
    ASSERT_TRUE(p) << error.toStdString();
    ASSERT_EQ(p->Records.size(), 2u);
    const CoordinationRecord& r = p->Records[0];
    EXPECT_EQ(r.NrSkrzyz, "12");
    EXPECT_EQ(r.LGrupa, "K1");
    EXPECT_EQ(r.PGrupa, "K5");
    EXPECT_EQ(r.OdstepLP, 350);
    EXPECT_EQ(r.LGrupaOdstep, 4);
    EXPECT_EQ(r.PGrupaOdstep, -2);
    ASSERT_EQ(r.KoordynacjaCount, 3);
    EXPECT_EQ(r.Koordynacja[1].TC, 90);
    EXPECT_EQ(r.Koordynacja[1].Plik, "prog90.dxf");
    EXPECT_EQ(r.Koordynacja[2].Plik, QString::fromUtf8("ł&ódź.dxf"));
    EXPECT_EQ(p->Records[1].NrSkrzyz, "14");  // found anywhere in the document
    EXPECT_EQ(p->Records[1].Koordynacja[0].TC, 120);
    // The cycle list holds the first intersection's times only; the current one is OstKoordynacja.
    EXPECT_EQ(p->CycleTimes, QStringList({"80", "90", "100"}));
    EXPECT_EQ(p->CurrentCycle, "90");
    EXPECT_TRUE(p->Trace.contains(QString::fromUtf8("Inne: pominięte")));
    EXPECT_EQ(p->IgnoredEntries, 0);
}

TEST_F(CoordinationProjectTest, EmptyFileAndFileWithoutIntersectionsAreEmptyProjects) {
    QString error;
    auto p = ReadCoordinationProject(write("empty.prk", QByteArray()), error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Records.size(), 1u);
    EXPECT_TRUE(p->Records[0].NrSkrzyz.isEmpty());
    EXPECT_TRUE(p->CycleTimes.isEmpty());

    p = ReadCoordinationProject(write("none.prk", "<P><OstKoordynacja>60</OstKoordynacja></P>"), error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Records.size(), 1u);
    EXPECT_EQ(p->Records[0].KoordynacjaCount, 0);
}

TEST_F(CoordinationProjectTest, FaultsGiveAMessageNamingTheFile) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* says;
    };
    const Case cases[] = {
        {"malformed.prk", "<P><OstKoordynacja>60</P>", "XML"},
        {"truncated.prk", "<P><OstKoordynacja>60</OstKoordynacja><Skrzyzowanie>", "XML"},
        {"noost.prk", "<P><Skrzyzowanie><NrSkrzyz>1</NrSkrzyz></Skrzyzowanie></P>", "OstKoordynacja"},
        {"text.prk", "<P><OstKoordynacja/><Skrzyzowanie><OdstepLP>daleko</OdstepLP></Skrzyzowanie></P>",
         "OdstepLP"},
        {"big.prk", "<P><OstKoordynacja/><Skrzyzowanie><PGrupaOdstep>70000</PGrupaOdstep></Skrzyzowanie></P>",
         "PGrupaOdstep"},
        {"tc.prk",
         "<P><OstKoordynacja/><Skrzyzowanie><Koordynacja><TC>8O</TC></Koordynacja></Skrzyzowanie></P>", "TC"},
        {"notc.prk",
         "<P><OstKoordynacja/><Skrzyzowanie><Koordynacja><Plik>a</Plik></Koordynacja></Skrzyzowanie></P>",
         "TC"},
    };
    for (const Case& c : cases) {
        QString error;
        const QString path = write(c.name, c.bytes);
        EXPECT_FALSE(ReadCoordinationProject(path, error)) << c.name;
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.says))) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(error.endsWith("\n[" + path + "]")) << c.name;
    }
    QString error;
    // The parser's fault is named in Polish with its byte offset, not in pugixml's English.
    EXPECT_FALSE(ReadCoordinationProject(write("mismatch.prk", "<P><OstKoordynacja>60</P>"), error));
    EXPECT_TRUE(error.startsWith(QString::fromUtf8(
        "Plik projektu nie jest poprawnym dokumentem XML (znacznik zamykający nie pasuje do otwierającego "
        "albo go brakuje, bajt ")))
        << error.toStdString();
    EXPECT_FALSE(ReadCoordinationProject(dir.filePath("missing.prk"), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(CoordinationProjectTest, EntitiesAreNeverResolved) {
    const QString secret = write("secret.txt", "TAJNE-DANE");
    const QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE P [\n  <!ENTITY xxe SYSTEM \"file://" +
                           secret.toUtf8() +
                           "\">\n  <!ENTITY inner \"wewn\">\n]>\n"
                           "<P><OstKoordynacja>60</OstKoordynacja><Skrzyzowanie><NrSkrzyz>&xxe;</NrSkrzyz>"
                           "<LGrupa>&inner;</LGrupa></Skrzyzowanie></P>";
    QString error;
    const auto p = ReadCoordinationProject(write("xxe.prk", xml), error);
    ASSERT_TRUE(p) << error.toStdString();
    EXPECT_FALSE(p->Records[0].NrSkrzyz.contains("TAJNE"));
    EXPECT_EQ(p->Records[0].NrSkrzyz, "&xxe;");
    EXPECT_EQ(p->Records[0].LGrupa, "&inner;");
    for (const QString& line : p->Trace) EXPECT_FALSE(line.contains("TAJNE"));
}

TEST_F(CoordinationProjectTest, EntriesBeyondTheHundredAndFirstAreIgnored) {
    QByteArray xml = "<P><OstKoordynacja>0</OstKoordynacja><Skrzyzowanie><NrSkrzyz>3</NrSkrzyz>";
    for (int k = 0; k < 105; ++k)
        xml += "<Koordynacja><TC>" + QByteArray::number(k) + "</TC><Plik>p" + QByteArray::number(k) +
               "</Plik></Koordynacja>";
    xml += "</Skrzyzowanie></P>";
    QString error;
    const auto p = ReadCoordinationProject(write("many.prk", xml), error);
    ASSERT_TRUE(p) << error.toStdString();
    EXPECT_EQ(p->Records[0].KoordynacjaCount, MaxCoordinationEntries);
    EXPECT_EQ(p->Records[0].Koordynacja[100].TC, 100);
    EXPECT_EQ(p->Records[0].Koordynacja[100].Plik, "p100");
    EXPECT_EQ(p->IgnoredEntries, 4);
    EXPECT_EQ(p->CycleTimes.size(), MaxCoordinationEntries);
}
