// A generated intersection cut and saved as DXF: ezdxf opens it without audit errors, and its
// markers stand exactly at the crossings shapely computes from the geometry before the cut. The
// headless tool does the same cut on the saved drawing and lists the same points.
#include "CutFixture.h"

#include "automation/DrawingProperties.h"
#include "bench/conflicts/IntersectionGenerator.h"
#include "conflictor/conflicts/LengthTexts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace conflictor::test {
namespace {

class CutDxf : public CutFixture {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void generate() {
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        bench::GenerateIntersection({12, 6, 8, 100});
        doc().saveAs(path("before.dxf"));
    }
    QJsonObject check(const QString& before, const QString& after) {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(SUITE_TEST_DATA "/conflictor/check_cut.py"), before, after,
                 QStringLiteral("12")});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            ADD_FAILURE() << "check_cut.py failed: " << p.readAllStandardError().toStdString();
            return {};
        }
        return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    }
    static void expectAgreement(const QJsonObject& r) {
        EXPECT_TRUE(r[QStringLiteral("audit_errors")].toArray().isEmpty())
            << QJsonDocument(r[QStringLiteral("audit_errors")].toArray()).toJson().toStdString();
        EXPECT_GT(r[QStringLiteral("crossings")].toInt(), 40);
        EXPECT_EQ(r[QStringLiteral("markers")].toInt(), r[QStringLiteral("crossings")].toInt());
        for (const char* list : {"missing", "extra", "wrong_kind"})
            EXPECT_TRUE(r[QString::fromLatin1(list)].toArray().isEmpty())
                << list << ": "
                << QJsonDocument(r[QString::fromLatin1(list)].toArray()).toJson().toStdString();
    }
};

TEST_F(CutDxf, MarkersStandAtTheCrossingsShapelyFindsAndEzdxfAuditsClean) {
    ASSERT_TRUE(dir.isValid());
    generate();
    ASSERT_EQ(cut(), CutOutcome::Done);
    doc().saveAs(path("after.dxf"));
    expectAgreement(check(path("before.dxf"), path("after.dxf")));

    // The marks of the length texts come back with the file: a second cut replaces every text.
    const qsizetype texts = lengthTexts().size();
    ASSERT_GT(texts, 50);
    automation::CadApplication.documents().open(path("after.dxf"));
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ASSERT_EQ(lengthTexts().size(), texts);
    for (const cad::Entity& t : lengthTexts())
        EXPECT_EQ(t.xData(LengthTextApplication()).second.value(1).toText(), QStringLiteral("12"));
    ASSERT_EQ(cut(), CutOutcome::Done);
    EXPECT_EQ(lengthTexts().size(), texts);
}

TEST_F(CutDxf, TheHeadlessToolCutsASavedDrawingAndFailsClearly) {
    ASSERT_TRUE(dir.isValid());
    generate();
    QProcess tool;
    tool.start(QStringLiteral(HEADLESS_TOOL),
               {path("before.dxf"), QStringLiteral("--intersection"), QStringLiteral("12"),
                QStringLiteral("--cut"), QStringLiteral("--save"), path("tool.dxf")});
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QStringList lines =
        QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QJsonObject r = check(path("before.dxf"), path("tool.dxf"));
    expectAgreement(r);
    EXPECT_EQ(lines.size(), r[QStringLiteral("markers")].toInt());
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char(' '));
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        EXPECT_TRUE(
            QStringList({QStringLiteral("POJPOJ"), QStringLiteral("POJPIESZ"), QStringLiteral("PIESZPOJ")})
                .contains(f[0]));
    }

    // A missing drawing, an intersection the drawing does not hold: non-zero with a message.
    for (const QStringList& args :
         {QStringList{path("none.dxf"), QStringLiteral("--intersection"), QStringLiteral("12")},
          QStringList{path("before.dxf"), QStringLiteral("--intersection"), QStringLiteral("99"),
                      QStringLiteral("--cut")},
          QStringList{path("before.dxf")}}) {
        QProcess bad;
        bad.start(QStringLiteral(HEADLESS_TOOL), args);
        ASSERT_TRUE(bad.waitForFinished(60000));
        EXPECT_NE(bad.exitCode(), 0);
        const QString said = QString::fromUtf8(bad.readAllStandardError());
        EXPECT_TRUE(said.startsWith(QStringLiteral("conflictor-headless: "))) << said.toStdString();
        if (args.contains(QStringLiteral("99")))  // in Polish, as every message of the suite
            EXPECT_EQ(said, QStringLiteral("conflictor-headless: rysunek nie zawiera strumieni skrzyżowania 99\n"));
    }

    // A drawing made elsewhere whose intersection number holds "*": the tool names that cause.
    QFile before(path("before.dxf")), star(path("star.dxf"));
    ASSERT_TRUE(before.open(QIODevice::ReadOnly) && star.open(QIODevice::WriteOnly));
    for (const QByteArray& line : before.readAll().split('\n'))
        star.write((line.startsWith("12^") ? "1*^" + line.mid(3) : line) + '\n');
    star.close();
    QProcess refused;
    refused.start(QStringLiteral(HEADLESS_TOOL),
                  {path("star.dxf"), QStringLiteral("--intersection"), QStringLiteral("1*"), QStringLiteral("--cut")});
    ASSERT_TRUE(refused.waitForFinished(60000));
    EXPECT_NE(refused.exitCode(), 0);
    const QString said = QString::fromUtf8(refused.readAllStandardError());
    EXPECT_TRUE(said.endsWith(QStringLiteral("conflictor-headless: numer skrzyżowania nie może tworzyć nazw bloków "
                                             "cięcia (komunikat powyżej); nic nie zostało pocięte\n")))
        << said.toStdString();
}

}  // namespace
}  // namespace conflictor::test
