// What the reading finds beside a stream's pieces on the stream layer: the markers of a stream spelt
// in lower case, a stream spelt two ways when one stream is read again alone, and pieces inserted
// in rows and columns (MINSERT) in model space, in paper space and inside a block, none of which is
// ever measured as a piece of its stream.
#include "StreamsFixture.h"

#include "conflictor/streams/StreamPieces.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Entity.h"
#include "platform/cad/model/ObjectModel.h"

namespace conflictor::test {
namespace {

class PassedOverPieces : public StreamsFixture {
protected:
    // A marker block "12^<kind>_STRUMIEN_<stream>_<k>" referenced on the stream layer at (x; y).
    void marker(const QString& kind, const QString& stream, int k, double x, double y) {
        const QString name = QStringLiteral("12^%1_STRUMIEN_%2_%3").arg(kind, stream).arg(k);
        doc().blocks().add(cad::Point{0, 0, 0}, name).addCircle(cad::Point{0, 0, 0}, 1);
        insert(name, StreamLayer, x, y);
    }
    // The piece's block "12^STRUMIEN_<n>^<stream>" holding the line, inserted in two rows into
    // `holder` on the stream layer.
    void multipleInsert(const cad::Block& holder, int n, const QString& stream, double x1, double x2) {
        const QString name = QStringLiteral("12^STRUMIEN_%1^").arg(n) + stream;
        doc().blocks().add(cad::Point{0, 0, 0}, name).addLine(cad::Point{x1, 0, 0}, cad::Point{x2, 0, 0});
        cad::Entity ref = holder.insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0);
        ref.setLayer(StreamLayer);
        auto& grid = cad_->model().activeDocument()->db->entity(ref.handle())->as<cad::db::InsertData>();
        grid.grid = true;
        grid.rows = 2;
        grid.rowSpacing = 5;
    }
    // Named at the start of its line, where it is drawn.
    static QString refusedAsMultiple(const QString& block,
                                     const QString& at = QStringLiteral("(10.00; 0.00)")) {
        return QStringLiteral(": Niepoprawny strumień. Blok \"") + block +
               QStringLiteral(
                   "\" jest wstawiony w rysunku więcej niż raz (wstawienie wielokrotne w wierszach i "
                   "kolumnach, w punkcie %1). Zastąp je jednym wstawieniem bloku.")
                   .arg(at);
    }
};

TEST_F(PassedOverPieces, AStreamSpeltWhollyInLowerCaseKeepsItsMarkers) {
    addLine(1, QStringLiteral("^k1"), 0, 0, 10, 0);
    addLine(2, QStringLiteral("^k1"), 10, 0, 20, 0);
    marker(QStringLiteral("POCZATEK"), QStringLiteral("k1"), 1, 0, 0);
    marker(QStringLiteral("KONIEC"), QStringLiteral("k1"), 1, 20, 0);
    marker(QStringLiteral("KONIEC"), QStringLiteral("k1"), 2, 50, 50);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 1u);
    const StreamRecord& r = StreamTable[0];
    EXPECT_EQ(r.Name, QStringLiteral("k1"));
    EXPECT_TRUE(common::ArePointsEqual(r.StartPoint, {0, 0}));
    EXPECT_EQ(r.StartMarkers.size(), 1);
    EXPECT_EQ(r.EndMarkers.size(), 2);
    EXPECT_TRUE(CheckStreamShape(r, true).Fault.startsWith(
        QStringLiteral(": Niepoprawny strumień. Strumień ma 2 znaczniki końca, a może mieć jeden: w punktach "
                       "(20.00; 0.00) i (50.00; 50.00).")))
        << CheckStreamShape(r, true).Fault.toStdString();
}

// Markers of a stream in the table, then of one none of whose pieces is left: the second is named.
TEST_F(PassedOverPieces, MarkersOfAStreamWithNoPieceLeftAreNamedAfterThoseOfOneRead) {
    addLine(1, QStringLiteral("^K1"), 0, 0, 10, 0);
    marker(QStringLiteral("POCZATEK"), QStringLiteral("K1"), 1, 0, 0);
    marker(QStringLiteral("POCZATEK"), QStringLiteral("K9"), 1, 40, 0);
    marker(QStringLiteral("KONIEC"), QStringLiteral("K9"), 1, 60, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    EXPECT_EQ(
        StreamsOutsideTheTable,
        QStringList{QStringLiteral("K9: Niepoprawny strumień. W rysunku nie ma już żadnej składowej tego "
                                   "strumienia, a zostały jego znaczniki: początku w punkcie (40.00; 0.00), "
                                   "końca w punkcie (60.00; 0.00). Jeśli strumień usunięto, usuń też jego "
                                   "znaczniki; jeśli nie, narysuj jego składowe ponownie.")});
}

// Read first in lower case, the stream is still named by its spelling in capitals, on both records.
TEST_F(PassedOverPieces, AStreamSpeltTwoWaysIsNamedInCapitals) {
    addLine(1, QStringLiteral("^k1"), 0, 0, 10, 0);
    addLine(2, QStringLiteral("^K1"), 10, 0, 20, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 2u);
    ASSERT_EQ(StreamTable[0].Name, QStringLiteral("k1"));
    for (const StreamRecord& r : StreamTable) {
        EXPECT_EQ(r.ReferenceFaultName, QStringLiteral("K1"));
        EXPECT_TRUE(r.ReferenceFault.contains(QStringLiteral(
            "Blok składowej \"12^STRUMIEN_1^k1\" zapisuje nazwę strumienia K1 inną wielkością liter "
            "(\"k1\")")))
            << r.ReferenceFault.toStdString();
    }
}

// Names read at start-up, then one stream read again with its geometry (as a command that changes it
// does): only that stream is judged; the other spelling waits for its own reading.
TEST_F(PassedOverPieces, ReadingStreamZeroAloneJudgesStreamZeroOnly) {
    addLine(1, QStringLiteral("^K1"), 0, 0, 10, 0);
    addLine(2, QStringLiteral("^k1"), 10, 0, 20, 0);
    ASSERT_TRUE(OdczytajStrumienie(true, -1));
    ASSERT_EQ(StreamTable.size(), 2u);
    ASSERT_EQ(StreamTable[0].Name, QStringLiteral("K1"));
    ASSERT_TRUE(OdczytajStrumienie(false, 0));
    EXPECT_TRUE(StreamTable[0].ReferenceFault.contains(QStringLiteral("inną wielkością liter")))
        << StreamTable[0].ReferenceFault.toStdString();
    EXPECT_EQ(StreamTable[1].ReferenceFault, QString());
    ASSERT_TRUE(OdczytajStrumienie(false, 1));
    EXPECT_TRUE(StreamTable[1].ReferenceFault.contains(QStringLiteral("inną wielkością liter")));
}

TEST_F(PassedOverPieces, APieceInsertedInRowsAndColumnsIsNamedAndNeverMeasured) {
    // K1: a piece and a MINSERT in model space; K2: a MINSERT only; K3 and K4: a piece each and a
    // MINSERT in paper space, inside a block.
    addLine(1, QStringLiteral("^K1"), 0, 0, 10, 0);
    multipleInsert(modelSpace(), 2, QStringLiteral("K1"), 10, 20);
    multipleInsert(modelSpace(), 3, QStringLiteral("K2"), 0, 10);
    addLine(4, QStringLiteral("^K3"), 0, 10, 10, 10);
    multipleInsert(doc().blocks().item(QStringLiteral("*Paper_Space")), 5, QStringLiteral("K3"), 10, 20);
    addLine(6, QStringLiteral("^K4"), 0, 20, 10, 20);
    const cad::Block base = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("PODKLAD"));
    multipleInsert(base, 7, QStringLiteral("K4"), 10, 20);
    insert(QStringLiteral("PODKLAD"));

    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    const int k1 = FindStreamIndex(QStringLiteral("K1"));
    ASSERT_GE(k1, 0);
    EXPECT_EQ(StreamTable[size_t(k1)].SegmentCount, 1);
    EXPECT_EQ(StreamTable[size_t(k1)].ReferenceCount, 1);
    EXPECT_EQ(CheckStreamShape(StreamTable[size_t(k1)], true).Fault,
              refusedAsMultiple(QStringLiteral("12^STRUMIEN_2^K1")));
    EXPECT_EQ(FindStreamIndex(QStringLiteral("K2")), -1);
    EXPECT_EQ(StreamsOutsideTheTable,
              QStringList{QStringLiteral("K2") + refusedAsMultiple(QStringLiteral("12^STRUMIEN_3^K2"),
                                                                   QStringLiteral("(0.00; 0.00)"))});
    for (const auto& [stream, block] :
         {std::pair{QStringLiteral("K3"), QStringLiteral("12^STRUMIEN_5^K3")},
          std::pair{QStringLiteral("K4"), QStringLiteral("12^STRUMIEN_7^K4")}}) {
        const int i = FindStreamIndex(stream);
        ASSERT_GE(i, 0);
        EXPECT_EQ(StreamTable[size_t(i)].SegmentCount, 1);
        EXPECT_EQ(CheckStreamShape(StreamTable[size_t(i)], true).Fault, refusedAsMultiple(block));
    }
}

}  // namespace
}  // namespace conflictor::test
