// The member-name look-up of the dispatch tables: every name added is found at its position, names
// that hash alike are told apart, and a name differing only in case or length is not found.
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
