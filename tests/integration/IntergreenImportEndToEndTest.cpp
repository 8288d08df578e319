// conflictor then phaseplanner, as a user runs them: the sample intersection is cut and exported by
// conflictor-headless, the workbook is imported by phaseplanner-headless, drawn and read back. The
// groups must equal the workbook's, every crossing must give both directions, and every intergreen time
// towards the next phase must hold, with the workbook read by openpyxl and the check written apart from
// the placement; then phaseplanner's own check of the drawn program finds no time too short.
#include "phaseplanner/editor/ProgramText.h"
#include "tests/phaseplanner/workbook/IntergreenChecker.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString run(const QString& program, const QStringList& arguments, int& exitCode) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(120000)) {
        exitCode = -1;
        return {};
    }
    exitCode = p.exitCode();
    if (exitCode != 0)
        ADD_FAILURE() << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The group list, the phases, the first phase set and the matrix of worksheet 2, read by openpyxl.
QJsonObject ReadWorkbook(const QString& path) {
    const QString script = QStringLiteral(
        "import json, sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[1]\n"
        "n = 0\n"
        "while ws.cell(row=8 + n, column=1).value not in (None, ''): n += 1\n"
        "c = 15 if n <= 12 else n + 4\n"
        "groups = [str(ws.cell(row=8 + g, column=c + 1).value) for g in range(n)]\n"
        "phases = [str(ws.cell(row=8 + g, column=c + 5).value or '') for g in range(n)]\n"
        "def cell(r, k):\n"
        "    v = ws.cell(row=r, column=k).value\n"
        "    return int(v) if isinstance(v, (int, float)) else 0\n"
        "inverted = str(ws['A7'].value or '').strip().upper() == 'EWAKUACJA'\n"
        "m = [[0] * n for _ in range(n)]\n"
        "filled = [[False] * n for _ in range(n)]\n"
        "for a in range(n):\n"
        "    for b in range(n):\n"
        "        if a == b: continue\n"
        "        r, k = (8 + a, 3 + b) if inverted else (8 + b, 3 + a)\n"
        "        m[a][b] = cell(r, k)\n"
        "        filled[a][b] = isinstance(ws.cell(row=r, column=k).value, (int, float))\n"
        "print(json.dumps({'groups': groups, 'phases': phases, 'order': ws.cell(row=8, column=c + 8).value,"
        " 'matrix': m, 'filled': filled}))\n");
    int code = 0;
    const QString out = run(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path}, code);
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

// The program text printed after `marker` up to the next line that is not part of it.
QString programAfter(const QString& output, const QString& marker) {
    const int at = output.indexOf(marker);
    if (at < 0) return {};
    QStringList lines;
    for (const QString& line : output.mid(at).split(QLatin1Char('\n')).mid(1)) {
        if (!line.startsWith(QLatin1String("CYKL")) && !line.startsWith(QLatin1String("GRUPA"))) break;
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TEST(IntergreenImportEndToEnd, TheSampleIntersectionCutExportedImportedDrawnAndReadBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString workbook = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString cut = dir.filePath(QStringLiteral("ciecie.dxf"));
    const QString drawn = dir.filePath(QStringLiteral("program.dxf"));
    int code = 0;
    run(QStringLiteral(CONFLICTOR_HEADLESS),
        {QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf"),
         QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--cut"),
         QStringLiteral("--export"), workbook, QStringLiteral("--save"), cut},
        code);
    ASSERT_EQ(code, 0);
    const QString output =
        run(QStringLiteral(PHASEPLANNER_HEADLESS),
            {cut, QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--import"), workbook,
             QStringLiteral("--wrysuj"), QStringLiteral("--read"), QStringLiteral("--save"), drawn},
            code);
    ASSERT_EQ(code, 0);
    const QString imported = programAfter(output, QStringLiteral("Zaimportowano grupy:"));
    const QString readBack = programAfter(output, QStringLiteral("Wrysowano grupy:"));
    ASSERT_FALSE(imported.isEmpty()) << output.toStdString();
    EXPECT_EQ(readBack.toStdString(), imported.toStdString());  // drawn and read back unchanged

    const QJsonObject book = ReadWorkbook(workbook);
    const QJsonArray names = book.value(QStringLiteral("groups")).toArray();
    ASSERT_EQ(names.size(), 6);
    std::vector<phaseplanner::GroupRecord> table;
    int cycle = 0;
    QString error;
    ASSERT_TRUE(phaseplanner::ParseProgramText(readBack, table, cycle, error)) << error.toStdString();
    ASSERT_EQ(int(table.size()), int(names.size()));
    const QJsonArray phases = book.value(QStringLiteral("phases")).toArray();
    for (int g = 0; g < int(table.size()); ++g) {
        EXPECT_TRUE(table[std::size_t(g)].Defined);
        EXPECT_EQ(table[std::size_t(g)].Symbols, names[g].toString());
        table[std::size_t(g)].PhaseList = phases[g].toString();
    }

    std::vector<int> order;
    for (const QString& p : book.value(QStringLiteral("order")).toString().split(QLatin1Char(',')))
        order.push_back(p.trimmed().toInt());
    // The sample's phase plan: the main road with the north crossing, the left turn K2, the side road
    // with the west crossing.
    ASSERT_EQ(order, (std::vector<int>{1, 2, 3}));
    const QJsonArray matrix = book.value(QStringLiteral("matrix")).toArray();
    auto value = [&matrix](int from, int to) { return matrix[from].toArray()[to].toInt(); };
    auto has = [&table](int g, int p) {
        for (const QString& piece : table[std::size_t(g)].PhaseList.split(QLatin1Char(',')))
            if (piece.trimmed().toInt() == p) return true;
        return false;
    };
    int requirements = 0;
    for (int a = 0; a < int(table.size()); ++a)
        for (int b = 0; b < int(table.size()); ++b) requirements += value(a, b) > 0;
    EXPECT_GT(requirements, 5);  // the export wrote a real matrix
    EXPECT_EQ(phaseplanner::test::CheckTowardsNextPhase(table, cycle, order, value, has), QStringList());

    // Each crossing is drawn by both edges: every vehicle/pedestrian pair in conflict has a time in
    // both directions. The west crossing P1 (group 5) meets K1 (1), K3 (2) and K2 (3); the north
    // crossing P2 (6) meets K2 and K4 (4).
    const QJsonArray filled = book.value(QStringLiteral("filled")).toArray();
    auto isFilled = [&filled](int from, int to) { return filled[from].toArray()[to].toBool(); };
    std::vector<std::pair<int, int>> crossingPairs;
    for (int p = 0; p < int(table.size()); ++p) {
        if (!names[p].toString().startsWith(QLatin1Char('P'))) continue;
        for (int v = 0; v < int(table.size()); ++v) {
            if (names[v].toString().startsWith(QLatin1Char('P'))) continue;
            EXPECT_EQ(isFilled(v, p), isFilled(p, v)) << names[v].toString().toStdString() << " / "
                                                      << names[p].toString().toStdString();
            if (isFilled(v, p) && isFilled(p, v)) crossingPairs.emplace_back(p + 1, v + 1);
        }
    }
    EXPECT_EQ(crossingPairs, (std::vector<std::pair<int, int>>{{5, 1}, {5, 2}, {5, 3}, {6, 3}, {6, 4}}));

    // phaseplanner's own check of the drawn program against the workbook finds no time too short.
    const QString check =
        run(QStringLiteral(PHASEPLANNER_HEADLESS),
            {drawn, QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--check"), workbook},
            code);
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(check.contains(QStringLiteral("czasów za krótkich: 0"))) << check.toStdString();
    EXPECT_FALSE(check.contains(QStringLiteral("(-"))) << check.toStdString();

    // ezdxf finds nothing wrong with the drawn program, one group block a group, and the program
    // attribute block names the workbook.
    const QString script = QStringLiteral(
        "import json, sys, ezdxf\n"
        "doc = ezdxf.readfile(sys.argv[1])\n"
        "groups = set()\n"
        "block = {}\n"
        "for ref in doc.modelspace().query('INSERT'):\n"
        "    if 'SYGNALIZATOR_' in ref.dxf.name: groups.update(a.dxf.text for a in ref.attribs if a.dxf.tag "
        "== 'IDENTYFIKATOR')\n"
        "    if ref.dxf.name == 'ATRYBUTY_PROGRAMU_1': block = {a.dxf.tag: a.dxf.text for a in ref.attribs}\n"
        "print(json.dumps({'errors': len(doc.audit().errors), 'groups': len(groups), 'block': block}))\n");
    const QJsonObject audit =
        QJsonDocument::fromJson(
            run(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, drawn}, code).toUtf8())
            .object();
    EXPECT_EQ(audit.value(QStringLiteral("errors")).toInt(-1), 0);
    EXPECT_GE(audit.value(QStringLiteral("groups")).toInt(), 6);
    const QJsonObject block = audit.value(QStringLiteral("block")).toObject();
    EXPECT_EQ(block.value(QStringLiteral("EXCEL_FULL_NAME")).toString(), workbook);
    EXPECT_EQ(block.value(QStringLiteral("EXCEL_NAME")).toString(), QStringLiteral("czasy.xlsx"));
}
