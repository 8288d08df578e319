// Component block numbers stay unique when other blocks (markers, blocks added by hand) appear
// between two components: the numbers of blocks added since are read without a full scan.
#include "StreamsFixture.h"

namespace conflictor::test {
namespace {

using ComponentNumbers = StreamsFixture;

TEST_F(ComponentNumbers, ANumberTakenByABlockAddedMeanwhileIsNotGivenAgain) {
    const QString prefix = QStringLiteral("12^STRUMIEN_");
    const QString first = MakeUniqueStreamBlockName(prefix, QStringLiteral("^K1"));
    doc().blocks().add(cad::Point{0, 0, 0}, first);
    // A marker, then a component of another stream added by hand with the next free number.
    doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("12^POJPOJ_STRUMIEN_1"));
    const int next = doc().blocks().count() + 2;
    doc().blocks().add(cad::Point{0, 0, 0}, prefix + QString::number(next) + QStringLiteral("^K9"));

    const QString second = MakeUniqueStreamBlockName(prefix, QStringLiteral("^K1"));
    EXPECT_NE(second, prefix + QString::number(next) + QStringLiteral("^K1"));
    EXPECT_NE(second, first);
    doc().blocks().add(cad::Point{0, 0, 0}, second);

    // A block erased meanwhile: the numbers are read afresh.
    doc().blocks().item(QStringLiteral("12^POJPOJ_STRUMIEN_1")).erase();
    doc().blocks().add(cad::Point{0, 0, 0},
                       prefix + QString::number(doc().blocks().count() + 1) + QStringLiteral("^K8"));
    const QString third = MakeUniqueStreamBlockName(prefix, QStringLiteral("^K1"));
    EXPECT_FALSE(third.startsWith(prefix + QString::number(doc().blocks().count()) + QLatin1Char('^')));
}

}  // namespace
}  // namespace conflictor::test
