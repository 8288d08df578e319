// The stream grid's rules without a window: sort key order, kinematic texts and units, editable
// cells, the characters each column takes, and the intersection-number rule.
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "common/ui/Help.h"
#include "conflictor/mainwindow/StreamGridRules.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <algorithm>

using namespace conflictor;

namespace {

StreamRecord named(const QString& name) {
    StreamRecord r;
    SetStreamName(r, name);
    return r;
}

}  // namespace

TEST(StreamGridRules, SortKeysOrderKindsNumbersAndVariantsNaturally) {
    QStringList names{"S1", "K10", "P1", "K1[2]", "K2", "K1", "K1[10]", "K100", "K99", "T1", "B3", "R2"};
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(StreamSortKey(named(a)), StreamSortKey(named(b)), Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(names, (QStringList{"K1", "K1[2]", "K1[10]", "K2", "K10", "K99", "K100", "P1", "S1", "R2", "B3",
                                  "T1"}));
    EXPECT_EQ(StreamSortKey(named(QStringLiteral("k1"))), StreamSortKey(named(QStringLiteral("K1"))));
}

TEST(StreamGridRules, KinematicTextsInBothUnits) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(KinematicCellText(13.89, 7, true), QStringLiteral("50"));
    EXPECT_EQ(KinematicCellText(13.89, 7, false), QStringLiteral("13.89"));
    EXPECT_EQ(KinematicCellText(10, 4, true), QStringLiteral("10.00"));  // a length keeps metres
    EXPECT_DOUBLE_EQ(KinematicValueOfCell(QStringLiteral("72"), 5, true), 20.0);
    EXPECT_DOUBLE_EQ(KinematicValueOfCell(QStringLiteral("3,5"), 9, true), 3.5);
    QLocale::setDefault(QLocale(QLocale::Polish));
    EXPECT_EQ(KinematicCellText(13.89, 8, false), QStringLiteral("13,89"));
    QLocale::setDefault(QLocale::c());
}

TEST(StreamGridRules, EditableCellsFollowTheStreamKind) {
    const StreamRecord car = named(QStringLiteral("K1"));
    const StreamRecord walker = named(QStringLiteral("P1"));
    const StreamRecord bike = named(QStringLiteral("R1"));
    for (int col : {0, 2, 3}) EXPECT_TRUE(IsStreamCellEditable(&walker, col)) << col;
    for (int col = 4; col <= 9; ++col) {
        EXPECT_TRUE(IsStreamCellEditable(&car, col)) << col;
        EXPECT_EQ(IsStreamCellEditable(&walker, col), col == 7) << col;
        EXPECT_EQ(IsStreamCellEditable(&bike, col), col == 7) << col;
        EXPECT_FALSE(IsStreamCellEditable(nullptr, col)) << col;
    }
    EXPECT_FALSE(IsStreamCellEditable(&car, 1));
    EXPECT_FALSE(IsStreamCellEditable(&car, 10));
    EXPECT_EQ(ColumnAttributeTag(5), QStringLiteral("PROSTA_DOJAZD"));
    EXPECT_EQ(ColumnAttributeTag(1), QString());
}

TEST(StreamGridRules, ColumnsTakeTheirCharacters) {
    for (int col = 0; col <= 9; ++col) {
        EXPECT_TRUE(CellAcceptsChar(col, QLatin1Char('7'))) << col;
        EXPECT_TRUE(CellAcceptsChar(col, QLatin1Char('.'))) << col;
    }
    EXPECT_FALSE(CellAcceptsChar(2, QLatin1Char(',')));
    EXPECT_TRUE(CellAcceptsChar(3, QLatin1Char(',')));
    EXPECT_FALSE(CellAcceptsChar(4, QLatin1Char('x')));
    EXPECT_FALSE(CellAcceptsChar(5, QLatin1Char('-')));
    EXPECT_TRUE(CellAcceptsChar(0, QChar(0x0105)));  // ą
    EXPECT_TRUE(CellAcceptsChar(0, QLatin1Char(' ')));
    for (QChar bad : {QChar('^'), QChar(':'), QChar('\n'), QChar('\t'), QChar(0x2028)})
        EXPECT_FALSE(CellAcceptsChar(0, bad));
}

TEST(StreamGridRules, IntersectionNumbersTakeLettersDigitsAndDash) {
    for (const char* ok : {"12", "A-3", "ab12", "X"})
        EXPECT_TRUE(common::IsValidIntersectionNumber(QString::fromLatin1(ok)));
    EXPECT_TRUE(common::IsValidIntersectionNumber(QStringLiteral("Łódź")));
    for (const char* bad : {"", "1 2", "1^2", "1*", "1?", "a_b", "1[2]", "1:2"})
        EXPECT_FALSE(common::IsValidIntersectionNumber(QString::fromLatin1(bad))) << bad;
}

TEST(StreamGridRules, BindingsOfTheProgram) {
    FillSettingBindings();
    EXPECT_EQ(common::SettingBindings[3].Key, QStringLiteral("kmh"));
    EXPECT_EQ(common::SettingBindings[3].FormName, QStringLiteral("frmMain"));
    EXPECT_EQ(common::SettingBindings[8].Section, QStringLiteral("Ogolne"));
    EXPECT_TRUE(common::SettingBindings[9].Key.isEmpty());
    EXPECT_FALSE(SpeedsInKmh());
    common::SettingBindings[3].Value = 1;
    EXPECT_TRUE(SpeedsInKmh());
}

TEST(StreamGridRules, EveryHelpContextHasItsPage) {
    common::SetHelpFolder(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Pomoc"));
    for (int context : {10003, 10007, 10008, 10009, 10010, 10011, 10012, 10014, 10239, 10256, 10332})
        EXPECT_TRUE(common::HelpPagePath(context).endsWith(QStringLiteral("/%1.html").arg(context)))
            << context;
    EXPECT_TRUE(common::HelpPagePath(4242).endsWith(QStringLiteral("/index.html")));
    EXPECT_TRUE(QFile::exists(common::HelpPagePath(4242)));
}
