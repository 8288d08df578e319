// The CAD window search: wildcard rules, visibility and parent rules, and raising the drawing window.
#include "CadFixture.h"

#include "platform/cad/model/ObjectModel.h"

namespace automation::test {
namespace {

TEST(AutomationWindowPattern, WildcardsOfTheWindowSearch) {
    EXPECT_TRUE(
        MatchWindowPattern(QStringLiteral("AutoCAD 2010 - [Rysunek1.dwg]"), QStringLiteral("AutoCAD*")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("AutoCAD"), QStringLiteral("AutoCAD*")));
    EXPECT_FALSE(MatchWindowPattern(QStringLiteral("autocad 2010"), QStringLiteral("AutoCAD*")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("Afx:400000:8"), QStringLiteral("Afx:*")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("A1c"), QStringLiteral("A#?")));
    EXPECT_FALSE(MatchWindowPattern(QStringLiteral("Abc"), QStringLiteral("A#?")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("Ab"), QStringLiteral("A[abc]")));
    EXPECT_FALSE(MatchWindowPattern(QStringLiteral("Ad"), QStringLiteral("A[abc]")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("Ad"), QStringLiteral("A[!abc]")));
    EXPECT_FALSE(MatchWindowPattern(QStringLiteral("Ab"), QStringLiteral("A[!abc]")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("Aq"), QStringLiteral("A[a-z]")));
    // A "[" of the tested title is an ordinary character.
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("X [a]"), QStringLiteral("X ?a]")));
    EXPECT_TRUE(MatchWindowPattern(QStringLiteral("X [a]"), QStringLiteral("X [[]a]")));
    EXPECT_FALSE(MatchWindowPattern(QStringLiteral("AutoCADx"), QStringLiteral("AutoCAD")));
    EXPECT_FALSE(MatchWindowPattern(QStringLiteral("ZWCAD"), QString()));
}

class AutomationWindowSearch : public ::testing::Test {
protected:
    void TearDown() override { SetTopLevelWindowSource({}); }
    void use(QList<TopLevelWindow> windows) {
        SetTopLevelWindowSource([windows] { return windows; });
    }
    static TopLevelWindow window(quintptr h, const QString& title, const QString& cls, bool visible = true,
                                 quintptr parent = 0) {
        return TopLevelWindow{h, title, cls, visible, parent};
    }
};

TEST_F(AutomationWindowSearch, FindsOnlyAVisibleTopLevelWindowOfTheRightClass) {
    const QString title = QStringLiteral("AutoCAD 2010 - [Skrzyzowanie.dwg]");
    use({window(10, title, QStringLiteral("Notepad")), window(11, title, QStringLiteral("Afx:1"), false),
         window(12, title, QStringLiteral("Afx:2"), true, 99), window(13, title, QStringLiteral("Afx:3")),
         window(14, title, QStringLiteral("Afx:4"))});
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("AutoCAD*"), true, QStringLiteral("Afx:*")), quintptr(13));
    use({window(10, title, QStringLiteral("Notepad")), window(11, title, QStringLiteral("Afx:1"), false)});
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("AutoCAD*"), true, QStringLiteral("Afx:*")), quintptr(0));
}

TEST_F(AutomationWindowSearch, CaseInsensitiveSearchUpperCasesTitleAndPatternButNotTheClass) {
    use({window(5, QStringLiteral("autocad - [a.dwg]"), QStringLiteral("Afx:1"))});
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("AutoCAD*"), true, QStringLiteral("Afx:*")), quintptr(0));
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("AutoCAD*"), false, QStringLiteral("Afx:*")), quintptr(5));
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("AutoCAD*"), false, QStringLiteral("AFX:*")), quintptr(0));
}

TEST_F(AutomationWindowSearch, AnEmptyTitleIsPassedOver) {
    use({window(1, QString(), QStringLiteral("Afx:1")),
         window(2, QStringLiteral("ZWCAD 2012"), QStringLiteral("ZwCAD_Main"))});
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("*"), true, QStringLiteral("*")), quintptr(2));
    EXPECT_EQ(FindTopLevelWindow(QStringLiteral("ZWCAD*"), true, QStringLiteral("ZwCAD*")), quintptr(2));
}

using AutomationRaiseWindow = CadFixture;

TEST_F(AutomationRaiseWindow, OnlyTheCadNamesRaiseTheDrawingWindow) {
    cad::ObjectModel& model = cad_->model();
    ActivateCadWindow(QStringLiteral("AutoCAD"));
    EXPECT_EQ(model.raiseRequests, 1);
    EXPECT_EQ(picks.raised(), 1);
    // The drawing window of our CAD is an AutoCAD window: the ZWCAD rule finds nothing.
    ActivateCadWindow(QStringLiteral("ZWCAD"));
    ActivateCadWindow(QStringLiteral("Autocad"));
    ActivateCadWindow(QStringLiteral("Excel"));
    EXPECT_EQ(model.raiseRequests, 1);
    EXPECT_EQ(model.windowState, 1);
}

TEST_F(AutomationRaiseWindow, MinimisedOrMaximisedComesBackMaximisedNormalStaysNormal) {
    cad::ObjectModel& model = cad_->model();
    model.windowState = 2;
    ActivateCadWindow(QStringLiteral("AutoCAD"));
    EXPECT_EQ(model.windowState, 3);
    model.windowState = 1;
    ActivateCadWindow(QStringLiteral("AutoCAD"));
    EXPECT_EQ(model.windowState, 1);
    EXPECT_EQ(model.raiseRequests, 2);
}

TEST_F(AutomationRaiseWindow, NoMatchingWindowChangesNothing) {
    SetTopLevelWindowSource([] {
        return QList<TopLevelWindow>{{7, QStringLiteral("AutoCAD"), QStringLiteral("Other"), true, 0}};
    });
    cad_->model().windowState = 2;
    ActivateCadWindow(QStringLiteral("AutoCAD"));
    SetTopLevelWindowSource({});
    EXPECT_EQ(cad_->model().raiseRequests, 0);
    EXPECT_EQ(cad_->model().windowState, 2);
}

}  // namespace
}  // namespace automation::test
