// The drawing's core: defaults, handles, adding and erasing, system variables, drawing properties,
// dictionaries and the draw order.
#include "platform/cad/engine/Database.h"

#include <gtest/gtest.h>

using namespace cad::db;

namespace {

TEST(CadDatabase, NewDrawingHoldsTheStandardRecords) {
    Database db;
    EXPECT_NE(db.layers().find("0"), nullptr);
    EXPECT_NE(db.textStyles().find("STANDARD"), nullptr);
    EXPECT_NE(db.linetypes().find("continuous"), nullptr);
    EXPECT_NE(db.dimStyles().find("Standard"), nullptr);
    ASSERT_NE(db.modelSpace(), nullptr);
    EXPECT_TRUE(db.modelSpace()->isModelSpace());
    EXPECT_TRUE(db.paperSpace()->isLayout());
    ASSERT_NE(db.rootDictionary(), nullptr);
    EXPECT_NE(db.dictionaryObject(db.rootDictionary(), "ACAD_LAYOUT"), nullptr);
    EXPECT_EQ(db.codePage(), "ANSI_1250");
    EXPECT_EQ(db.modelSpace()->count(), 0);
}

TEST(CadDatabase, HandlesAreUniqueAndFoundInBothDirections) {
    Database db;
    Entity* a = db.addLine(db.modelSpace(), {0, 0, 0}, {1, 1, 0});
    Entity* b = db.addCircle(db.modelSpace(), {0, 0, 0}, 2);
    EXPECT_NE(a->handle(), b->handle());
    EXPECT_EQ(db.entityByHandle(a->handleText()), a);
    EXPECT_EQ(db.entityByHandle(b->handleText().toLower()), b);
    EXPECT_EQ(db.entityByHandle("FFFFFF"), nullptr);
    EXPECT_EQ(db.entityByHandle("not a handle"), nullptr);
    EXPECT_THROW(db.entity("FFFFFF"), cad::NotFound);
    // A handle of a table record is not an entity.
    EXPECT_EQ(db.entityByHandle(db.layers().find("0")->handleText()), nullptr);
    EXPECT_EQ(handleFromText(handleToText(0x1A2B)), 0x1A2Bu);
}

TEST(CadDatabase, NewestEntityIsLastAndErasedOnesStayAddressable) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    Entity* first = db.addLine(ms, {0, 0, 0}, {1, 0, 0});
    Entity* second = db.addPoint(ms, {5, 5, 0});
    Entity* third = db.addText(ms, "A", {0, 0, 0}, 2);
    ASSERT_EQ(ms->count(), 3);
    EXPECT_EQ(ms->item(ms->count() - 1), third);
    db.erase(second);
    EXPECT_TRUE(second->isErased());
    EXPECT_EQ(ms->count(), 2);
    EXPECT_EQ(ms->item(0), first);
    EXPECT_EQ(ms->item(1), third);
    EXPECT_THROW(ms->item(2), cad::NotFound);
    EXPECT_THROW(db.erase(second), cad::Erased);
    EXPECT_THROW(second->checkAlive(), cad::Erased);
    EXPECT_THROW(db.move(second, {0, 0, 0}, {1, 1, 0}), cad::Erased);
    EXPECT_EQ(db.entityByHandle(second->handleText()), nullptr);
    EXPECT_EQ(db.objectByHandle(second->handle()), second);  // still a valid value
}

TEST(CadDatabase, NewEntitiesTakeTheCurrentProperties) {
    Database db;
    db.addLayer("113-STRUMIENIE_RUCHU")->color = 5;
    db.setVariable("CLAYER", QString("113-strumienie_ruchu"));
    db.setVariable("CECOLOR", QString("3"));
    db.loadLinetype("ACAD_ISO03W100");
    db.setVariable("CELTYPE", QString("ACAD_ISO03W100"));
    db.setVariable("CELWEIGHT", -1.0);
    Entity* e = db.addLine(db.modelSpace(), {0, 0, 0}, {1, 0, 0});
    EXPECT_EQ(e->layer(), "113-STRUMIENIE_RUCHU");
    EXPECT_EQ(e->color, 3);
    EXPECT_EQ(e->linetype, "ACAD_ISO03W100");
    EXPECT_EQ(e->lineweight, -1);
    db.setVariable("CECOLOR", QString("BYLAYER"));
    EXPECT_EQ(std::get<QString>(db.variable("cecolor")), "BYLAYER");
    db.setVariable("CECOLOR", 256);
    EXPECT_EQ(db.addPoint(db.modelSpace(), {})->color, 256);
}

TEST(CadDatabase, SystemVariablesCheckTypesAndValues) {
    Database db;
    EXPECT_THROW(db.setVariable("CLAYER", QString("no such layer")), cad::InvalidArgument);
    EXPECT_THROW(db.setVariable("TEXTSTYLE", QString("nope")), cad::InvalidArgument);
    EXPECT_THROW(db.setVariable("CELTYPE", QString("ACAD_ISO03W100")), cad::InvalidArgument);  // not loaded
    EXPECT_THROW(db.setVariable("CELWEIGHT", 0.5), cad::InvalidArgument);
    EXPECT_THROW(db.setVariable("CECOLOR", QString("purple")), cad::InvalidArgument);
    EXPECT_THROW(db.setVariable("NOSUCHVAR", 1), cad::NotFound);
    EXPECT_THROW(db.variable("NOSUCHVAR"), cad::NotFound);
    db.setVariable("CELWEIGHT", 0);
    EXPECT_EQ(std::get<int>(db.variable("CELWEIGHT")), 0);
    db.setVariable("ANGBASE", 0);
    EXPECT_EQ(std::get<double>(db.variable("ANGBASE")), 0.0);
    db.setVariable("LTSCALE", 50);
    EXPECT_EQ(std::get<double>(db.variable("LTSCALE")), 50.0);
    db.setVariable("LASTPOINT", Point3{1, 2, 0});
    EXPECT_EQ(std::get<Point3>(db.variable("LASTPOINT")), (Point3{1, 2, 0}));
    db.setVariable("LASTPROMPT", QString("*Cancel*"));
    EXPECT_EQ(std::get<QString>(db.variable("LASTPROMPT")), "*Cancel*");
    db.setVariable("DIMASZ", 0.5);
    db.setVariable("DIMCLRD", 5);
    db.addTextStyle("DIM_TXT");
    db.setVariable("DIMTXSTY", QString("DIM_TXT"));
    DimStyle* s = db.addDimStyle("DIM_STYLE");
    db.copyDimVariablesTo(s);
    EXPECT_EQ(s->values.at(41).toDouble(), 0.5);
    EXPECT_EQ(s->values.at(176), "5");
    EXPECT_EQ(s->values.at(340), db.textStyles().find("DIM_TXT")->handleText());
    // Any header variable reads through.
    EXPECT_EQ(std::get<QString>(db.variable("ACADVER")), "AC1015");
}

TEST(CadDatabase, TablesFindNamesWithoutRegardToCase) {
    Database db;
    Layer* l = db.addLayer("Warstwa_Ż^[1]");
    EXPECT_EQ(db.layers().find("WARSTWA_ż^[1]"), l);
    EXPECT_EQ(db.addLayer("warstwa_ż^[1]"), l);  // an existing layer is returned unchanged
    EXPECT_THROW(db.addLayer("a<b"), cad::InvalidArgument);
    EXPECT_THROW(db.addLayer(""), cad::InvalidArgument);
    EXPECT_THROW(db.layers().item("missing"), cad::NotFound);
    TextStyle* style = db.addTextStyle("SYGN_TXT");
    EXPECT_EQ(db.textStyles().find("sygn_txt"), style);
    EXPECT_THROW(db.loadLinetype("NO_SUCH_TYPE"), cad::NotFound);
    Linetype* iso = db.loadLinetype("acad_iso03w100");
    EXPECT_EQ(iso->name(), "ACAD_ISO03W100");
    EXPECT_EQ(iso->elements, (std::vector<double>{12, -18}));
    EXPECT_DOUBLE_EQ(iso->patternLength, 30);
    EXPECT_EQ(db.loadLinetype("ACAD_ISO03W100"), iso);
    EXPECT_THROW(db.addLinetype("acad_iso03w100", "", {}), cad::AlreadyExists);
}

TEST(CadDatabase, SettingALayerNeedsAnExistingOne) {
    Database db;
    Entity* e = db.addLine(db.modelSpace(), {}, {1, 0, 0});
    EXPECT_THROW(db.setLayer(e, "112-OPIS_SYGNALIZACJI"), cad::NotFound);
    db.addLayer("112-OPIS_SYGNALIZACJI");
    db.setLayer(e, "112-opis_sygnalizacji");
    EXPECT_EQ(e->layer(), "112-OPIS_SYGNALIZACJI");
    EXPECT_EQ(db.entitiesOnLayer("112-OPIS_SYGNALIZACJI"), std::vector<Entity*>{e});
    EXPECT_TRUE(db.entitiesOnLayer("0").empty());
}

TEST(CadSummaryInfo, CustomPropertiesKeepTheirOrder) {
    SummaryInfo info;
    info.addCustom("SKALA", "500");
    info.addCustom("WERSJA_DOKUMENTU", "4");
    info.addCustom("GRUPA_K1", "1");
    EXPECT_THROW(info.addCustom("skala", "1"), cad::AlreadyExists);
    EXPECT_THROW(info.addCustom("", "1"), cad::InvalidArgument);
    EXPECT_EQ(info.customByKey("Skala"), "500");
    EXPECT_THROW(info.customByKey("NUMERSEKCJI"), cad::NotFound);
    EXPECT_THROW(info.setCustomByKey("NUMERSEKCJI", "1-2"), cad::NotFound);
    info.setCustomByKey("SKALA", "250");
    EXPECT_EQ(info.customAt(0), std::make_pair(QString("SKALA"), QString("250")));
    info.removeCustomAt(1);
    EXPECT_EQ(info.customCount(), 2);
    EXPECT_EQ(info.customAt(1).first, "GRUPA_K1");
    EXPECT_THROW(info.customAt(2), cad::NotFound);
    EXPECT_THROW(info.removeCustomAt(-1), cad::NotFound);
}

TEST(CadDatabase, DrawOrderLivesInTheModelSpaceExtensionDictionary) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    Entity* a = db.addCircle(ms, {}, 1);
    Entity* b = db.addCircle(ms, {}, 2);
    Entity* c = db.addCircle(ms, {}, 3);
    EXPECT_EQ(db.extensionDictionary(ms, false), nullptr);
    Dictionary* xd = db.extensionDictionary(ms, true);
    EXPECT_EQ(db.dictionaryObject(xd, "ACAD_SORTENTS"), nullptr);
    DbObject* table = db.addDictionaryObject(xd, "ACAD_SORTENTS", "AcDbSortentsTable");
    EXPECT_EQ(table->objectType(), ObjectType::SortentsTable);
    EXPECT_EQ(db.addDictionaryObject(xd, "ACAD_SORTENTS", "AcDbSortentsTable"), table);
    EXPECT_THROW(db.addDictionaryObject(xd, "X", "AcDbNoSuchClass"), cad::NotSupported);
    db.moveToTop({a});
    EXPECT_EQ(db.drawOrder(ms), (std::vector<Entity*>{b, c, a}));
    db.moveToBottom({c});
    EXPECT_EQ(db.drawOrder(ms), (std::vector<Entity*>{c, b, a}));
    // Entities added later are drawn above the ordered ones; creation order itself is untouched.
    Entity* d = db.addCircle(ms, {}, 4);
    EXPECT_EQ(db.drawOrder(ms).back(), d);
    EXPECT_EQ(ms->entities(), (std::vector<Entity*>{a, b, c, d}));
    db.erase(b);
    EXPECT_EQ(db.drawOrder(ms), (std::vector<Entity*>{c, a, d}));
}

}  // namespace
