// The pure rules of headplacer: the command line, list files, designations and numbers, the
// head tables, command texts and the registry stand-in's codes.
#include "common/Ini.h"
#include "headplacer/logic/CommandLine.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/ListFiles.h"
#include "headplacer/logic/Settings.h"
#include "headplacer/logic/TextTools.h"
#include "platform/ui/core/Prompt.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <numbers>

using namespace headplacer;

namespace {
QString fromUtf8(const char* s) {
    return QString::fromUtf8(s);
}
void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(CommandLine, SplitsRawTextAtBlanksAndTabsWithoutQuoting) {
    const QStringList a = SplitCommandLine(QStringLiteral("S-2p  QUELRO"));
    ASSERT_EQ(a.size(), 3);
    EXPECT_TRUE(a[0].isEmpty());
    EXPECT_EQ(a[1], QStringLiteral("S-2p"));
    EXPECT_EQ(a[2], QStringLiteral("QUELRO"));
    const QStringList q = SplitCommandLine(QStringLiteral("\"S-1\"\tquelro "));
    ASSERT_EQ(q.size(), 3);
    EXPECT_EQ(q[1], QStringLiteral("\"S-1\""));  // quotes stay part of the symbol
    EXPECT_EQ(q[2], QStringLiteral("quelro"));
    EXPECT_EQ(SplitCommandLine(QString()), QStringList{QString()});
    EXPECT_EQ(SplitCommandLine(QStringLiteral(" \t ")).size(), 1);
    QStringList twelve;
    for (int i = 1; i <= 12; ++i) twelve << QString::number(i);
    const QStringList ten = SplitCommandLine(twelve.join(QLatin1Char(' ')));
    ASSERT_EQ(ten.size(), 11);
    EXPECT_EQ(ten.last(), QStringLiteral("10"));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("a b c"), 2).size(), 3);
    // The program's arguments become one raw text first: a quoted argument with a blank splits.
    EXPECT_EQ(SplitCommandLine(JoinArguments({QStringLiteral("S-1"), QStringLiteral("x y")})).size(), 4);
}

TEST(ListFiles, ItemsFollowTheListInputRule) {
    const QStringList items = ParseListItems(
        fromUtf8("; komentarz, z przecinkiem\nDługa, Krótka\n\"Aleja 3 Maja, wschód\"\n  Leśna  \n"), true);
    EXPECT_EQ(items, (QStringList{fromUtf8("Długa"), fromUtf8("Krótka"), fromUtf8("Aleja 3 Maja, wschód"),
                                  fromUtf8("Leśna")}));
    // Without comment lines a ";" line is an item like any other; quoted inner blanks are kept.
    EXPECT_EQ(ParseListItems(QStringLiteral(";x\n\"  a b \",c"), false),
              (QStringList{QStringLiteral(";x"), QStringLiteral("  a b "), QStringLiteral("c")}));
    // Records of two items; a record without its code leaves an empty item.
    EXPECT_EQ(
        ParseListItems(QStringLiteral("LED, L\r\nHalogen,\r\n"), false),
        (QStringList{QStringLiteral("LED"), QStringLiteral("L"), QStringLiteral("Halogen"), QString()}));
}

TEST(ListFiles, ReadsUtf8OrCp1250AndAppendsInTheFilesEncoding) {
    QTemporaryDir dir;
    const QString utf = dir.filePath(QStringLiteral("utf.lst")),
                  ansi = dir.filePath(QStringLiteral("ansi.lst"));
    writeBytes(utf, fromUtf8("Łódzka\nŚwiętokrzyska").toUtf8());
    writeBytes(ansi, QByteArray("\xA3\xF3"
                                "dzka\r\n"));  // "Łódzka" in Windows-1250
    QStringList items;
    ASSERT_TRUE(ReadListItems(ansi, true, items));
    EXPECT_EQ(items, QStringList{fromUtf8("Łódzka")});
    ASSERT_TRUE(AppendListLine(ansi, fromUtf8("Żwirki")));
    EXPECT_EQ(readBytes(ansi), QByteArray("\xA3\xF3"
                                          "dzka\r\n\xAFwirki\r\n"));
    ASSERT_TRUE(AppendListLine(utf, fromUtf8("Żwirki")));
    EXPECT_EQ(readBytes(utf), fromUtf8("Łódzka\nŚwiętokrzyska\nŻwirki\n").toUtf8());
    // Appending once: an entry already there is not written again.
    ASSERT_TRUE(AppendListLineOnce(utf, fromUtf8("Żwirki"), true));
    ASSERT_TRUE(ReadListItems(utf, true, items));
    EXPECT_EQ(items.count(fromUtf8("Żwirki")), 1);
    EXPECT_FALSE(ReadListItems(dir.filePath(QStringLiteral("brak.lst")), true, items));
    EXPECT_FALSE(AppendListLine(dir.filePath(QStringLiteral("brak/x.lst")), QStringLiteral("x")));
}

TEST(Designation, InventoryNumberAndTheTwoPartForm) {
    DesignationParts p;
    p.SectionNumber = QStringLiteral("30-18");
    p.IntersectionNumber = QStringLiteral("987");
    p.HeadKindLetter = QStringLiteral("K");
    p.OrientationNumber = 1;
    p.AdditionalHeadSuffix = QStringLiteral("p");
    DesignationTexts t = ComposeDesignation(p);
    EXPECT_EQ(t.InventoryNumber, QStringLiteral("30-18/987/K1p"));
    EXPECT_EQ(t.ConditionalDesignation, QStringLiteral("SK1p"));
    p.StopLineNumber = QStringLiteral("2");
    EXPECT_EQ(ComposeDesignation(p).HeadDesignation, QStringLiteral("K21p"));

    DesignationParts pr;
    pr.HeadKindLetter = QStringLiteral("PR");
    pr.OrientationNumber = 3;
    pr.AdditionalHeadSuffix = QStringLiteral("a");
    pr.PedestrianAndCyclist = true;
    pr.FormatPR = 1;
    t = ComposeDesignation(pr);
    EXPECT_EQ(t.HeadDesignation, QStringLiteral("P3aR3a"));
    EXPECT_FALSE(t.conditionalSet);
    EXPECT_EQ(t.InventoryNumber, QStringLiteral("//P3aR3a"));  // nothing read yet: empty parts
    pr.FormatPR = 0;
    EXPECT_EQ(ComposeDesignation(pr).HeadDesignation, QStringLiteral("PR3a"));

    EXPECT_EQ(ComposeDetectorDescription(QStringLiteral("L"), QString(), 1, 0, QStringLiteral("11"),
                                         QString(), QStringLiteral("p")),
              QStringLiteral("L1p"));
    EXPECT_EQ(ComposeDetectorDescription(QStringLiteral("V"), QString(), 1, 2, QStringLiteral("11"),
                                         QString(), QStringLiteral("p")),
              QStringLiteral("V111"));
    EXPECT_EQ(ComposeDetectorDescription(QStringLiteral("kam."), QStringLiteral("2"), 4, 1, QString(),
                                         QStringLiteral(".0"), QStringLiteral("p")),
              QStringLiteral("kam.24.0"));
}

TEST(Designation, SectionAndIntersectionNumbers) {
    EXPECT_TRUE(IsSectionNumberValid(QStringLiteral("26-15")));
    EXPECT_TRUE(IsSectionNumberValid(QStringLiteral("1-1")));
    for (const char* bad : {"26-0", "-15", "2615", "2-", "32768-1", "", "a-b", "1-", "0-5"})
        EXPECT_FALSE(IsSectionNumberValid(QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(IsIntersectionNumberValid(QStringLiteral("987")));
    EXPECT_TRUE(IsIntersectionNumberValid(fromUtf8("Rondo-Ż1")));
    for (const char* bad : {"", "???", "12/3", "12 3", "1^2", "a_b"})
        EXPECT_FALSE(IsIntersectionNumberValid(QString::fromLatin1(bad))) << bad;
}

TEST(HeadTables, KindCharacterAndWhatEachSymbolSelects) {
    EXPECT_EQ(KindCharacter(QStringLiteral("ST.dwg")), QLatin1Char('T'));
    EXPECT_EQ(KindCharacter(QStringLiteral("STK-W.dwg")), QLatin1Char('K'));
    EXPECT_EQ(KindCharacter(QStringLiteral("S-B.dwg")), QLatin1Char('B'));
    EXPECT_EQ(KindCharacter(QStringLiteral("s-5pr.dwg")), QLatin1Char('5'));
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("ST.dwg"), 0).kindOption, 2);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("STK-W.dwg"), 0).kindLetter, QStringLiteral("T"));
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-B.dwg"), 0).insertCode, 3);
    // The push-button head in any case; its letter is left to the option with the two-part form.
    for (const char* name : {"S-5pr.dwg", "S-5PR.dwg"}) {
        const HeadKindChoice k = KindForSymbolFile(QString::fromLatin1(name), 1);
        EXPECT_EQ(k.kindOption, 4) << name;
        EXPECT_TRUE(k.kindLetter.isEmpty());
    }
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-5pr.dwg"), 0).kindLetter, QStringLiteral("PR"));
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-5.dwg"), 0).kindOption, 3);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-6.dwg"), 0).kindLetter, QStringLiteral("R"));
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-4.dwg"), 0).insertCode, 2);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-7.dwg"), 0).insertCode, 1);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-1KOM.dwg"), 0).insertCode, 1);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-3p.dwg"), 0).insertCode, 3);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("S-3p.dwg"), 0).lensIndex, 0);
    EXPECT_EQ(KindForSymbolFile(QStringLiteral("ST.dwg"), 0).insertCode, 2);

    QString name = QStringLiteral("S-3WP");
    EXPECT_EQ(SetListPoz(name), 8);
    name = QStringLiteral("s-3wp");
    EXPECT_EQ(SetListPoz(name), 0);
    name = QStringLiteral("/x/y/S-7.dwg");
    EXPECT_EQ(SetListPoz(name), 13);
    EXPECT_EQ(name, QStringLiteral("S-7"));

    EXPECT_EQ(CanonicalHeadSymbol(QStringLiteral("s-2P")), QStringLiteral("S-2p"));
    EXPECT_EQ(CanonicalHeadSymbol(QStringLiteral("stk-lw")), QStringLiteral("STK-LW"));
    EXPECT_EQ(AllHeadSymbols().size(), 30);
    QString obiekt, rodzaj, symbol;
    ASSERT_TRUE(HeadSymbolAttributes(QStringLiteral("s-5pr"), obiekt, rodzaj, symbol));
    EXPECT_EQ(symbol, QStringLiteral("S-5/6"));
    ASSERT_TRUE(HeadSymbolAttributes(QStringLiteral("STT"), obiekt, rodzaj, symbol));
    EXPECT_EQ(rodzaj, QStringLiteral("typu \"T\""));
    EXPECT_FALSE(HeadSymbolAttributes(QStringLiteral("S-3lw"), obiekt, rodzaj, symbol));
    EXPECT_EQ(HeadCommonTags.size(), 16);
    EXPECT_EQ(ScreenTags.size(), 10);

    EXPECT_TRUE(IsSafeSymbolName(QStringLiteral("S-1")));
    for (const char* bad : {"../S-1", "a/b", "..", "x\\y", ""})
        EXPECT_FALSE(IsSafeSymbolName(QString::fromLatin1(bad)));
}

TEST(HeadTables, InsertCommandsWriteNumbersWithADot) {
    EXPECT_EQ(HeadScaleText(500), QStringLiteral("5"));
    EXPECT_EQ(HeadScaleText(250), QStringLiteral("2.5"));
    EXPECT_EQ(HeadScaleText(1), QStringLiteral("0.01"));
    EXPECT_EQ(HeadInsertCommand(QStringLiteral("S-1"), 250), QStringLiteral("_-insert\rS-1\rS\r2.5\r"));
    EXPECT_EQ(PushButtonInsertCommand(std::numbers::pi / 2, 500),
              QStringLiteral("_-insert\rsygnprzycisk\r_R\r90\rX\r2.5\rY\r2.5\r"));
    EXPECT_EQ(PushButtonScaleText(1), QStringLiteral("0.005"));
}

TEST(TextTools, TokensQuotesPointsAndDates) {
    QString t = QStringLiteral("12 Rondo Wschodnie");
    EXPECT_EQ(TakeFirstToken(t, QStringLiteral(" ")), QStringLiteral("12"));
    EXPECT_EQ(t, QStringLiteral("Rondo Wschodnie"));
    t = QStringLiteral("12");
    EXPECT_EQ(TakeFirstToken(t, QStringLiteral(" ")), QStringLiteral("12"));
    EXPECT_TRUE(t.isEmpty());
    t = QStringLiteral(" x");
    EXPECT_TRUE(TakeFirstToken(t, QStringLiteral(" ")).isEmpty());
    EXPECT_EQ(QuoteText(QStringLiteral("C:\\a b\\vkam")), QStringLiteral("\"C:\\a b\\vkam\""));
    EXPECT_EQ(QuoteText(QStringLiteral("\"x\"")), QStringLiteral("\"x\""));
    // A lone quote is an opened quote: it gets its closing one.
    EXPECT_EQ(QuoteText(QStringLiteral("\"")), QStringLiteral("\"\""));
    EXPECT_EQ(QuoteText(QString()), QStringLiteral("\"\""));
    EXPECT_EQ(FormatPointText(1.5, -2, QStringLiteral("#######0.00")), QStringLiteral("1.50,-2.00"));
    EXPECT_EQ(ShortDatePatternFromSample(QStringLiteral("1999-12-30")), QStringLiteral("rrrr-mm-dd"));
    EXPECT_EQ(ShortDatePatternFromSample(QStringLiteral("30.12.99")), QStringLiteral("dd.mm.rr"));
    EXPECT_DOUBLE_EQ(FormatLengthInMetres(14237), 14.24);
}

TEST(Registry, ValuesOfAnyLengthAndTheMissingCode) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    ui::ScriptedPrompts prompts;
    const QString key = QStringLiteral("Software\\Morvane\\Directories");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, QStringLiteral("City")), QStringLiteral("Brak"));
    QDir().mkpath(dir.filePath(QStringLiteral("Morvane")));
    const QString longCity = QString(60, QLatin1Char('x')) + QStringLiteral("/Kraków");
    writeBytes(RegistryFilePath(),
               (QStringLiteral("[Software\\Morvane\\Directories]\naDane = /dane/tesmar \nCity=") + longCity +
                QStringLiteral("\n"))
                   .toUtf8());
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, QStringLiteral("aDane")),
              QStringLiteral("/dane/tesmar"));
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, QStringLiteral("City")), longCity);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, QStringLiteral("Brakujaca")),
              QStringLiteral("Brak"));
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, QStringLiteral("Software\\Inny"), QStringLiteral("City")),
              QStringLiteral("Brak"));
    QString value;
    EXPECT_EQ(QueryRegistryValue(HKEY_CURRENT_USER, key, QStringLiteral("City"), value), 0);
    EXPECT_EQ(QueryRegistryValue(0, key, QStringLiteral("City"), value), 2);
    EXPECT_TRUE(prompts.asked().empty());
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(Folders, SuiteFoldersByCode) {
    SetProgramFolder(QStringLiteral("/opt/suite/Tesmar/bin"));
    EXPECT_EQ(GetCityDataFolder(QStringLiteral("MORVANE_FOLDER")), QStringLiteral("/opt/suite"));
    EXPECT_TRUE(GetCityDataFolder(QStringLiteral("INNY")).isEmpty());
    EXPECT_EQ(GetResourceFolder(QStringLiteral("/opt/suite"), 12),
              QStringLiteral("/opt/suite/aZasoby/Sygnalizacja/Sygnalizatory"));
    EXPECT_EQ(GetResourceFolder(QStringLiteral("/opt/suite"), 6),
              QStringLiteral("/opt/suite/aZasoby/Symbole"));
    EXPECT_EQ(GetResourceFolder(QStringLiteral("/d/Miasto"), 15), QStringLiteral("/d/Miasto/Ulic"));
    EXPECT_TRUE(GetResourceFolder(QStringLiteral("/opt"), 26).isEmpty());
    EXPECT_TRUE(GetResourceFolder(QStringLiteral("/opt"), -1).isEmpty());
    SetProgramFolder(QString());
}

TEST(Settings, StoredIndexesAreClampedAndSwitchesReadAsNumbers) {
    QTemporaryDir dir;
    common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));
    const QString s = SettingsSection();
    common::PutIni(common::IniFilePath, s, QStringLiteral("Orientacja00"), QStringLiteral("12"));
    common::PutIni(common::IniFilePath, s, QStringLiteral("KsztPoprzPetli"), QStringLiteral("5"));
    common::PutIni(common::IniFilePath, s, QStringLiteral("FormatPR"), QStringLiteral("-3"));
    common::PutIni(common::IniFilePath, s, QStringLiteral("DomyslnyDetektor"), QStringLiteral("9"));
    common::PutIni(common::IniFilePath, s, QStringLiteral("OpisyWarunkowych"), QStringLiteral("2"));
    common::PutIni(common::IniFilePath, s, QStringLiteral("CzyPytNumInwSyg"), QStringLiteral("tak"));
    EXPECT_EQ(LoadLastOrientation(), 1);
    EXPECT_EQ(LoadLoopCrossSection(), 1);
    EXPECT_EQ(LoadFormatPR(), 0);
    LoadDefaultDetector();
    EXPECT_EQ(HeadPlacerSettings.DomyslnyDetektor, 2);
    EXPECT_TRUE(LoadConditionalDescriptions());
    EXPECT_FALSE(LoadAskInventoryNumber());
    LoadHeadTextFont();
    EXPECT_EQ(HeadPlacerSettings.CzcionkaOpisuSygnWys, QStringLiteral("1"));
    EXPECT_EQ(HeadPlacerSettings.CzcionkaOpisuSygnSzer, QStringLiteral("0.73"));
    SaveLastOrientation(7);
    EXPECT_EQ(LoadLastOrientation(), 7);
    common::IniFilePath.clear();
}
