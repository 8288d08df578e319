// The stream pieces and markers no program reads: found wherever they lie, placed where they are
// drawn, named by stream; those the programs read and other intersections' are left out.
#include "CadFixture.h"
#include "automation/StreamReferences.h"

namespace automation::test {

namespace {
const QString kStreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");
}

class StreamReferencesTest : public CadFixture {
protected:
    // A piece's block at the origin holding the line (10; 0)-(20; 0).
    void piece(const QString& name) {
        CadDocument.blocks().add(cad::Point{0, 0, 0}, name).addLine(cad::Point{10, 0, 0}, cad::Point{20, 0, 0});
    }
};

TEST_F(StreamReferencesTest, PassedOverReferencesAreNamedWhereTheyAreDrawn) {
    EnsureLayer(kStreamLayer, false, -1, -10);
    piece(QStringLiteral("7^STRUMIEN_1^K1"));
    piece(QStringLiteral("7^STRUMIEN_2^K2^P1"));
    piece(QStringLiteral("7^strumien_3^K3"));
    piece(QStringLiteral("8^STRUMIEN_1^K1"));
    defineBlock(QStringLiteral("7^POCZATEK_STRUMIEN_K4_1"));
    // Turned half round about (100; 50): the line is drawn from (90; 50) to (80; 50).
    CadModelSpace.insertBlock(cad::Point{100, 50, 0}, QStringLiteral("7^STRUMIEN_1^K1"), 1, 1, 1, M_PI)
        .setLayer(QStringLiteral("0"));
    insert(QStringLiteral("7^STRUMIEN_2^K2^P1"), kStreamLayer);  // read: not named
    insert(QStringLiteral("7^strumien_3^K3"), QStringLiteral("0"));
    insert(QStringLiteral("8^STRUMIEN_1^K1"), QStringLiteral("0"));  // another intersection's
    CadDocument.blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("PODKLAD"))
        .insertBlock(cad::Point{5, 6, 0}, QStringLiteral("7^POCZATEK_STRUMIEN_K4_1"), 1, 1, 1, 0);
    insert(QStringLiteral("PODKLAD"), QString(), 300, 300);

    const QStringList lines = PassedOverStreamReferences(QStringLiteral("7"), kStreamLayer);
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("K1: Składowa \"7^STRUMIEN_1^K1\" leży na warstwie \"0\" w punkcie (85.00; "
                                       "50.00); strumienie czyta się tylko z warstwy \"113-STRUMIENIE_RUCHU\", więc "
                                       "nie zostałaby uwzględniona. Przenieś ją na warstwę \"113-STRUMIENIE_RUCHU\" "
                                       "albo usuń."));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("K3: Składowa \"7^strumien_3^K3\" leży na warstwie \"0\" w "
                                                   "punkcie (15.00; 0.00)")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("K4: Znacznik początku strumienia \"7^POCZATEK_STRUMIEN_K4_1\" "
                                                   "leży wewnątrz bloku \"PODKLAD\" (w punkcie (5.00; 6.00) tego "
                                                   "bloku)")))
        << lines[2].toStdString();
    // Nothing to say of an intersection none of whose pieces is passed over, nor without a number.
    EXPECT_TRUE(PassedOverStreamReferences(QStringLiteral("8"), QStringLiteral("0")).isEmpty());
    EXPECT_TRUE(PassedOverStreamReferences(QString(), kStreamLayer).isEmpty());
}

TEST_F(StreamReferencesTest, AMessageListsFiveAndCountsTheRest) {
    const QStringList five{"a", "b", "c", "d", "e"};
    EXPECT_EQ(PassedOverListText(five), QStringLiteral("a\nb\nc\nd\ne"));
    EXPECT_EQ(PassedOverListText(five + QStringList{"f"}), QStringLiteral("a\nb\nc\nd\ne\n… (razem 6)"));
}

}  // namespace automation::test
