// The exports refuse conflict points older than the streams: a stream drawn, moved or deleted after
// the cut is named and nothing is written until the streams are cut again; a marker or a length text
// moved by hand, or a stream given another group, is no change of the cut.
#include "tests/conflictor/export/ExportFixture.h"

#include "conflictor/conflicts/LengthTexts.h"
#include "conflictor/conflicts/StaleCut.h"
#include "conflictor/conflicts/StreamsXml.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace conflictor::test {
namespace {

class StaleCut : public ExportFixture {
protected:
    // The stream's component references and its start marker.
    QList<cad::Entity> partsOf(const QString& name) {
        QList<cad::Entity> out;
        for (const cad::Entity& ref : references(QStringLiteral("12^*")))
            if (ref.name().endsWith(QLatin1Char('^') + name) ||
                ref.name().startsWith(QStringLiteral("12^POCZATEK_STRUMIEN_") + name + QLatin1Char('_')))
                out.append(ref);
        return out;
    }
    // Moves the stream as the stream model reads it: its lines in their blocks, its start marker.
    void moveStream(const QString& name, double dx, double dy) {
        for (const cad::Entity& ref : partsOf(name)) {
            if (ref.name().contains(QStringLiteral("POCZATEK"))) {
                ref.move({0, 0, 0}, {dx, dy, 0});
                continue;
            }
            for (const cad::Entity& line : doc().blocks().item(ref.name()).entities()) {
                const cad::Point a = line.startPoint(), b = line.endPoint();
                line.setStartPoint({a.x + dx, a.y + dy, 0});
                line.setEndPoint({b.x + dx, b.y + dy, 0});
            }
        }
    }
    QString stopped() {
        return QStringLiteral("Eksport do programu Excel został przerwany z powodu nieaktualnych punktów kolizji.\n");
    }
    static QString cutAndExport() {
        return QStringLiteral("\nNależy wykonać operację cięcia (Tnij wszystkie strumienie) a następnie eksport.");
    }
    // The export's refusal: a stale cut is named first, before the groups and the phase scheme.
    QString refusal() { return prompts.messageTexts().value(0); }
    bool nothingWritten() {
        return QDir(dir.path()).entryList({QStringLiteral("*.xlsx"), QStringLiteral("*.xml")}, QDir::Files).isEmpty();
    }
    static double cell(sheet::Worksheet& ws, int row, int column) { return ws.cells(row, column).value().number(); }
};

TEST_F(StaleCut, AStreamDrawnAfterTheCutIsNamedAndExportedWithItsConflictsOnlyAfterANewCut) {
    drawCrossing();
    // Never cut: no marker at all would be a workbook without a single conflict.
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(refusal(), stopped() +
                             QStringLiteral("Na rysunku nie ma punktów kolizji tego skrzyżowania, a jego strumienie "
                                            "się przecinają: strumieni nie pocięto.") +
                             cutAndExport());
    EXPECT_TRUE(nothingWritten());
    ASSERT_EQ(cut(), CutOutcome::Done);
    // K3 drawn afterwards across K2 (at y -10) and K1 (at x 56.7), and its own crossing P2 / P2[2].
    draw(QStringLiteral("K3"), {Line(30, -40, 90, 50)});
    draw(QStringLiteral("P2"), {Line(75, 40, 92, 40)});
    draw(QStringLiteral("P2[2]"), {Line(75, 44, 92, 44)});
    drawn();
    storeStreamData({{QStringLiteral("K3"), 4, QStringLiteral("2")},
                     {QStringLiteral("P2"), 5, QStringLiteral("1")},
                     {QStringLiteral("P2[2]"), 5, QStringLiteral("1")}});
    const QString stale = dir.filePath(QStringLiteral("stale.dxf"));
    doc().saveAs(stale);

    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(refusal(), stopped() +
                             QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: K3 (dodany), P2 (dodany), "
                                            "P2[2] (dodany).") +
                             cutAndExport());
    EXPECT_TRUE(nothingWritten());
    // The XML export stops the same way.
    prompts.clear();
    EXPECT_TRUE(ExportStreamsXml(dir.path()).isEmpty());
    EXPECT_TRUE(prompts.messageTexts().value(0).startsWith(
        QStringLiteral("Eksport strumieni do pliku XML został przerwany z powodu nieaktualnych punktów kolizji.\n"
                       "Strumienie zmieniły się od ostatniego cięcia: K3 (dodany)")));
    EXPECT_TRUE(nothingWritten());

    // The headless tool refuses the saved drawing by the same message; cut first, it writes.
    QProcess tool;
    const QStringList args{stale, QStringLiteral("--intersection"), QStringLiteral("12"), QStringLiteral("--export"),
                           dir.filePath(QStringLiteral("tool.xlsx"))};
    tool.start(QStringLiteral(HEADLESS_TOOL), args);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_NE(tool.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError())
                    .contains(QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: K3 (dodany)")));
    EXPECT_TRUE(nothingWritten());
    tool.start(QStringLiteral(HEADLESS_TOOL), QStringList(args) << QStringLiteral("--cut"));
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("tool.xlsx"))));

    // Cut again: K3's conflicts with K1, K2 and its crossing fill the matrix (row 7 + entering group,
    // column 2 + clearing group).
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.clear();
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    sheet::Worksheet& m = readBack(path).worksheets(2);
    for (const auto& [entering, clearing] : {std::pair{4, 1}, {1, 4}, {4, 2}, {2, 4}, {5, 4}, {4, 5}})
        EXPECT_TRUE(m.cells(7 + entering, 2 + clearing).value().isNumber()) << entering << " after " << clearing;
    EXPECT_FALSE(m.cells(7 + 5, 2 + 1).value().isNumber());  // P2 never meets K1
    EXPECT_FALSE(ExportStreamsXml(dir.path()).isEmpty());
}

// A stream drawn after the cut is named by itself, and a crossing elsewhere whose marker went is
// named by its pair as well: the pairs of the streams met by the new one do not hide the others.
TEST_F(StaleCut, AnAddedStreamAndALostMarkerElsewhereAreBothNamed) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(50, -50, 50, 50)});
    draw(QStringLiteral("K3"), {Line(0, 20, 100, 20)});
    draw(QStringLiteral("K4"), {Line(80, -50, 80, 50)});
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    for (const ConflictMarker& m : ReadConflictMarkers())
        if (m.Stream1 == QLatin1String("K3") && m.Stream2 == QLatin1String("K4"))
            doc().handleToObject(m.Handle).erase();
    draw(QStringLiteral("K9"), {Line(10, -10, 10, 10)});
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    QList<ConflictMarker> markers = ReadConflictMarkers();
    EXPECT_EQ(CompareMarkersWithStreams(markers).Changes,
              (QStringList{QStringLiteral("K9 (dodany)"), QStringLiteral("K3 i K4 (nowy punkt kolizji)")}));
}

TEST_F(StaleCut, MovedAndDeletedStreamsAreNamedMarkersTextsAndGroupsMovedByHandAreNoChange) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);

    // The zebra moved 10 north: K2 would clear and enter at the old edges.
    moveStream(QStringLiteral("P1"), 0, 10);
    moveStream(QStringLiteral("P1[2]"), 0, 10);
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(refusal(), stopped() +
                             QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: P1 (przesunięty lub "
                                            "zmieniony), P1[2] (przesunięty lub zmieniony).") +
                             cutAndExport());
    EXPECT_TRUE(nothingWritten());
    moveStream(QStringLiteral("P1"), 0, -10);
    moveStream(QStringLiteral("P1[2]"), 0, -10);

    // A marker, a length text and K1 and K2's groups changed by hand: written, with the distances at
    // the crossings and the matrix by the new groups.
    const QList<cad::Entity> vehicleMarkers = references(QStringLiteral("12^POJPOJ_STRUMIEN_*"));
    ASSERT_EQ(vehicleMarkers.size(), 1);
    vehicleMarkers[0].move({0, 0, 0}, {7, 3, 0});
    for (const cad::Entity& e : modelSpace().entities())
        if (e.layer() == LengthTextLayer()) e.move({0, 0, 0}, {0, 5, 0});
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K1"), QStringLiteral("2"), true);
    SetStreamAttribute(QStringLiteral("GRUPY"), QStringLiteral("K2"), QStringLiteral("1"), true);
    prompts.clear();
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    sheet::Workbook& book = readBack(path);
    EXPECT_DOUBLE_EQ(cell(book.worksheets(1), 12, 3), 50);  // K1 up to the crossing
    EXPECT_DOUBLE_EQ(cell(book.worksheets(1), 12, 7), 50);
    EXPECT_EQ(cell(book.worksheets(2), 10, 3), 12);  // P1 (group 3) after K2, now group 1
    EXPECT_EQ(cell(book.worksheets(2), 8, 5), 8);    // K2 (group 1) after P1

    // The crossing's outer edge deleted: named, nothing written.
    for (const cad::Entity& e : partsOf(QStringLiteral("P1[2]"))) e.erase();
    prompts.clear();
    EXPECT_TRUE(exportTo(QStringLiteral("deleted.xlsx")).isEmpty());
    EXPECT_EQ(refusal(), stopped() + QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: P1[2] (usunięty).") +
                             cutAndExport());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("deleted.xlsx"))));
}

}  // namespace
}  // namespace conflictor::test
