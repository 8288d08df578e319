// conflictor's program settings: defaults, reading by type, writing without a leading zero.
#include "common/Ini.h"
#include "common/ProgramSettings.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace common;

namespace {

class CommonProgramSettings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Tesmar.ini")); }
    const QString section = QStringLiteral("Tesmar Konflikty");
};

// Every number of the dialog loads only within the bounds the dialog accepts: each bound itself loads,
// a value one step of the dialog's two decimals past it is refused with the bound it passes, and far
// values (too small for two decimals, larger than any road has, overflowing) are refused too.
TEST_F(CommonProgramSettings, EveryNumberKeyIsHeldToTheDialogsBoundsOnBothSides) {
    const struct {
        const char* key;
        const char* min;
        const char* belowMin;
        const char* max;
        const char* aboveMax;
    } bounds[] = {
        {"DlugoscPojazd", "1", "0.99", "100", "100.01"},      {"DlugoscAutobus", "1", "0.99", "100", "100.01"},
        {"DlugoscTramwaj", "1", "0.99", "100", "100.01"},     {"PredkDojazdProsta", ".1", "0.09", "50", "50.01"},
        {"PredkDojazdLuk", ".1", "0.09", "50", "50.01"},      {"PredkEwakProsta", ".1", "0.09", "50", "50.01"},
        {"PredkEwakLuk", ".1", "0.09", "50", "50.01"},        {"PredkDojazdProsta2", "0.1", "0.09", "50", "50.01"},
        {"PredkDojazdLuk2", "0.1", "0.09", "50", "50.01"},    {"PredkEwakProsta2", "0.1", "0.09", "50", "50.01"},
        {"PredkEwakLuk2", "0.1", "0.09", "50", "50.01"},      {"PredkDojazdProsta3", "0,1", "0,09", "50", "50,01"},
        {"PredkDojazdLuk3", "0.1", "0.09", "50", "50.01"},    {"PredkEwakProsta3", "0.1", "0.09", "50", "50.01"},
        {"PredkEwakLuk3", "0.1", "0.09", "50", "50.01"},      {"PredkPiesi", "0.1", "0.09", "5", "5.01"},
        {"PredkRowery", "0.1", "0.09", "15", "15.01"},        {"MaksPrzysp", "0.1", "0.09", "10", "10.01"},
        {"MaksPrzyspAutobus", "0.1", "0.09", "10", "10.01"},  {"MaksPrzyspTramwaj", "0.1", "0.09", "10", "10.01"},
        {"SygnalZolty", "1", "0.99", "10", "10.01"},          {"GranicaPromien", "1", "0.99", "1000", "1000.01"},
        {"DlugosciTekstWysokosc", "0.1", "0.09", "100", "100.01"}, {"IloscWagonow", "1", "0", "255", "256"}};
    auto load = [&](const char* key, const char* value) {
        QFile::remove(path());
        PutIni(path(), section, QString::fromLatin1(key), QString::fromLatin1(value));
        ProgramSettings s;
        bool onTop = false;
        return LoadProgramSettings(s, onTop, path(), section);
    };
    for (const auto& b : bounds) {
        EXPECT_EQ(load(b.key, b.min), QStringList()) << b.key << "=" << b.min;
        EXPECT_EQ(load(b.key, b.max), QStringList()) << b.key << "=" << b.max;
        for (const auto& [value, says] : {std::pair{b.belowMin, "jest za mała"}, std::pair{b.aboveMax, "jest za duża"}}) {
            const QStringList problems = load(b.key, value);
            ASSERT_EQ(problems.size(), 1) << b.key << "=" << value;
            EXPECT_TRUE(problems[0].contains(QString::fromUtf8(says))) << problems[0].toStdString();
        }
    }
    const char* const keys[] = {
        "DlugoscPojazd",   "PredkDojazdProsta",  "PredkDojazdLuk",   "PredkEwakProsta",   "PredkEwakLuk",
        "MaksPrzysp",      "DlugoscAutobus",     "PredkDojazdProsta2", "PredkDojazdLuk2", "PredkEwakProsta2",
        "PredkEwakLuk2",   "MaksPrzyspAutobus",  "DlugoscTramwaj",   "PredkDojazdProsta3", "PredkDojazdLuk3",
        "PredkEwakProsta3", "PredkEwakLuk3",     "MaksPrzyspTramwaj", "PredkPiesi",        "PredkRowery",
        "SygnalZolty",     "GranicaPromien",     "DlugosciTekstWysokosc"};
    const struct {
        const char* value;
        const char* says;
    } outside[] = {{"1e-300", "jest za mała"}, {"0.0001", "jest za mała"}, {"1e300", "jest za duża"},
                   {"1e309", "jest za duża"}, {"-1e309", "jest za mała"}};
    for (const char* key : keys)
        for (const auto& o : outside) {
            QFile::remove(path());
            PutIni(path(), section, QString::fromLatin1(key), QString::fromLatin1(o.value));
            ProgramSettings s;
            bool onTop = false;
            const QStringList problems = LoadProgramSettings(s, onTop, path(), section);
            ASSERT_EQ(problems.size(), 1) << key << "=" << o.value;
            EXPECT_TRUE(problems[0].contains(QStringLiteral("%1=%2").arg(QString::fromLatin1(key),
                                                                          QString::fromLatin1(o.value))) &&
                        problems[0].contains(QString::fromUtf8(o.says)))
                << problems[0].toStdString();
        }
    QFile::remove(path());
    PutIni(path(), section, QStringLiteral("SygnalZolty"), QStringLiteral("1e-300"));
    ProgramSettings s;
    bool onTop = false;
    EXPECT_EQ(LoadProgramSettings(s, onTop, path(), section).value(0),
              QStringLiteral("Ustawienie SygnalZolty=1e-300 w pliku %1 jest poza zakresem: wartość jest za mała "
                             "(musi być liczbą od 1 do 10 s); przyjęto 3.")
                  .arg(path()));
    EXPECT_DOUBLE_EQ(s.SygnalZolty, 3);
}

}  // namespace

TEST_F(CommonProgramSettings, NoFileGivesDefaultsAndFixedValues) {
    ProgramSettings s;
    s.StreamLayerName.clear();
    s.PisakZaznaczenia = 99;
    s.DlugoscPojazd = -1;
    bool onTop = true;
    LoadProgramSettings(s, onTop, path(), section);
    EXPECT_EQ(s.StreamLayerName, QStringLiteral("113-STRUMIENIE_RUCHU"));
    EXPECT_EQ(s.ConflictPointLayerName, QStringLiteral("114-PUNKTY_KOLIZJI"));
    EXPECT_EQ(s.PisakStrumieni, 256);
    EXPECT_EQ(s.PisakZaznaczenia, 3);
    EXPECT_EQ(s.CrossingLinkPen, 80);
    EXPECT_EQ(s.WarstwaStrumieni, 0);
    EXPECT_TRUE(s.SkalujTekst);
    EXPECT_FALSE(onTop);
    EXPECT_EQ(s.WarstwaPunkty, 114);
    EXPECT_EQ(s.PisakPunkty, 15);
    EXPECT_DOUBLE_EQ(s.DlugoscPojazd, 10);
    EXPECT_DOUBLE_EQ(s.PredkEwakProsta, 11.11);
    EXPECT_DOUBLE_EQ(s.PredkPiesi, 1.4);
    EXPECT_DOUBLE_EQ(s.MaksPrzysp, 3.5);
    EXPECT_DOUBLE_EQ(s.DlugoscTramwaj, 13.5);
    EXPECT_EQ(s.IloscWagonow, 2);
    EXPECT_DOUBLE_EQ(s.MaksPrzyspTramwaj, 1.2);
    EXPECT_DOUBLE_EQ(s.PredkEwakLuk3, 10);
    EXPECT_FALSE(QFile::exists(path()));  // reading creates nothing
}

TEST_F(CommonProgramSettings, WrittenWithoutLeadingZeroAndReadBack) {
    ProgramSettings s;
    SaveProgramSettings(s, path(), section);
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("DlugosciTekstWysokosc"), QString()),
              QStringLiteral(".5"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("PredkPiesi"), QString()), QStringLiteral("1.4"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("MaksPrzysp"), QString()), QStringLiteral("3.5"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("PredkDojazdProsta"), QString()),
              QStringLiteral("13.89"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("DlugoscPojazd"), QString()), QStringLiteral("10"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("SkalujTekst"), QString()), QStringLiteral("1"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("WarstwaStrumieni"), QString()), QStringLiteral("0"));
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("NaWierzchu"), QStringLiteral("absent")),
              QStringLiteral("absent"));

    ProgramSettings changed;
    changed.PredkPiesi = 0.75;
    changed.AutoZaznaczNowe = true;
    changed.IloscWagonow = 3;
    SaveProgramSettings(changed, path(), section);
    ProgramSettings back;
    bool onTop = false;
    LoadProgramSettings(back, onTop, path(), section);
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("PredkPiesi"), QString()), QStringLiteral(".75"));
    EXPECT_DOUBLE_EQ(back.PredkPiesi, 0.75);
    EXPECT_TRUE(back.AutoZaznaczNowe);
    EXPECT_EQ(back.IloscWagonow, 3);
    EXPECT_DOUBLE_EQ(back.DlugosciTekstWysokosc, 0.5);
    EXPECT_DOUBLE_EQ(back.MaksPrzysp, 3.5);
}

TEST_F(CommonProgramSettings, ReadingByType) {
    PutIni(path(), section, QStringLiteral("SkalujTekst"), QStringLiteral("2"));
    ProgramSettings s;
    bool onTop = false;
    LoadProgramSettings(s, onTop, path(), section);
    EXPECT_FALSE(s.SkalujTekst);
    PutIni(path(), section, QStringLiteral("SkalujTekst"),
           QStringLiteral("1,4"));  // the comma ends the number at 1
    PutIni(path(), section, QStringLiteral("PredkPiesi"), QStringLiteral("1,4"));
    PutIni(path(), section, QStringLiteral("NaWierzchu"), QStringLiteral("1"));
    PutIni(path(), section, QStringLiteral("WarstwaPunkty"), QStringLiteral("abc"));
    PutIni(path(), section, QStringLiteral("IloscWagonow"), QStringLiteral("300"));
    LoadProgramSettings(s, onTop, path(), section);
    EXPECT_TRUE(s.SkalujTekst);
    EXPECT_DOUBLE_EQ(s.PredkPiesi, 1.4);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(s.WarstwaPunkty, 114);  // no number: the default
    EXPECT_EQ(s.IloscWagonow, 2);  // does not fit one byte: the default
}

// Values that are no numbers ("NaN", a hexadecimal "&HFFFF") and negative speeds read as their
// defaults, each named in a message; a clearing speed comes from its own key.
TEST_F(CommonProgramSettings, ValuesThatAreNoNumbersOrNegativeSpeedsGiveDefaultsAndSaySo) {
    PutIni(path(), section, QStringLiteral("SygnalZolty"), QStringLiteral("NaN"));
    PutIni(path(), section, QStringLiteral("PisakPunkty"), QStringLiteral("&HFFFF"));
    PutIni(path(), section, QStringLiteral("PredkPiesi"), QStringLiteral("-1.4"));
    PutIni(path(), section, QStringLiteral("PredkEwakProsta"), QStringLiteral("9.5"));
    PutIni(path(), section, QStringLiteral("PredkEwakLuk"), QStringLiteral("8.25"));
    PutIni(path(), section, QStringLiteral("PredkDojazdProsta"), QStringLiteral("12,5"));
    ProgramSettings s;
    bool onTop = false;
    const QStringList problems = LoadProgramSettings(s, onTop, path(), section);
    EXPECT_DOUBLE_EQ(s.SygnalZolty, 3);
    EXPECT_EQ(s.PisakPunkty, 15);
    EXPECT_DOUBLE_EQ(s.PredkPiesi, 1.4);
    EXPECT_DOUBLE_EQ(s.PredkEwakProsta, 9.5);
    EXPECT_DOUBLE_EQ(s.PredkEwakLuk, 8.25);
    EXPECT_DOUBLE_EQ(s.PredkDojazdProsta, 12.5);
    ASSERT_EQ(problems.size(), 3) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("Ustawienie PisakPunkty=&HFFFF"))) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].contains(QStringLiteral("PredkPiesi=-1.4")) &&
                problems[1].contains(QStringLiteral("jest za mała (musi być liczbą od 0,1 do 5 m/s)")));
    EXPECT_TRUE(problems[2].startsWith(QStringLiteral("Ustawienie SygnalZolty=NaN")) &&
                problems[2].contains(QStringLiteral("nie jest liczbą")));
}

// Numbers the settings dialog would refuse (at the edge of its ranges, and numbers too large for a
// double or a byte) give their defaults, each named with its value and the file; the edge values
// the dialog accepts are taken.
TEST_F(CommonProgramSettings, NumbersOutsideTheDialogsRangesGiveDefaultsAndSaySo) {
    const QString amber2047 = QString(2047, QLatin1Char('9'));
    const struct {
        const char* key;
        QString value;
    } refused[] = {{"SygnalZolty", QStringLiteral("0")},      {"DlugoscPojazd", QStringLiteral("-10")},
                   {"DlugoscTramwaj", QStringLiteral("-13.5")}, {"IloscWagonow", QStringLiteral("0")},
                   {"MaksPrzysp", QStringLiteral("0")},        {"PredkPiesi", QStringLiteral("0")},
                   {"PredkRowery", QStringLiteral("1e309")},   {"IloscWagonow", QStringLiteral("256")},
                   {"IloscWagonow", QStringLiteral("70000")},  {"SygnalZolty", amber2047},
                   {"SygnalZolty", QStringLiteral("-3")},      {"DlugosciTekstWysokosc", QStringLiteral("0")}};
    for (const auto& r : refused) {
        QFile::remove(path());
        PutIni(path(), section, QString::fromLatin1(r.key), r.value);
        ProgramSettings s;
        bool onTop = false;
        const QStringList problems = LoadProgramSettings(s, onTop, path(), section);
        const ProgramSettings defaults;
        EXPECT_DOUBLE_EQ(s.SygnalZolty, defaults.SygnalZolty) << r.key;
        EXPECT_DOUBLE_EQ(s.DlugoscPojazd, defaults.DlugoscPojazd) << r.key;
        EXPECT_DOUBLE_EQ(s.TramLength(), defaults.TramLength()) << r.key;
        EXPECT_DOUBLE_EQ(s.MaksPrzysp, defaults.MaksPrzysp) << r.key;
        EXPECT_DOUBLE_EQ(s.PredkPiesi, defaults.PredkPiesi) << r.key;
        EXPECT_DOUBLE_EQ(s.PredkRowery, defaults.PredkRowery) << r.key;
        EXPECT_DOUBLE_EQ(s.DlugosciTekstWysokosc, defaults.DlugosciTekstWysokosc) << r.key;
        ASSERT_EQ(problems.size(), 1) << r.key;
        const QString expectedStart = QStringLiteral("Ustawienie %1=%2").arg(QString::fromLatin1(r.key), r.value.left(40));
        EXPECT_TRUE(problems[0].startsWith(expectedStart)) << problems[0].toStdString();
        EXPECT_TRUE(problems[0].contains(path()) && problems[0].contains(QStringLiteral("poza zakresem")))
            << problems[0].toStdString();
    }
    // The edges the dialog accepts.
    QFile::remove(path());
    PutIni(path(), section, QStringLiteral("IloscWagonow"), QStringLiteral("255"));
    PutIni(path(), section, QStringLiteral("SygnalZolty"), QStringLiteral("1"));
    PutIni(path(), section, QStringLiteral("PredkPiesi"), QStringLiteral("5"));
    ProgramSettings s;
    bool onTop = false;
    EXPECT_TRUE(LoadProgramSettings(s, onTop, path(), section).isEmpty());
    EXPECT_EQ(s.IloscWagonow, 255);
    EXPECT_DOUBLE_EQ(s.SygnalZolty, 1);
    EXPECT_DOUBLE_EQ(s.PredkPiesi, 5);
    PutIni(path(), section, QStringLiteral("IloscWagonow"), QStringLiteral("1"));
    EXPECT_TRUE(LoadProgramSettings(s, onTop, path(), section).isEmpty());
    EXPECT_EQ(s.IloscWagonow, 1);
    // A FIFO of that name: the defaults, and a word that the file could not be read.
    QFile::remove(path());
    ASSERT_EQ(mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    const QStringList problems = LoadProgramSettings(s, onTop, path(), section);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0], QStringLiteral("Nie można odczytać pliku ustawień %1 (nie jest zwykłym plikiem albo "
                                          "brak dostępu); przyjęto ustawienia domyślne.").arg(path()));
    EXPECT_EQ(s.IloscWagonow, 2);
}

TEST_F(CommonProgramSettings, GlobalsUseIniFilePathAndProgramTitle) {
    QCoreApplication::setApplicationName(section);
    IniFilePath = path();
    PutIni(path(), section, QStringLiteral("NaWierzchu"), QStringLiteral("1"));
    PutIni(path(), section, QStringLiteral("GranicaPromien"), QStringLiteral("75"));
    AlwaysOnTop = false;
    LoadProgramSettings();
    EXPECT_TRUE(AlwaysOnTop);
    EXPECT_DOUBLE_EQ(Settings.GranicaPromien, 75);
    Settings.GranicaPromien = 60.5;
    SaveProgramSettings();
    EXPECT_EQ(GetIni(path(), section, QStringLiteral("GranicaPromien"), QString()), QStringLiteral("60.5"));
    IniFilePath.clear();
    AlwaysOnTop = false;
}
