// The intersections of a drawing, the question for a new number and the intersection attribute block.
#include "StreamsFixture.h"

namespace conflictor::test {
namespace {

class StreamsIntersections : public StreamsFixture {};

TEST_F(StreamsIntersections, TheDrawingsIntersectionsAreListedAndTheCurrentOneSelected) {
    IntersectionNumber.clear();
    EXPECT_FALSE(SprawdzSkrzyzowania());
    EXPECT_TRUE(window.Intersections.isEmpty());

    addAttributeBlock(QStringLiteral("12"));
    addAttributeBlock(QStringLiteral("7a"), {}, 10000, 0);
    doc().blocks().add(cad::Point{0, 0, 0}, IntersectionBlockPrefix());
    insert(IntersectionBlockPrefix());  // an empty number is never listed

    window.IntersectionComboActive = true;
    EXPECT_TRUE(SprawdzSkrzyzowania());
    EXPECT_EQ(window.Intersections, (QStringList{QStringLiteral("12"), QStringLiteral("7a")}));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("12"));
    EXPECT_EQ(window.SelectedIntersection, 0);
    EXPECT_TRUE(window.IntersectionComboActive);
    EXPECT_EQ(doc().selectionSets().count(), 0);

    IntersectionNumber = QStringLiteral("7A");  // compared without regard to case
    SprawdzSkrzyzowania();
    EXPECT_EQ(window.SelectedIntersection, 1);
    IntersectionNumber = QStringLiteral("99");
    SprawdzSkrzyzowania();
    EXPECT_EQ(window.SelectedIntersection, 0);
    EXPECT_EQ(IntersectionNumber, QStringLiteral("99"));

    // A second reference of one block lists its number twice; the later entry ends selected.
    addAttributeBlock(QStringLiteral("12"), {}, 20000, 0);
    IntersectionNumber = QStringLiteral("12");
    SprawdzSkrzyzowania();
    EXPECT_EQ(window.Intersections.size(), 3);
    EXPECT_EQ(window.SelectedIntersection, 2);
}

TEST_F(StreamsIntersections, ANewNumberLosesItsSpacesAndBecomesCurrent) {
    prompts.answerInput(QStringLiteral(" 12 a "));
    ASSERT_TRUE(AskIntersectionNumber(true));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("12a"));
    EXPECT_EQ(window.Intersections.value(0), QStringLiteral("12a"));
    EXPECT_EQ(window.SelectedIntersection, 0);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("Podaj numer skrzyżowania:"));
    EXPECT_EQ(prompts.asked()[0].title, window.Caption);

    prompts.answerInput(QStringLiteral("5"));
    ASSERT_TRUE(AskIntersectionNumber(false));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("12a"));
    EXPECT_EQ(window.Intersections.size(), 2);

    prompts.answerInput(std::nullopt);
    EXPECT_FALSE(AskIntersectionNumber(true));
    prompts.answerInput(QStringLiteral("   "));
    EXPECT_FALSE(AskIntersectionNumber(true));
    EXPECT_EQ(window.Intersections.size(), 2);

    // Only letters, digits and "-": other characters would mean something in block names and patterns.
    for (const char* bad : {"1^2", "A*", "1[2]", "12:3", "a/b"}) {
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(bad));
        EXPECT_FALSE(AskIntersectionNumber(true)) << bad;
        ASSERT_EQ(prompts.asked().size(), 2u);
        EXPECT_TRUE(prompts.asked()[1].text.startsWith(QStringLiteral("Numer skrzyżowania może zawierać")));
    }
    EXPECT_EQ(window.Intersections.size(), 2);
    prompts.answerInput(QStringLiteral("Łódź-2"));
    EXPECT_TRUE(AskIntersectionNumber(false));
}

TEST_F(StreamsIntersections, TheAttributeBlockIsCreatedAtThePickedPointOnce) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
    window.StatusDefault = QStringLiteral("rysunek.dxf");
    const QString name = IntersectionBlockPrefix() + QStringLiteral("12");
    picks.point(100, 200);
    QString handle;
    ASSERT_TRUE(DodajAtrStrumieni(name, handle));
    ASSERT_FALSE(handle.isEmpty());
    ASSERT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Wskaż położenie bloku z atrybutami skrzyżowania.")});
    EXPECT_EQ(prompts.asked()[0].flags, ui::Exclamation);
    EXPECT_EQ(picks.prompts().value(0), QStringLiteral("Wskaż położenie bloku z atrybutami skrzyżowania."));
    EXPECT_FALSE(window.Visible);  // the caller shows the window again
    EXPECT_EQ(window.StatusText, QStringLiteral("rysunek.dxf"));
    EXPECT_DOUBLE_EQ(DrawingScaleFactor, 0.5);
    EXPECT_EQ(doc().activeTextStyle().name(), QStringLiteral("SYGN_TXT"));

    const cad::Entity ref = doc().handleToObject(handle);
    EXPECT_EQ(ref.name(), name);
    EXPECT_DOUBLE_EQ(ref.insertionPoint().x, 100);
    EXPECT_DOUBLE_EQ(ref.insertionPoint().y, 200);
    EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 0.5);
    EXPECT_EQ(ref.layer(), StreamLayer);
    EXPECT_EQ(ref.color(), 5);
    QStringList tags;
    for (const cad::Entity& a : ref.attributes()) tags.append(a.tagString());
    EXPECT_EQ(tags, StreamAttributeTagNames());

    const QList<cad::Entity> contents = doc().blocks().item(name).entities();
    ASSERT_GE(contents.size(), 11);
    EXPECT_EQ(contents[0].objectName(), QStringLiteral("AcDbPolyline"));
    const QList<cad::Point> frame = contents[0].coordinates();
    ASSERT_EQ(frame.size(), 5);
    EXPECT_DOUBLE_EQ(frame[2].x, 8000);
    EXPECT_DOUBLE_EQ(frame[2].y, 4000);
    EXPECT_FALSE(contents[0].closed());
    EXPECT_EQ(contents[0].color(), 0);
    EXPECT_EQ(contents[1].objectName(), QStringLiteral("AcDbText"));
    EXPECT_EQ(contents[1].textString(), QStringLiteral("12"));
    EXPECT_DOUBLE_EQ(contents[1].height(), 2500);
    EXPECT_EQ(contents[1].alignment(), 13);
    EXPECT_DOUBLE_EQ(contents[1].textAlignmentPoint().x, 4000);
    for (int i = 2; i < 11; ++i) {
        EXPECT_EQ(contents[i].tagString(), StreamAttributeTagNames()[i - 2]);
        EXPECT_EQ(contents[i].mode(), 9);
    }

    // It exists now: nothing is asked, the same reference is given.
    prompts.clear();
    QString again;
    ASSERT_TRUE(DodajAtrStrumieni(name, again));
    EXPECT_EQ(again, handle);
    EXPECT_TRUE(prompts.asked().empty());

    // A cancelled pick: nothing is drawn.
    picks.cancel();
    QString none = QStringLiteral("x");
    EXPECT_FALSE(DodajAtrStrumieni(IntersectionBlockPrefix() + QStringLiteral("13"), none));
    EXPECT_TRUE(none.isEmpty());
    EXPECT_FALSE(automation::CheckBlockExists(IntersectionBlockPrefix() + QStringLiteral("13")));
}

TEST_F(StreamsIntersections, AnUnreadableScaleIsSaidBeforeThePickAndNoBlockIsDrawn) {
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("nan"));
    const QString name = IntersectionBlockPrefix() + QStringLiteral("12");
    picks.point(100, 200);
    prompts.answerMessage(ui::Ok);
    QString handle = QStringLiteral("x");
    EXPECT_FALSE(DodajAtrStrumieni(name, handle));
    EXPECT_TRUE(handle.isEmpty());
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts().first().contains(
        QStringLiteral(" ma wartość SKALA \"nan\", która nie jest liczbą całkowitą od 1 do 32767.")))
        << prompts.messageTexts().first().toStdString();
    EXPECT_TRUE(picks.prompts().isEmpty());
    EXPECT_FALSE(automation::CheckBlockExists(name));
    EXPECT_TRUE(references(name).isEmpty());
}

}  // namespace
}  // namespace conflictor::test
