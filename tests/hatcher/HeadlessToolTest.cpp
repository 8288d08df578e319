// The headless tool runs the picture and transition commands on a saved drawing as a user would, by the
// window's command ids or the earlier names.
#include "HatcherFixture.h"
#include "automation/DrawingProperties.h"
#include "SampleIntersection.h"

#include <QFileInfo>
#include <QRegularExpression>

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

namespace {

// The tool's run: exit code, standard output without the timings, standard error.
struct ToolRun {
    int code = -1;
    QString said, errors;
};
ToolRun RunTool(const QStringList& args) {
    QProcess tool;
    tool.start(QStringLiteral(HATCHER_HEADLESS), args);
    if (!tool.waitForFinished(60000)) return {};
    QString said = QString::fromUtf8(tool.readAllStandardOutput());
    said.remove(QRegularExpression(QStringLiteral(" \\(\\d+ ms\\)")));
    return {tool.exitCode(), said, QString::fromUtf8(tool.readAllStandardError())};
}

// Every entity, block and attribute of a saved drawing, as ezdxf reads it.
QString DumpDrawing(const QString& path) {
    QProcess dump;
    dump.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(SUITE_SOURCE_DIR "/tests/hatcher/dump_drawing.py"), path});
    if (!dump.waitForFinished(60000) || dump.exitCode() != 0) return QString::fromUtf8(dump.readAllStandardError());
    return QString::fromUtf8(dump.readAllStandardOutput());
}

}  // namespace

// The window's command ids give the drawing the earlier names gave; a row that needs the window, or a
// name that is no row, stops the tool before anything is saved.
TEST_F(HeadlessTool, TableIdsGiveTheSameDrawingAsTheEarlierNames) {
    automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    AddSampleStreams();
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.dxf"));
    automation::CadDocument.saveAs(in);
    auto run = [&](const QStringList& commands, const QString& out) {
        QStringList args{in, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--circle"),
                         QStringLiteral("0,0,30"), QStringLiteral("--target"), QStringLiteral("0,-150")};
        for (const QString& c : commands) args << QStringLiteral("--command") << c;
        if (!out.isEmpty()) args << QStringLiteral("--save") << out;
        return RunTool(args);
    };

    const QString byName = dir.filePath(QStringLiteral("nazwy.dxf")), byId = dir.filePath(QStringLiteral("id.dxf"));
    const ToolRun names =
        run({QStringLiteral("TworzObrazyFaz"), QStringLiteral("ConnectAll"), QStringLiteral("AtrrsAngle")}, byName);
    const ToolRun ids =
        run({QStringLiteral("cmdTworzObrazyFaz"), QStringLiteral("cmdConnectAll"), QStringLiteral("cmdAtrrsAngle")},
            byId);
    EXPECT_EQ(names.code, 0) << names.errors.toStdString();
    EXPECT_EQ(ids.code, 0) << ids.errors.toStdString();
    EXPECT_EQ(names.said, QStringLiteral("obrazy faz: 4\nprzejścia utworzone\nkąty zaktualizowane\n"));
    EXPECT_EQ(ids.said, names.said);
    const QString drawn = DumpDrawing(byName);
    EXPECT_TRUE(drawn.contains(QStringLiteral("ATTRIB OPIS=PF 1-2"))) << drawn.left(2000).toStdString();
    EXPECT_TRUE(drawn.contains(QStringLiteral("name=Schemat_7_Faza4")));
    EXPECT_EQ(DumpDrawing(byId), drawn);

    // The hidden first step of the pictures runs on its own with the same picks.
    const QString area = dir.filePath(QStringLiteral("obszar.dxf"));
    const ToolRun pattern = run({QStringLiteral("cmdDefObszar")}, area);
    EXPECT_EQ(pattern.code, 0) << pattern.errors.toStdString();
    EXPECT_EQ(pattern.said, QStringLiteral("schemat wzorcowy utworzony\n"));
    EXPECT_TRUE(DumpDrawing(area).contains(QStringLiteral("name=Schemat_wzorzec_7")));

    // Refused, with nothing saved: the settings dialog, the picks of phase pictures, an unknown name.
    const QString refusedOut = dir.filePath(QStringLiteral("odmowa.dxf"));
    const ToolRun konfig = run({QStringLiteral("cmdAtrrsAngle"), QStringLiteral("cmdKonfig")}, refusedOut);
    EXPECT_EQ(konfig.code, 2);
    EXPECT_EQ(konfig.said, QStringLiteral("kąty zaktualizowane\n"));
    EXPECT_EQ(konfig.errors,
              QStringLiteral("Polecenie cmdKonfig otwiera okno ustawień; bez okna programu nie można go wykonać.\n"));
    const ToolRun connect = run({QStringLiteral("cmdConnect")}, refusedOut);
    EXPECT_EQ(connect.code, 2);
    EXPECT_EQ(connect.errors, QStringLiteral("Polecenie cmdConnect czeka na wskazanie obrazów faz na rysunku; bez "
                                             "okna programu nie można go wykonać.\n"));
    const ToolRun unknown = run({QStringLiteral("Connect")}, refusedOut);
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.errors, QStringLiteral("Nieznane polecenie: Connect\n"));
    EXPECT_FALSE(QFileInfo::exists(refusedOut));
}
