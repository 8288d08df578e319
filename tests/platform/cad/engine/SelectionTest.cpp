// Filter lists over model space: the suite's filters, grouping operators, the index paths against a
// plain scan, and crossing windows and polygons.
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Selection.h"

#include <gtest/gtest.h>

using namespace cad::db;

namespace {

class CadSelection : public ::testing::Test {
protected:
    void SetUp() override {
        db.addLayer("113-STRUMIENIE_RUCHU");
        db.addLayer("114-PUNKTY_KOLIZJI");
        db.addLayer("002-OPISY");
        for (const char* n : {"12^STRUMIEN_1^K1", "12^STRUMIEN_2^K2", "12^POCZATEK_STRUMIEN_K1_3",
                              "12^KONIEC_STRUMIEN_K1_4", "12^POJPIESZ_STRUMIEN_5", "S-1", "STT", "*U7"}) {
            BlockDefinition* b = db.addBlock(n[0] == '*' ? QString("*U") : QString(n));
            db.addLine(b, {0, 0, 0}, {10, 0, 0});
        }
        BlockDefinition* ms = db.modelSpace();
        auto put = [&](const QString& name, const QString& layer, int colour, Point3 at) {
            Entity* e = db.insertBlock(ms, at, name, 1, 1, 1, 0);
            db.setLayer(e, layer);
            e->color = colour;
            return e;
        };
        s1 = put("12^STRUMIEN_1^K1", "113-STRUMIENIE_RUCHU", 256, {0, 0, 0});
        text = db.addText(ms, "12", {100, 100, 0}, 2);
        db.setLayer(text, "002-OPISY");
        s2 = put("12^STRUMIEN_2^K2", "113-STRUMIENIE_RUCHU", 3, {20, 0, 0});
        start = put("12^POCZATEK_STRUMIEN_K1_3", "0", 3, {40, 0, 0});
        end = put("12^KONIEC_STRUMIEN_K1_4", "113-STRUMIENIE_RUCHU", 1, {60, 0, 0});
        conflict = put("12^POJPIESZ_STRUMIEN_5", "114-PUNKTY_KOLIZJI", 256, {80, 0, 0});
        head = put("S-1", "0", 256, {0, 50, 0});
        stt = put("STT", "0", 256, {20, 50, 0});
        anon = put("*U1", "0", 256, {40, 50, 0});
        line = db.addLine(ms, {0, 200, 0}, {10, 210, 0});
        db.setLayer(line, "002-OPISY");
        mtext = db.addMText(ms, {0, 300, 0}, 11.55, "Faza /\r\nprzejście");
        db.setLayer(mtext, "002-OPISY");
    }
    std::vector<Entity*> select(const FilterList& f) { return selectAll(db, f); }
    // The same filter without the index: a plain scan of model space.
    std::vector<Entity*> scan(const FilterList& f) {
        Filter filter(f);
        std::vector<Entity*> out;
        for (Entity* e : db.modelSpace()->entities())
            if (filter.matches(*e)) out.push_back(e);
        return out;
    }

    Database db;
    Entity *s1, *s2, *start, *end, *conflict, *head, *stt, *anon, *text, *line, *mtext;
};

TEST_F(CadSelection, NameAndLayerFiltersOfTheSuite) {
    const FilterList streams = {{0, "INSERT"}, {2, "12^STRUMIEN_*"}, {8, "113-STRUMIENIE_RUCHU"}};
    EXPECT_EQ(select(streams), (std::vector<Entity*>{s1, s2}));
    const FilterList views = {{0, "INSERT"}, {2, "12^*STRUMIEN_*"}, {8, "113-STRUMIENIE_RUCHU"}};
    EXPECT_EQ(select(views), (std::vector<Entity*>{s1, s2, end}));
    const FilterList conflicts = {{0, "INSERT"}, {2, "*POJ*_STRUMIEN*"}, {8, "114-PUNKTY_KOLIZJI"}};
    EXPECT_EQ(select(conflicts), std::vector<Entity*>{conflict});
    const FilterList highlighted = {{0, "INSERT"}, {8, "113-STRUMIENIE_RUCHU"}, {62, 3}};
    EXPECT_EQ(select(highlighted), std::vector<Entity*>{s2});
    const FilterList byLayerPen = {{0, "INSERT"}, {2, "12^*STRUMIEN_*"}, {62, 256}};
    EXPECT_EQ(select(byLayerPen), (std::vector<Entity*>{s1, conflict}));
    EXPECT_EQ(select({{2, "`*U*"}}), std::vector<Entity*>{anon});
    EXPECT_EQ(select({{0, "INSERT"}, {2, "ATRYBUTY_STRUMIENI_12"}}), std::vector<Entity*>{});
    EXPECT_EQ(select({{8, "400-DLUGOSCI_STRUMIENI"}}), std::vector<Entity*>{});
}

TEST_F(CadSelection, GroupsCombine) {
    const FilterList heads = {{0, "INSERT"}, {-4, "<or"}, {2, "S-*"}, {2, "STK-*"},
                              {2, "STT"},    {2, "ST"},   {-4, "or>"}};
    EXPECT_EQ(select(heads), (std::vector<Entity*>{head, stt}));
    // Two "<or" groups one after the other.
    const FilterList reset = {{0, "INSERT"},
                              {-4, "<or"},
                              {2, "12^STRUMIEN_*"},
                              {2, "12^POCZATEK_STRUMIEN_*"},
                              {2, "12^KONIEC_STRUMIEN_*"},
                              {-4, "or>"},
                              {-4, "<or"},
                              {62, 3},
                              {62, 1},
                              {-4, "or>"}};
    EXPECT_EQ(select(reset), (std::vector<Entity*>{s2, start, end}));
    // Mixed-case type names and an "<or" of types.
    const FilterList table = {{8, "002-OPISY"}, {-4, "<or"},  {0, "Line"},
                              {0, "Text"},      {0, "MText"}, {-4, "or>"}};
    EXPECT_EQ(select(table), (std::vector<Entity*>{text, line, mtext}));
    // "<not" inside "<and".
    const FilterList notTraffic = {{-4, "<and"}, {-4, "<not"}, {8, "113-STRUMIENIE_RUCHU"},
                                   {-4, "not>"}, {-4, "<not"}, {8, "114-PUNKTY_KOLIZJI"},
                                   {-4, "not>"}, {-4, "and>"}};
    EXPECT_EQ(select(notTraffic), (std::vector<Entity*>{text, start, head, stt, anon, line, mtext}));
    EXPECT_EQ(select({{-4, "<not"}, {2, "12^*"}, {-4, "not>"}, {0, "INSERT"}}),
              (std::vector<Entity*>{head, stt, anon}));
}

TEST_F(CadSelection, MalformedFiltersAreRefused) {
    EXPECT_THROW(select({{-4, "<or"}, {2, "A"}}), cad::InvalidArgument);
    EXPECT_THROW(select({{2, "A"}, {-4, "or>"}}), cad::InvalidArgument);
    EXPECT_THROW(select({{-4, "<or"}, {2, "A"}, {-4, "and>"}}), cad::InvalidArgument);
    EXPECT_THROW(select({{-4, "<not"}, {2, "A"}, {2, "B"}, {-4, "not>"}}), cad::InvalidArgument);
    EXPECT_THROW(select({{-4, "<or"}, {-4, "or>"}}), cad::InvalidArgument);
    EXPECT_THROW(select({{62, "red"}}), cad::InvalidArgument);
    EXPECT_THROW(select({{2, 5}}), cad::InvalidArgument);
    EXPECT_THROW(select({{999, "x"}}), cad::InvalidArgument);
}

TEST_F(CadSelection, IndexesGiveWhatAScanGives) {
    // Changes after the indexes were built: a rename, a new reference, a layer change, an erasure.
    db.renameBlock(db.findBlock("12^STRUMIEN_2^K2"), "12^STRUMIEN_2^K2^K5");
    Entity* late = db.insertBlock(db.modelSpace(), {5, 5, 0}, "12^STRUMIEN_1^K1", 1, 1, 1, 0);
    db.setLayer(late, "113-STRUMIENIE_RUCHU");
    db.setLayer(start, "113-STRUMIENIE_RUCHU");
    db.erase(s1);
    for (const FilterList& f :
         {FilterList{{0, "INSERT"}, {2, "12^STRUMIEN_*"}},
          FilterList{{0, "insert"}, {2, "12^strumien_2^k2^k5"}}, FilterList{{8, "113-STRUMIENIE_RUCHU"}},
          FilterList{{0, "INSERT"}, {2, "*K1*"}, {8, "113-*"}}, FilterList{{8, "0,002-OPISY"}, {0, "*"}}}) {
        EXPECT_EQ(select(f), scan(f));
    }
    EXPECT_EQ(select({{0, "INSERT"}, {2, "12^STRUMIEN_*"}}), (std::vector<Entity*>{s2, late}));
}

// Name patterns over the reference index ignore case in Polish names too, and give the references
// of several blocks in creation order.
TEST_F(CadSelection, NamePatternsIgnoreCaseOfPolishNames) {
    for (const QString& n : {QStringLiteral("ŻÓŁW_1"), QStringLiteral("żółw_2"), QStringLiteral("Zolw_3")})
        db.addLine(db.addBlock(n), {0, 0, 0}, {1, 0, 0});
    Entity* a = db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("żółw_2"), 1, 1, 1, 0);
    Entity* b = db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("ŻÓŁW_1"), 1, 1, 1, 0);
    Entity* c = db.insertBlock(db.modelSpace(), {0, 0, 0}, QStringLiteral("Zolw_3"), 1, 1, 1, 0);
    for (const FilterList& f : {FilterList{{0, "INSERT"}, {2, QStringLiteral("żółw_#")}},
                                FilterList{{0, "INSERT"}, {2, QStringLiteral("ŻÓŁW_*,zolw_?")}},
                                FilterList{{0, "INSERT"}, {2, QStringLiteral("@ÓŁW_[12]")}}})
        EXPECT_EQ(select(f), scan(f));
    EXPECT_EQ(select({{0, "INSERT"}, {2, QStringLiteral("żółw_#")}}), (std::vector<Entity*>{a, b}));
    EXPECT_EQ(select({{0, "INSERT"}, {2, QStringLiteral("?O?W_#")}}), (std::vector<Entity*>{c}));
}

TEST_F(CadSelection, CrossingWindowAndPolygon) {
    // The window touches the start marker's line at x = 40 only.
    const auto touching = selectCrossingWindow(db, {30, -1, 0}, {40, 1, 0}, {{0, "INSERT"}});
    EXPECT_EQ(touching, (std::vector<Entity*>{s2, start}));
    const auto filtered = selectCrossingWindow(db, {-100, -100, 0}, {1000, 1000, 0},
                                               {{-4, "<not"}, {0, "INSERT"}, {-4, "not>"}});
    EXPECT_EQ(filtered, (std::vector<Entity*>{text, line, mtext}));
    // A triangle that crosses the line at y = 200 without containing a corner of its box.
    const std::vector<Point3> triangle = {{5, 195, 0}, {6, 215, 0}, {4, 215, 0}};
    EXPECT_EQ(selectCrossingPolygon(db, triangle, {}), std::vector<Entity*>{line});
    const std::vector<Point3> far = {{500, 500, 0}, {600, 500, 0}, {600, 600, 0}};
    EXPECT_TRUE(selectCrossingPolygon(db, far, {}).empty());
    EXPECT_THROW(selectCrossingPolygon(db, {{0, 0, 0}, {1, 1, 0}}, {}), cad::InvalidArgument);
}

}  // namespace
