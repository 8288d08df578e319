// One method called on many objects (the document's CallEach) answers what the single calls answer,
// in order; "?" turns a failing call into an empty answer, and without it the first failure is
// thrown after the calls before it have run.
#include "ModelFixture.h"

#include "platform/cad/CallEach.h"

namespace {

using cadtest::ModelTest;

class CallEachTest : public ModelTest {};

TEST_P(CallEachTest, AnswersAsTheSingleCallsAndFailsAsTheirLoop) {
    const cad::Block b = doc.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("P1"));
    b.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    b.addCircle(cad::Point{5, 5, 0}, 2);
    const cad::Entity first = ms.insertBlock(cad::Point{1, 2, 0}, QStringLiteral("P1"), 1, 1, 1, 0);
    const cad::Entity second = ms.insertBlock(cad::Point{3, 4, 0}, QStringLiteral("P1"), 2, 2, 1, 0);
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});

    const cad::VariantList answers = cad::CallEach(
        doc, cad::VariantList{first.ref(), line.ref(), second.ref()}, QStringLiteral("?Explode"));
    ASSERT_EQ(answers.size(), 3);
    EXPECT_TRUE(answers[1].isEmpty());  // a line cannot be exploded: nothing, no failure
    const QList<cad::Entity> single = first.explode();
    for (int i : {0, 2}) {
        const cad::VariantList pieces = answers[i].toArray();
        ASSERT_EQ(pieces.size(), single.size());
        for (qsizetype k = 0; k < pieces.size(); ++k)
            EXPECT_EQ(cad::Entity(channel.get(), pieces[k].toObject()).objectName(), single[k].objectName());
    }
    // The pieces are made: the second reference's circle has the reference's scale.
    const cad::Entity circle(channel.get(), answers[2].toArray().value(1).toObject());
    EXPECT_DOUBLE_EQ(circle.radius(), 4);

    // Without "?" the line's failure is thrown, the reference before it exploded already.
    const int before = ms.count();
    EXPECT_THROW(cad::CallEach(doc, cad::VariantList{first.ref(), line.ref()}, QStringLiteral("Explode")),
                 cad::Error);
    EXPECT_EQ(ms.count(), before + 2);

    // Arguments travel to every call.
    const cad::VariantList moved = cad::CallEach(doc, cad::VariantList{line.ref()}, QStringLiteral("Move"),
                                                 {cad::Point{0, 0, 0}, cad::Point{0, 5, 0}});
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(line.startPoint(), (cad::Point{0, 5, 0}));

    // Or each call its own: regions of two curve sets in one call, a refused set answered by nothing.
    const cad::Entity c1 = ms.addCircle(cad::Point{0, 0, 0}, 1);
    const cad::Entity c2 = ms.addCircle(cad::Point{9, 0, 0}, 2);
    const cad::VariantList regions = cad::CallEachWith(
        doc, cad::VariantList{ms.ref(), ms.ref(), ms.ref()}, QStringLiteral("?AddRegion"),
        {cad::VariantList{cad::VariantList{c1.ref()}}, cad::VariantList{cad::VariantList{line.ref()}},
         cad::VariantList{cad::VariantList{c2.ref()}}});
    ASSERT_EQ(regions.size(), 3);
    EXPECT_TRUE(regions[1].isEmpty());  // an open line makes no region
    for (int i : {0, 2}) {
        const cad::Entity region(channel.get(), regions[i].toArray().value(0).toObject());
        EXPECT_NEAR(region.area(), i == 0 ? 3.14159265 : 4 * 3.14159265, 1e-6);
    }
}

CADMODEL_CHANNELS(CallEachTest);

}  // namespace
