// The model-space indexes by layer and by block name kept through layer and block changes,
// erasures and block deletions; the block table's count and positions.
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Selection.h"
#include "platform/cad/engine/UndoJournal.h"

#include <gtest/gtest.h>

#include <random>

using namespace cad::db;

namespace {

// The live model-space entities on the layer, found by walking model space (the reference answer).
std::vector<Entity*> scanLayer(Database& db, const QString& layer) {
    std::vector<Entity*> out;
    for (Entity* e : db.modelSpace()->entities())
        if (e->layer().compare(layer, Qt::CaseInsensitive) == 0) out.push_back(e);
    return out;
}

std::vector<Entity*> scanReferences(Database& db, const QString& block) {
    std::vector<Entity*> out;
    for (Entity* e : db.modelSpace()->entities())
        if (const auto* ins = e->tryAs<InsertData>();
            ins && ins->blockName.compare(block, Qt::CaseInsensitive) == 0)
            out.push_back(e);
    return out;
}

TEST(CadIndexes, LayerAndBlockChangesInAnyOrderKeepTheIndexesInModelSpaceOrder) {
    Database db;
    for (const char* l : {"A", "B", "C"}) db.addLayer(l);
    for (const char* b : {"X", "Y"}) db.addLine(db.addBlock(b), {0, 0, 0}, {1, 0, 0});
    db.setVariable("CLAYER", QString("A"));
    std::vector<Entity*> made;
    for (int i = 0; i < 600; ++i) {
        Entity* e = i % 3 ? db.insertBlock(db.modelSpace(), {double(i), 0, 0}, i % 2 ? "X" : "Y", 1, 1, 1, 0)
                          : db.addLine(db.modelSpace(), {double(i), 0, 0}, {double(i), 1, 0});
        made.push_back(e);
    }
    std::mt19937 rnd(7);
    const QStringList layers{"A", "B", "C"};
    for (int step = 0; step < 3000; ++step) {
        Entity* e = made[rnd() % made.size()];
        if (e->isErased()) continue;
        switch (rnd() % 4) {
            case 0:
            case 1:
                db.setLayer(e, layers[int(rnd() % 3)].toLower());  // any case names the layer
                break;
            case 2:
                if (e->kind() == EntityKind::BlockReference) db.setReferenceBlock(e, rnd() % 2 ? "X" : "Y");
                break;
            case 3:
                if (rnd() % 10 == 0) db.erase(e);
                break;
        }
        if (step % 250 == 0) {  // reading in between compacts the lists
            for (const QString& l : layers) ASSERT_EQ(db.entitiesOnLayer(l), scanLayer(db, l)) << step;
            ASSERT_EQ(db.referencesTo("x"), scanReferences(db, "X")) << step;
        }
    }
    for (const QString& l : layers) EXPECT_EQ(db.entitiesOnLayer(l), scanLayer(db, l));
    for (const char* b : {"X", "Y"}) EXPECT_EQ(db.referencesTo(b), scanReferences(db, b));
    size_t total = 0;
    for (const QString& l : layers) total += db.entitiesOnLayer(l).size();
    EXPECT_EQ(total, db.modelSpace()->entities().size());
}

TEST(CadIndexes, ARenamedBlockTakesItsReferencesAndErasedOnesLeaveTheNames) {
    Database db;
    db.addLine(db.addBlock("12^STRUMIEN_1^K1"), {0, 0, 0}, {1, 0, 0});
    db.addLine(db.addBlock("12^STRUMIEN_2^K2"), {0, 0, 0}, {1, 0, 0});
    Entity* r1 = db.insertBlock(db.modelSpace(), {0, 0, 0}, "12^STRUMIEN_1^K1", 1, 1, 1, 0);
    Entity* r2 = db.insertBlock(db.modelSpace(), {0, 0, 0}, "12^STRUMIEN_2^K2", 1, 1, 1, 0);
    db.renameBlock(db.block("12^STRUMIEN_1^K1"), "12^STRUMIEN_1^K1^K3");
    EXPECT_EQ(db.referencesTo("12^STRUMIEN_1^K1^K3"), std::vector<Entity*>{r1});
    EXPECT_TRUE(db.referencesTo("12^STRUMIEN_1^K1").empty());
    db.erase(r2);
    const auto names = db.referencedBlockNames();
    EXPECT_EQ(names, std::vector<QString>{"12^STRUMIEN_1^K1^K3"});
    // A selection by pattern goes through the same index.
    const auto found = selectAll(db, {{0, "INSERT"}, {2, "12^STRUMIEN_*"}});
    EXPECT_EQ(found, std::vector<Entity*>{r1});
    // Moved back onto the name an erased reference had, the index holds only the live one.
    db.setReferenceBlock(r1, "12^STRUMIEN_2^K2");
    EXPECT_EQ(db.referencesTo("12^STRUMIEN_2^K2"), std::vector<Entity*>{r1});
}

// Selection by a name pattern reads the referenced names from their own buffer: it follows new names,
// renames (also undone and redone), references moved to other blocks and erased ones, with names that
// are not plain ASCII among them.
TEST(CadIndexes, PatternSelectionFollowsEveryChangeOfTheReferencedNames) {
    Database db;
    db.journal().setRecording(true);
    const WildcardPattern pattern(QStringLiteral("12^STRUMIEN_*^K1*"));
    auto scan = [&] {
        std::vector<Entity*> out;
        for (Entity* e : db.modelSpace()->entities())
            if (const auto* ins = e->tryAs<InsertData>();
                ins && !e->isErased() && pattern.matches(ins->blockName))
                out.push_back(e);
        return out;
    };
    std::mt19937 rnd(11);
    std::vector<Entity*> refs;
    QStringList names;
    for (int step = 0; step < 1500; ++step) {
        const unsigned op = rnd() % 7;
        if (op <= 1 || refs.empty()) {
            const QString name = QStringLiteral("12^STRUMIEN_%1^%2%3")
                                     .arg(step)
                                     .arg(rnd() % 2 ? QStringLiteral("K") : QStringLiteral("Ż"))
                                     .arg(rnd() % 3);
            db.addLine(db.addBlock(name), {0, 0, 0}, {1, 0, 0});
            names << name;
            refs.push_back(db.insertBlock(db.modelSpace(), {0, 0, 0}, name, 1, 1, 1, 0));
        } else if (op == 2) {
            const QString& old = names[int(rnd() % names.size())];
            if (BlockDefinition* b = db.findBlock(old)) {
                const QString renamed = old + (rnd() % 2 ? QStringLiteral("1") : QStringLiteral("ś"));
                if (!db.findBlock(renamed)) {
                    db.renameBlock(b, renamed);
                    names << renamed;
                }
            }
        } else if (op == 3) {
            Entity* e = refs[rnd() % refs.size()];
            if (!e->isErased()) db.erase(e);
        } else if (op == 4) {
            Entity* e = refs[rnd() % refs.size()];
            const QString& to = names[int(rnd() % names.size())];
            if (!e->isErased() && db.findBlock(to)) db.setReferenceBlock(e, to);
        } else if (op == 5) {
            db.journal().closeStep();
            if (rnd() % 3)
                db.journal().undo();
            else
                db.journal().redo();
        } else {
            db.journal().closeStep();
        }
        ASSERT_EQ(selectAll(db, {{0, "INSERT"}, {2, "12^STRUMIEN_*^K1*"}}), scan()) << step;
    }
    EXPECT_EQ(selectAll(db, {{0, "INSERT"}, {2, "12^strumien_*^k1*"}}), scan());
    EXPECT_FALSE(scan().empty());
}

TEST(CadIndexes, BlockCountAndPositionsFollowAddsAndDeletes) {
    Database db;
    const int base = db.blockCount();  // model and paper space
    EXPECT_EQ(base, int(db.blocks().size()));
    std::vector<BlockDefinition*> made;
    for (int i = 0; i < 50; ++i) made.push_back(db.addBlock(QStringLiteral("B%1").arg(i)));
    db.deleteBlock(made[10]);
    db.deleteBlock(made[49]);
    db.addBlock("C");
    const auto all = db.blocks();
    ASSERT_EQ(db.blockCount(), int(all.size()));
    ASSERT_EQ(db.blockCount(), base + 49);
    for (int i = 0; i < db.blockCount(); ++i) EXPECT_EQ(db.blockAt(i), all[size_t(i)]) << i;
    EXPECT_EQ(db.blockAt(db.blockCount() - 1)->name(), "C");
    EXPECT_THROW(db.blockAt(db.blockCount()), cad::NotFound);
    EXPECT_THROW(db.blockAt(-1), cad::NotFound);
    // A deleted block stays a valid, erased object.
    EXPECT_TRUE(made[10]->isErased());
    EXPECT_EQ(db.findBlock("B10"), nullptr);
    EXPECT_EQ(db.objectByHandle(made[10]->handle()), made[10]);
}

}  // namespace
