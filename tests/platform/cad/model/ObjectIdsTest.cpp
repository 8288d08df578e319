// An object keeps one id however a program reaches it: by handle, from its block, after the drawing
// has given ids to many more objects, and when a record of another drawing reaches it.
#include "platform/cad/engine/Database.h"
#include "platform/cad/model/ObjectModel.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using cad::ObjectId;
using cad::Variant;

// A drawing as read from a file: lines at the handles given.
std::unique_ptr<cad::db::Database> drawingWithLinesAt(std::initializer_list<quint64> handles) {
    auto db = std::make_unique<cad::db::Database>();
    for (quint64 h : handles) db->adoptEntity(db->modelSpace(), cad::db::EntityKind::Line, h);
    db->raiseHandleSeed(0);
    return db;
}

ObjectId byHandle(cad::ObjectModel& model, cad::DocumentState* doc, quint64 handle) {
    const Variant arg(cad::db::handleToText(handle));
    return model.invoke(doc->id, QStringLiteral("HandleToObject"), cad::CallKind::Method, cad::Args(&arg, 1))
        .toObject();
}

}  // namespace

// A handle far beyond the others is kept aside until the drawing's ids reach it; its object keeps
// the id it was given then.
TEST(CadModelObjectIds, AFarHandleKeepsItsIdWhenTheIdsGrowPastIt) {
    cad::ObjectModel model;
    const quint64 far = 0x9000;
    cad::DocumentState* doc =
        model.addDocument(drawingWithLinesAt({far, 0x1000, 0x2800, 0x5800, 0xB000}), QStringLiteral("t1.dxf"),
                          QString());
    const ObjectId first = byHandle(model, doc, far);
    ASSERT_NE(first, 0u);
    // Each further handle within reach of those with ids so far, the last beyond the far one.
    for (quint64 h : {0x1000, 0x2800, 0x5800, 0xB000}) byHandle(model, doc, h);
    EXPECT_EQ(byHandle(model, doc, far), first);
    EXPECT_EQ(model.record(first).object, doc->db->objectByHandle(far));
}

// Two drawings give the same handles to different objects: an object keeps the id its own drawing
// gave it, whichever drawing's record reached it, and the other drawing's object keeps its own.
TEST(CadModelObjectIds, AnObjectOfAnotherDrawingKeepsItsOwnDrawingsId) {
    cad::ObjectModel model;
    const quint64 h = 0x40;
    cad::DocumentState* a = model.addDocument(drawingWithLinesAt({h}), QStringLiteral("t1.dxf"), QString());
    cad::DocumentState* b = model.addDocument(drawingWithLinesAt({h}), QStringLiteral("t2.dxf"), QString());
    auto* lineOfB = static_cast<cad::db::Entity*>(b->db->objectByHandle(h));
    const ObjectId reachedFromA = model.entityId(a, lineOfB);
    EXPECT_EQ(model.record(reachedFromA).doc, b);
    EXPECT_EQ(byHandle(model, b, h), reachedFromA);
    const ObjectId ofA = byHandle(model, a, h);
    EXPECT_NE(ofA, reachedFromA);
    EXPECT_EQ(model.record(ofA).object, a->db->objectByHandle(h));
}
