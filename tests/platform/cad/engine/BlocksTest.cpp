// Block definitions and references: names, attributes created on insertion, renaming, deleting,
// copying and bringing in the blocks of another drawing.
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/UndoJournal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cad::db;

namespace {

BlockDefinition* headBlock(Database& db) {
    BlockDefinition* b = db.addBlock("S-1");
    db.addCircle(b, {0, 0, 0}, 1);
    db.addAttributeDefinition(b, 3.5, 9, "", {1, 0, 0}, "OBIEKT", "sygnalizator");
    db.addAttributeDefinition(b, 3.5, 2, "", {2, 0, 0}, "STALY", "x");  // constant: stays in the block
    db.addAttributeDefinition(b, 2.0, 0, "RODZAJ", {0, 2, 0}, "RODZAJ", "");
    return b;
}

TEST(CadBlocks, NamesWithSpecialCharactersAndCase) {
    Database db;
    BlockDefinition* b = db.addBlock("12^STRUMIEN_3^K1[2]");
    EXPECT_EQ(db.findBlock("12^strumien_3^k1[2]"), b);
    BlockDefinition* polish = db.addBlock("Schemat_ŻÓŁW");
    EXPECT_EQ(db.findBlock("schemat_żółw"), polish);
    EXPECT_THROW(db.addBlock("SCHEMAT_żółw"), cad::AlreadyExists);
    EXPECT_THROW(db.addBlock(""), cad::InvalidArgument);
    EXPECT_THROW(db.addBlock("a|b"), cad::InvalidArgument);
    EXPECT_THROW(db.block("nope"), cad::NotFound);
    BlockDefinition* u1 = db.addBlock("*U");
    BlockDefinition* u2 = db.addBlock("*U");
    EXPECT_EQ(u1->name(), "*U1");
    EXPECT_EQ(u2->name(), "*U2");
    EXPECT_TRUE(u1->isAnonymous());
    EXPECT_FALSE(db.modelSpace()->isAnonymous());
}

// The engine's texts reach the user inside the programs' Polish messages: they are Polish too and
// name the object concerned.
TEST(CadBlocks, ErrorsArePolishAndNameTheBlock) {
    Database db;
    db.addBlock("Schemat_1");
    const auto messageOf = [](auto&& call) {
        try {
            call();
        } catch (const cad::Error& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(messageOf([&] { db.addBlock("1*"); }), QString::fromUtf8("Nieprawidłowa nazwa bloku: 1*"));
    EXPECT_EQ(messageOf([&] { db.addBlock("SCHEMAT_1"); }), QString::fromUtf8("Blok SCHEMAT_1 już istnieje"));
    EXPECT_EQ(messageOf([&] { db.block("brak"); }), QString::fromUtf8("Brak bloku brak"));
}

TEST(CadBlocks, InsertingCreatesAttributesFromTheDefinition) {
    Database db;
    headBlock(db);
    db.addLayer("110-SYGNALIZACJA_KOMORY");
    db.setVariable("CLAYER", QString("110-SYGNALIZACJA_KOMORY"));
    Entity* ref = db.insertBlock(db.modelSpace(), {100, 50, 0}, "s-1", 2, 2, 1, M_PI / 2);
    const auto& ins = ref->as<InsertData>();
    EXPECT_EQ(ins.blockName, "S-1");
    const auto attrs = db.attributes(ref);
    ASSERT_EQ(attrs.size(), 2u);
    const auto& a0 = attrs[0]->as<AttributeData>();
    const auto& a1 = attrs[1]->as<AttributeData>();
    EXPECT_EQ(a0.tag, "OBIEKT");
    EXPECT_EQ(a0.text, "sygnalizator");
    EXPECT_TRUE(a0.invisible());
    EXPECT_EQ(a0.flags, 9);
    EXPECT_EQ(a1.tag, "RODZAJ");
    EXPECT_TRUE(a1.prompt.isEmpty());
    // Placed by scale 2 and a quarter turn: (1,0) -> (100,52).
    EXPECT_NEAR(a0.position.x, 100, 1e-9);
    EXPECT_NEAR(a0.position.y, 52, 1e-9);
    EXPECT_NEAR(a0.rotation, M_PI / 2, 1e-12);
    EXPECT_DOUBLE_EQ(a0.height, 7.0);
    EXPECT_EQ(attrs[0]->layer(), "110-SYGNALIZACJA_KOMORY");  // definition on layer 0
    EXPECT_EQ(attrs[0]->ownerReference(), ref);
    EXPECT_THROW(db.insertBlock(db.modelSpace(), {}, "missing", 1, 1, 1, 0), cad::NotFound);
    EXPECT_THROW(db.insertBlock(db.modelSpace(), {}, "S-1", 0, 1, 1, 0), cad::InvalidArgument);
    // Erasing the reference erases its attributes; they cannot be erased alone.
    EXPECT_THROW(db.erase(attrs[0]), cad::NotSupported);
    db.erase(ref);
    EXPECT_TRUE(attrs[0]->isErased());
}

TEST(CadBlocks, RenameFollowsReferencesAndDeleteRefusesUsedBlocks) {
    Database db;
    BlockDefinition* b = db.addBlock("STRUMIEN_1");
    db.addLine(b, {0, 0, 0}, {10, 0, 0});
    BlockDefinition* other = db.addBlock("INNY");
    Entity* inModel = db.insertBlock(db.modelSpace(), {}, "STRUMIEN_1", 1, 1, 1, 0);
    Entity* nested = db.insertBlock(other, {}, "STRUMIEN_1", 1, 1, 1, 0);
    db.renameBlock(b, "12^STRUMIEN_1^K1");
    EXPECT_EQ(inModel->as<InsertData>().blockName, "12^STRUMIEN_1^K1");
    EXPECT_EQ(nested->as<InsertData>().blockName, "12^STRUMIEN_1^K1");
    EXPECT_EQ(db.findBlock("STRUMIEN_1"), nullptr);
    EXPECT_EQ(db.referencesTo("12^strumien_1^k1"), std::vector<Entity*>{inModel});
    EXPECT_TRUE(db.referencesTo("STRUMIEN_1").empty());
    EXPECT_THROW(db.renameBlock(b, "INNY"), cad::AlreadyExists);
    db.renameBlock(b, "12^strumien_1^k1");  // a change of case only
    EXPECT_EQ(b->name(), "12^strumien_1^k1");
    EXPECT_THROW(db.renameBlock(db.modelSpace(), "X"), cad::InvalidArgument);

    EXPECT_EQ(db.referenceCount(b), 2);
    EXPECT_THROW(db.deleteBlock(b), cad::Failed);
    db.erase(inModel);
    EXPECT_THROW(db.deleteBlock(b), cad::Failed);  // the reference inside INNY still uses it
    db.erase(nested);
    db.deleteBlock(b);
    EXPECT_TRUE(b->isErased());
    EXPECT_EQ(db.findBlock("12^STRUMIEN_1^K1"), nullptr);
    EXPECT_THROW(db.deleteBlock(b), cad::Erased);
    EXPECT_THROW(db.deleteBlock(db.modelSpace()), cad::Failed);
    // The name is free again.
    EXPECT_NO_THROW(db.addBlock("12^STRUMIEN_1^K1"));
}

TEST(CadBlocks, CopyKeepsPropertiesAndGivesNewHandles) {
    Database db;
    headBlock(db);
    Entity* ref = db.insertBlock(db.modelSpace(), {5, 5, 0}, "S-1", 1, 1, 1, 0);
    ref->color = 3;
    db.attributes(ref)[1]->as<AttributeData>().text = "S-1 lewy";
    // An attribute added and undone stays erased among the live ones: the copy leaves out only it.
    db.journal().setRecording(true);
    Entity* undone = db.adoptEntity(nullptr, EntityKind::AttributeReference, 0, ref);
    db.journal().closeStep();
    db.journal().undo();
    db.journal().setRecording(false);
    ASSERT_TRUE(undone->isErased());
    db.adoptEntity(nullptr, EntityKind::AttributeReference, 0, ref)->as<AttributeData>().tag = "DODANY";
    Entity* copy = db.copy(ref);
    EXPECT_NE(copy->handle(), ref->handle());
    EXPECT_EQ(copy->color, 3);
    ASSERT_EQ(db.attributes(copy).size(), 3u);
    EXPECT_EQ(db.attributes(copy)[1]->as<AttributeData>().text, "S-1 lewy");
    EXPECT_EQ(db.attributes(copy)[2]->as<AttributeData>().tag, "DODANY");
    EXPECT_NE(db.attributes(copy)[1], db.attributes(ref)[1]);
    EXPECT_EQ(db.modelSpace()->item(db.modelSpace()->count() - 1), copy);
    db.move(copy, {0, 0, 0}, {10, 0, 0});
    EXPECT_EQ(copy->as<InsertData>().position.x, 15);
    EXPECT_EQ(ref->as<InsertData>().position.x, 5);
    EXPECT_EQ(db.attributes(copy)[0]->as<AttributeData>().position.x, 16);

    BlockDefinition* target = db.addBlock("Schemat_12_Faza1_1");
    const auto copies = db.copyObjects({ref, db.addLine(db.modelSpace(), {}, {1, 1, 0})}, target);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0]->ownerBlock(), target);
    EXPECT_EQ(target->count(), 2);
    EXPECT_EQ(db.referencesTo("S-1").size(),
              2u);  // two in model space, the copy in the picture does not count
}

TEST(CadBlocks, ImportingADrawingBringsItsOwnDefinitions) {
    Database file;
    BlockDefinition* dyn = file.addBlock("dyn_przejscie_fazowe");
    file.addLayer("WZORZEC")->color = 4;
    Entity* l = file.addLine(dyn, {0, 0, 0}, {5, 0, 0});
    file.setLayer(l, "WZORZEC");
    file.addAttributeDefinition(dyn, 1, 0, "OPIS", {0, 0, 0}, "OPIS", "");
    file.insertBlock(file.modelSpace(), {0, 0, 0}, "dyn_przejscie_fazowe", 1, 1, 1, 0);

    Database db;
    db.addBlock("dyn_przejscie_fazowe");  // an existing definition is kept
    BlockDefinition* b = db.importAsBlock(file, "dyn_wzorzec");
    EXPECT_EQ(b->count(), 1);
    EXPECT_EQ(db.findBlock("dyn_przejscie_fazowe")->count(), 0);
    EXPECT_THROW(db.importAsBlock(file, "DYN_WZORZEC"), cad::AlreadyExists);

    Database fresh;
    fresh.importAsBlock(file, "dyn_wzorzec");
    BlockDefinition* imported = fresh.findBlock("dyn_przejscie_fazowe");
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->count(), 2);
    EXPECT_EQ(fresh.layers().find("WZORZEC")->color, 4);
    EXPECT_EQ(imported->attributeDefinitions().size(), 1u);
}

}  // namespace
