// The member-name look-up of the dispatch tables: every name added is found at its position, names
// that hash alike are told apart, and a name differing only in case or length is not found. The
// traits declared with the members reach the calling side by name.
#include "platform/cad/LoopbackChannel.h"
#include "platform/cad/model/MemberIndex.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(CadModelMemberIndex, FindsEveryNameAndNothingElse) {
    cad::MemberIndex index;
    EXPECT_EQ(index.find(u"Name"), -1);  // empty
    QStringList names;
    for (int i = 0; i < 300; ++i) names << QStringLiteral("Member%1").arg(i);  // grows several times
    // The same length, first, last and middle characters: one hash, told apart by comparing.
    names << QStringLiteral("AxxBxxC") << QStringLiteral("AyxBxyC") << QStringLiteral("AxyBxyC");
    names << QStringLiteral("AddLine") << QStringLiteral("X") << QString();
    EXPECT_EQ(cad::MemberIndex::hashOf(u"AxxBxxC"), cad::MemberIndex::hashOf(u"AyxBxyC"));
    for (int i = 0; i < names.size(); ++i) EXPECT_EQ(index.add(names[i]), i);
    EXPECT_EQ(index.size(), size_t(names.size()));
    for (int i = 0; i < names.size(); ++i) EXPECT_EQ(index.find(names[i]), i) << names[i].toStdString();
    EXPECT_EQ(index.find(u"addline"), -1);  // exact spelling only: the table folds case itself
    EXPECT_EQ(index.find(u"AddLin"), -1);
    EXPECT_EQ(index.find(u"AzxBxzC"), -1);
    EXPECT_EQ(index.find(u"Member300"), -1);
}

// Getters the tables declare fixed are asked once per object over a byte channel; others every
// time; an Open (any case, failed or not) makes its object's fixed answers be asked again.
TEST(CadModelMemberTraits, FixedGettersAreAskedOncePerObject) {
    cad::ObjectModel model;
    cad::LoopbackChannel channel(model);
    auto get = [&](cad::ObjectId object, const char* member) {
        return channel.call(object, QString::fromLatin1(member), cad::CallKind::Get, {}).toObject();
    };
    auto asked = [&](cad::ObjectId object, const char* member) {
        const quint64 before = channel.requestsSent();
        const cad::ObjectId first = get(object, member);
        EXPECT_EQ(get(object, member), first) << member;
        return int(channel.requestsSent() - before);
    };
    EXPECT_EQ(asked(cad::ApplicationId, "Documents"), 1);
    channel.call(get(cad::ApplicationId, "Documents"), QStringLiteral("Add"), cad::CallKind::Method, {});
    EXPECT_EQ(asked(cad::ApplicationId, "ActiveDocument"), 2);
    const cad::ObjectId doc = get(cad::ApplicationId, "ActiveDocument");
    for (const char* fixed : {"ModelSpace", "PaperSpace", "Blocks", "Layers", "Linetypes", "TextStyles", "DimStyles",
                              "SelectionSets", "Utility", "SummaryInfo"})
        EXPECT_EQ(asked(doc, fixed), 1) << fixed;

    const cad::Variant dbxClass(QStringLiteral("ObjectDBX.AxDbDocument"));
    const cad::ObjectId dbx =
        channel.call(cad::ApplicationId, QStringLiteral("GetInterfaceObject"), cad::CallKind::Method, {&dbxClass, 1})
            .toObject();
    EXPECT_EQ(asked(dbx, "ModelSpace"), 1);
    const cad::Variant missing(QStringLiteral("/nonexistent/drawing.dxf"));
    EXPECT_THROW(channel.call(dbx, QStringLiteral("open"), cad::CallKind::Method, {&missing, 1}), cad::NotFound);
    EXPECT_EQ(asked(dbx, "ModelSpace"), 1);
    EXPECT_EQ(asked(doc, "ModelSpace"), 0);  // another object's answers stay
}
