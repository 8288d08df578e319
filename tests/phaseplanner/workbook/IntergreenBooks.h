// Intergreen workbooks written by the tests with the sheet engine, laid out as conflictor's export
// writes them (new layout, header row 7) or as older workbooks were (header row 6, phase sets one per
// column beside the group numbers or on the third worksheet).
#pragma once

#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <map>
#include <utility>
#include <vector>

namespace phaseplanner::test {

struct IntergreenBook {
    QStringList texts;               // group texts (head symbols), one per group
    QStringList phases;              // phase list of each group in the first phase set
    std::vector<int> minimumGreens;  // rounded clearing time of each group (0: none written)
    // intergreen[{from, to}] in seconds, 0-based groups; pairs not given stay blank.
    std::map<std::pair<int, int>, QString> intergreen;
    std::vector<std::pair<QString, QString>> sets{{QStringLiteral("V.1"), QStringLiteral("1, 2")}};
    // Old layout only: the phase list of each group per set (sets[k] uses oldSetPhases[k]).
    std::vector<QStringList> oldSetPhases;
    bool newLayout = true;
    bool inverted = false;  // rows are the clearing groups, header "Ewakuacja"
    bool oldSetsOnSheet3 = false;
    QString intersection = QStringLiteral("7");
    QString matrixSheetName = QStringLiteral("MATRYCA KOLIZJI");

    int groups() const { return int(texts.size()); }
    void set(int from, int to, int seconds) { intergreen[{from, to}] = QString::number(seconds); }
};

// Column of the header "Gr" in the header row.
inline int GrColumn(const IntergreenBook& b) {
    // Old layout: the group list where the reader's search begins.
    if (!b.newLayout) return 14;
    return b.groups() <= 12 ? 15 : b.groups() + 4;
}

inline void FillIntergreenBook(sheet::Workbook& book, const IntergreenBook& b) {
    while (book.worksheetCount() < 3) book.addWorksheet();
    book.worksheets(1).setName(QStringLiteral("CZASY MIĘDZYZIELONE"));
    book.worksheets(2).setName(b.matrixSheetName);
    book.worksheets(3).setName(QStringLiteral("PARAMETRY WSTĘPNE"));
    book.worksheets(3).cells(1, 1).setValue(QStringLiteral("PARAMETRY WSTĘPNE"));
    book.setBuiltinDocumentProperty(
        QStringLiteral("Subject"), b.newLayout ? QStringLiteral("wersja 2.6") : QStringLiteral("wersja 2.4"));
    sheet::Worksheet& ws = book.worksheets(2);
    const int h = b.newLayout ? 7 : 6;
    const int n = b.groups();
    ws.cells(2, 7).setValue(b.intersection);
    ws.cells(h - 1, 2).setValue(b.inverted ? QStringLiteral("Dojazd") : QStringLiteral("Ewakuacja"));
    ws.cells(b.newLayout ? h : h - 1, 1)
        .setValue(b.inverted ? QStringLiteral("Ewakuacja") : QStringLiteral("Dojazd"));
    const int gr = GrColumn(b);
    ws.cells(h, gr).setValue(QStringLiteral("Gr"));
    for (int g = 0; g < n; ++g) {
        const int row = h + 1 + g;
        ws.cells(row, 1).setValue(b.texts[g]);
        ws.cells(row, 2).setValue(g + 1);
        ws.cells(h, 3 + g).setValue(g + 1);
        if (b.newLayout) ws.cells(h - 1, 3 + g).setValue(b.texts[g]);  // the column's stream names
        ws.cells(row, 3 + g).setValue(QStringLiteral("X"));
        ws.cells(row, gr).setValue(g + 1);
        ws.cells(row, gr + 1).setValue(b.texts[g]);
        if (g < int(b.minimumGreens.size()) && b.minimumGreens[std::size_t(g)] > 0)
            ws.cells(row, gr + 4).setValue(b.minimumGreens[std::size_t(g)]);
        if (b.newLayout && g < b.phases.size()) ws.cells(row, gr + 5).setValue(b.phases[g]);
    }
    for (const auto& [pair, text] : b.intergreen) {
        const auto [from, to] = pair;
        const int row = h + 1 + (b.inverted ? from : to);
        const int column = 3 + (b.inverted ? to : from);
        sheet::Value v = text;
        bool isNumber = false;
        const int number = text.toInt(&isNumber);
        if (isNumber) v = number;
        ws.cells(row, column).setValue(v);
    }
    if (b.newLayout) {
        const int c = n <= 12 ? 22 : n + 11;
        for (int k = 0; k < int(b.sets.size()); ++k) {
            ws.cells(h + 1 + k, c).setValue(b.sets[std::size_t(k)].first);
            ws.cells(h + 1 + k, c + 1).setValue(b.sets[std::size_t(k)].second);
        }
        return;
    }
    // Old layout: group numbers in column C, one set per column to its right.
    // Old layout: the phase-set block at column G + 9 with its own "Gr" header when it lies clear of
    // the group list (from 10 groups on), else on the third worksheet from column A.
    const bool onSheet3 = b.oldSetsOnSheet3 || n + 9 < gr + 5;
    sheet::Worksheet& target = onSheet3 ? book.worksheets(3) : ws;
    const int c = onSheet3 ? 1 : n + 9;
    const int top = onSheet3 ? 1 : h;
    target.cells(top, c).setValue(QStringLiteral("Gr"));
    for (int g = 0; g < n; ++g) target.cells(top + 1 + g, c).setValue(g + 1);
    for (int k = 0; k < int(b.sets.size()); ++k) {
        target.cells(top, c + 1 + k).setValue(b.sets[std::size_t(k)].first);
        const QStringList& lists = k < int(b.oldSetPhases.size()) ? b.oldSetPhases[std::size_t(k)] : b.phases;
        for (int g = 0; g < n && g < lists.size(); ++g)
            if (!lists[g].isEmpty()) target.cells(top + 1 + g, c + 1 + k).setValue(lists[g]);
    }
}

// Writes the workbook to `path` with an engine of its own, as another program would.
inline void WriteIntergreenBook(const IntergreenBook& b, const QString& path) {
    sheet::Application app;
    sheet::Workbook& book = app.workbooks().add();
    FillIntergreenBook(book, b);
    book.saveAs(path);
    book.close();
}

// Sets one cell of a saved workbook's given worksheet, as another program rewriting the file would.
inline void RewriteCell(const QString& path, int sheetIndex, int row, int column, const sheet::Value& value) {
    sheet::Application app;
    sheet::Workbook& book = app.workbooks().open(path);
    book.worksheets(sheetIndex).cells(row, column).setValue(value);
    book.save();
    book.close();
}

// Sets cells of a saved workbook's matrix worksheet to formulas with openpyxl, which writes no
// value beside a formula, as scripts that make workbooks do: {"C9", "=NA()"}.
inline bool RewriteFormulasAsScript(const QString& path,
                                    const std::vector<std::pair<QString, QString>>& cells) {
    QStringList args{QStringLiteral("-c"),
                     QStringLiteral("import openpyxl,sys\n"
                                    "wb=openpyxl.load_workbook(sys.argv[1])\n"
                                    "a=sys.argv[2:]\n"
                                    "for i in range(0,len(a),2): wb.worksheets[1][a[i]]=a[i+1]\n"
                                    "wb.save(sys.argv[1])\n"),
                     path};
    for (const auto& [cell, formula] : cells) args << cell << formula;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Gives cells of a saved workbook's matrix worksheet a formula element of the file's own and the
// value a spreadsheet program cached beside it, as a file saved by another program holds them:
// {"D8", "<f>[1]Arkusz!A1</f>", "99"}. The formula element is written as given (XML), and so are
// the cell's attributes after its address (" t=\"b\"").
struct ForeignCell {
    QString address, formulaXml, cached, attributes;
};
inline bool RewriteCellsAsForeignProgram(const QString& path, const std::vector<ForeignCell>& cells) {
    // The cells go through standard input: a formula of a hundred thousand terms is longer than a
    // command-line argument may be.
    const QStringList args{
        QStringLiteral("-c"),
        QStringLiteral(
            "import zipfile,re,sys,shutil,json\n"
            "src=sys.argv[1]; tmp=src+'.tmp'\n"
            "zin=zipfile.ZipFile(src); zout=zipfile.ZipFile(tmp,'w',zipfile.ZIP_DEFLATED)\n"
            "a=json.load(sys.stdin)\n"
            "for item in zin.infolist():\n"
            "    data=zin.read(item.filename)\n"
            "    if item.filename=='xl/worksheets/sheet2.xml':\n"
            "        s=data.decode()\n"
            "        for i in range(0,len(a),4):\n"
            "            cell='<c r=\"%s\"%s>%s<v>%s</v></c>'%(a[i],a[i+3],a[i+1],a[i+2])\n"
            "            s,n=re.subn(r'<c r=\"%s\"(?:[^>]*/>|[^>]*>.*?</c>)'%a[i],lambda m:cell,s)\n"
            "            if n!=1: sys.exit('no cell '+a[i])\n"
            "        data=s.encode()\n"
            "    zout.writestr(item,data)\n"
            "zout.close(); shutil.move(tmp,src)\n"),
        path};
    QJsonArray fields;
    for (const ForeignCell& c : cells) fields << c.address << c.formulaXml << c.cached << c.attributes;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), args);
    p.write(QJsonDocument(fields).toJson(QJsonDocument::Compact));
    p.closeWriteChannel();
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A formula nested deeper than the engine reads, giving `result`.
inline QString DeeplyNestedFormulaXml(int result) {
    return QStringLiteral("<f>") + QString(300, QLatin1Char('(')) + QString::number(result) +
           QString(300, QLatin1Char(')')) + QStringLiteral("</f>");
}

// A three-group book: K1 in phase 1, K2 in phase 2, P1 in phase 1, every pair of K1/K2 4 s.
inline IntergreenBook SmallBook() {
    IntergreenBook b;
    b.texts = {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P1")};
    b.phases = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")};
    b.minimumGreens = {0, 0, 6};
    b.set(0, 1, 4);
    b.set(1, 0, 5);
    b.set(2, 1, 7);
    b.set(1, 2, 3);
    return b;
}

// Ten vehicle groups K1..K10, group g alone in phase g + 1 (its phases are the order "1".."10"), every
// pair colliding with seconds(i, j).
template <class Seconds>
IntergreenBook TenPhaseBook(Seconds seconds) {
    IntergreenBook b;
    for (int g = 0; g < 10; ++g) {
        b.texts << QStringLiteral("K%1").arg(g + 1);
        b.phases << QString::number(g + 1);
    }
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j)
            if (i != j) b.set(i, j, seconds(i, j));
    return b;
}

}  // namespace phaseplanner::test
