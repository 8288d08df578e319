// The headless tool runs the picture and transition commands on a saved drawing as a user would.
#include "HatcherFixture.h"
#include "automation/DrawingProperties.h"
#include "SampleIntersection.h"

using namespace hatcher::test;

using HeadlessTool = hatcher::test::HatcherFixture;

TEST_F(HeadlessTool, PicturesAndAllTransitionsOnASavedDrawing) {
    automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    AddSampleStreams();
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.dxf")), out = dir.filePath(QStringLiteral("out.dxf"));
    automation::CadDocument.saveAs(in);

    QProcess tool;
    tool.start(QStringLiteral(HATCHER_HEADLESS),
               {in, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--command"),
                QStringLiteral("TworzObrazyFaz"), QStringLiteral("--circle"), QStringLiteral("0,0,30"),
                QStringLiteral("--target"), QStringLiteral("0,-150"), QStringLiteral("--command"),
                QStringLiteral("ConnectAll"), QStringLiteral("--save"), out});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardOutput()).contains(QStringLiteral("obrazy faz: 4")));

    QProcess read;
    read.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(SUITE_SOURCE_DIR "/tests/hatcher/read_transitions.py"), out});
    ASSERT_TRUE(read.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(read.readAllStandardOutput()).count(QStringLiteral("|7|PF ")), 12);

    // An unreadable "SKALA": the command refuses it, and the tool never says the transitions were made.
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("abc"));
    const QString badScale = dir.filePath(QStringLiteral("skala.dxf"));
    automation::CadDocument.saveAs(badScale);
    QProcess refused;
    refused.start(QStringLiteral(HATCHER_HEADLESS), {badScale, QStringLiteral("--intersection"), QStringLiteral("7"),
                                                     QStringLiteral("--command"), QStringLiteral("ConnectAll")});
    ASSERT_TRUE(refused.waitForFinished(60000));
    EXPECT_EQ(refused.exitCode(), 1);
    const QString said = QString::fromUtf8(refused.readAllStandardOutput());
    EXPECT_FALSE(said.contains(QStringLiteral("przejścia utworzone"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("przejść nie utworzono w całości (komunikat powyżej)"))) << said.toStdString();
    EXPECT_TRUE(QString::fromUtf8(refused.readAllStandardError()).contains(QStringLiteral("SKALA")));

    // Without a phase list the command says so and the tool reports it by its exit code.
    QProcess none;
    none.start(QStringLiteral(HATCHER_HEADLESS),
               {QString::fromUtf8(SampleMapPath()), QStringLiteral("--intersection"), QStringLiteral("9"),
                QStringLiteral("--command"), QStringLiteral("TworzObrazyFaz"), QStringLiteral("--circle"),
                QStringLiteral("0,0,30"), QStringLiteral("--target"), QStringLiteral("0,-150")});
    ASSERT_TRUE(none.waitForFinished(60000));
    EXPECT_EQ(none.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(none.readAllStandardError()).contains(QStringLiteral("Brak zdefiniowanych faz")));
}
