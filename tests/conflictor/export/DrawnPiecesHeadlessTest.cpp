// The sample intersection cut by conflictor-headless, then edited with ezdxf as other programs leave
// drawings (a tail exploded, pieces nested in a base-map block, a MINSERT, a piece in paper space, a
// block name in lower case, arcs and a piece written with extrusion (0, 0, -1)), then exported by the
// tool: every piece the reading would pass over is named with its stream, where it lies and what to
// do, and nothing is written; the mirrored extrusions are measured as the drawing in world
// coordinates.
#include "tests/conflictor/export/HeadlessRun.h"
#include "tests/conflictor/export/WorkbookValues.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DrawnPiecesHeadless : public ::testing::Test {
protected:
    QTemporaryDir dir;

    static QString resources() { return QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby"); }

    struct Run {
        int exit = -1;
        QString said;
        QString workbook;  // empty when none was written
    };

    Run tool(const QStringList& extra, const QString& drawing, const QString& workbook = {}) {
        QStringList args{drawing, QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--resources"),
                         resources()};
        args << extra;
        const conflictor::test::ToolOutput o = conflictor::test::RunHeadlessTool(args);
        Run r;
        r.exit = o.exit;
        r.said = o.said;
        if (!workbook.isEmpty() && QFile::exists(workbook)) r.workbook = workbook;
        return r;
    }

    // The sample cut and saved once for every case.
    QString cutSample() {
        const QString path = dir.filePath(QStringLiteral("pociety.dxf"));
        if (QFile::exists(path)) return path;
        EXPECT_TRUE(QFile::copy(resources() + QStringLiteral("/Przyklad.dxf"), path));
        const Run cut = tool({QStringLiteral("--cut"), QStringLiteral("--save"), path}, path);
        EXPECT_EQ(cut.exit, 0) << cut.said.toStdString();
        return path;
    }

    // The cut sample edited by the script into a drawing of its own, exported.
    Run exportEdited(const QString& edit) {
        const QString edited = dir.filePath(edit + QStringLiteral(".dxf"));
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(SUITE_SOURCE_DIR "/tests/conflictor/export/edit_sample.py"), cutSample(), edited, edit});
        EXPECT_TRUE(py.waitForFinished(60000));
        EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
        const QString workbook = dir.filePath(edit + QStringLiteral(".xlsx"));
        return tool({QStringLiteral("--export"), workbook}, edited, workbook);
    }

    void expectRefused(const QString& edit, const QStringList& texts) {
        SCOPED_TRACE(edit.toStdString());
        const Run r = exportEdited(edit);
        EXPECT_NE(r.exit, 0) << r.said.toStdString();
        EXPECT_TRUE(r.workbook.isEmpty());
        for (const QString& t : texts)
            EXPECT_TRUE(r.said.contains(t)) << "expected: " << t.toStdString() << "\nsaid: " << r.said.toStdString();
    }
};

TEST_F(DrawnPiecesHeadless, PiecesTheReadingPassesOverAreNamedWithWhereTheyLie) {
    const QString k1 = QStringLiteral("K1: Niepoprawny strumień. ");
    // Exploded: no reference is left, but the end arrow stands where the chain no longer ends.
    expectRefused(QStringLiteral("explode"),
                  {k1 + QStringLiteral("Znacznik końca strumienia stoi w punkcie (50.00; -5.25), a wolne końce "
                                       "strumienia są w punktach "),
                   QStringLiteral("(-16.00; -5.25)"),
                   QStringLiteral("Sprawdź strumień; polecenie \"Ustaw punkt początkowy\" (menu Edycja) ustawia na "
                                  "nowo oba znaczniki, początku i końca.")});
    expectRefused(QStringLiteral("nest"),
                  {k1 + QStringLiteral("Składowa \"1^STRUMIEN_"),
                   QStringLiteral("leży wewnątrz bloku \"PODKLAD\" (w punkcie (-16.00; -5.25) tego bloku); strumienie "
                                  "czyta się tylko z obszaru modelu, więc nie zostałaby uwzględniona. Wyjmij ją z "
                                  "bloku (np. rozbij blok \"PODKLAD\") albo usuń.")});
    expectRefused(QStringLiteral("paper"),
                  {k1 + QStringLiteral("Składowa \"1^STRUMIEN_"),
                   QStringLiteral("leży w obszarze papieru w punkcie (1.75; -5.25); strumienie czyta się tylko z "
                                  "obszaru modelu")});
    // A MINSERT is named as a copy, with its place.
    expectRefused(QStringLiteral("minsert"),
                  {k1, QStringLiteral("jest wstawiony w rysunku więcej niż raz (wstawienie wielokrotne w wierszach "
                                      "i kolumnach, w punkcie (1.75; -5.25))")});
    // Spelt in lower case, the piece is K1's, not a stream "k1" of its own.
    expectRefused(QStringLiteral("lower"),
                  {k1 + QStringLiteral("Blok składowej \"1^STRUMIEN_"),
                   QStringLiteral("^k1\" zapisuje nazwę strumienia K1 inną wielkością liter (\"k1\"), więc jego "
                                  "składowe nie zostałyby zmierzone razem z pozostałymi; składowa w punkcie (1.75; "
                                  "-5.25). Popraw nazwę bloku na pisownię \"K1\".")});
}

TEST_F(DrawnPiecesHeadless, ArcsAndAPieceWrittenWithExtrusionDownAreMeasuredWhereDrawn) {
    const QString world = dir.filePath(QStringLiteral("swiat.xlsx"));
    const Run expected = tool({QStringLiteral("--export"), world}, cutSample(), world);
    ASSERT_EQ(expected.exit, 0) << expected.said.toStdString();
    const Run mirrored = exportEdited(QStringLiteral("mirrored"));
    ASSERT_EQ(mirrored.exit, 0) << mirrored.said.toStdString();
    EXPECT_EQ(conflictor::test::WorkbookValues(mirrored.workbook), conflictor::test::WorkbookValues(expected.workbook));
}

}  // namespace
