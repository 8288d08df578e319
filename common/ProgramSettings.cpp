// Reading and writing conflictor's program settings.
#include "common/ProgramSettings.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/SettingRanges.h"
#include "common/TextHelpers.h"

#include <QRegularExpression>

namespace common {

ProgramSettings Settings;

namespace {

// A decimal ("13.89", "13,89", ".5", "1E-05") or, for `whole`, digits with at most a decimal part
// (read up to the separator); nothing else ("NaN", "&HFFFF", "12 km").
bool isPlainNumber(const QString& text, bool whole) {
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?$"));
    static const QRegularExpression integer(QStringLiteral("^[+-]?\\d+([.,]\\d*)?$"));
    return (whole ? integer : decimal).match(text.trimmed()).hasMatch();
}

}  // namespace

QStringList LoadProgramSettings(ProgramSettings& s, bool& alwaysOnTop, const QString& iniPath,
                                const QString& section) {
    QStringList problems;
    if (const QString problem = UnusableIniMessage(iniPath); !problem.isEmpty()) problems << problem;
    const ProgramSettings fixed;
    s.StreamLayerName = fixed.StreamLayerName;
    s.ConflictPointLayerName = fixed.ConflictPointLayerName;
    s.PisakStrumieni = fixed.PisakStrumieni;
    s.PisakZaznaczenia = fixed.PisakZaznaczenia;
    s.CrossingLinkPen = fixed.CrossingLinkPen;

    auto text = [&](const char* key, const char* def) {
        return GetIni(iniPath, section, QString::fromLatin1(key), QString::fromLatin1(def));
    };
    // A value the file cannot say too long for a message: its start stands for it.
    auto shown = [](const QString& value) { return ShortForMessage(value); };
    // A value that is no number, or one the settings dialog would refuse, gives way to the default,
    // and says so.
    auto checked = [&](const char* key, const char* def, bool whole) {
        const QString value = text(key, def);
        const QString name = QString::fromLatin1(key);
        if (!isPlainNumber(value, whole)) {
            problems << QStringLiteral("Ustawienie %1=%2 w pliku %3 nie jest liczbą; przyjęto %4.")
                            .arg(name, shown(value), iniPath, QString::fromLatin1(def));
            return QString::fromLatin1(def);
        }
        if (const QString problem = SettingRangeProblem(RangeOfSetting(name), value); !problem.isEmpty()) {
            problems << QStringLiteral("Ustawienie %1=%2 w pliku %3 jest poza zakresem: wartość %4; przyjęto %5.")
                            .arg(name, shown(value), iniPath, problem, QString::fromLatin1(def));
            return QString::fromLatin1(def);
        }
        return value;
    };
    auto boolean = [&](const char* key, const char* def) {
        return ConvertIntToBool(ParseInteger(checked(key, def, true)));
    };
    auto integer = [&](const char* key, const char* def) { return ParseInteger(checked(key, def, true)); };
    auto number = [&](const char* key, const char* def) { return ParseDouble(checked(key, def, false)); };

    s.SkalujTekst = boolean("SkalujTekst", "1");
    s.WarstwaPunkty = integer("WarstwaPunkty", "114");
    s.PisakPunkty = integer("PisakPunkty", "15");
    s.PisakDlugosci = integer("PisakDlugosci", "1");
    s.DlugosciTekstWysokosc = number("DlugosciTekstWysokosc", "0.5");
    s.DlugosciTekstSzerokosc = number("DlugosciTekstSzerokosc", "1.3");
    s.AutoZaznaczNowe = boolean("AutoZaznaczNowe", "0");
    alwaysOnTop = boolean("NaWierzchu", "0");
    s.DlugoscPojazd = number("DlugoscPojazd", "10");
    s.PredkDojazdProsta = number("PredkDojazdProsta", "13.89");
    s.PredkDojazdLuk = number("PredkDojazdLuk", "13.89");
    s.PredkEwakProsta = number("PredkEwakProsta", "11.11");
    s.PredkEwakLuk = number("PredkEwakLuk", "11.11");
    s.PredkPiesi = number("PredkPiesi", "1.40");
    s.PredkRowery = number("PredkRowery", "2.80");
    s.SygnalZolty = number("SygnalZolty", "3");
    s.MaksPrzysp = number("MaksPrzysp", "3.50");
    s.GranicaPromien = number("GranicaPromien", "50");
    s.DlugoscAutobus = number("DlugoscAutobus", "14");
    s.DlugoscTramwaj = number("DlugoscTramwaj", "13.5");
    s.IloscWagonow = integer("IloscWagonow", "2");  // 1 to 255: held in one byte
    s.PredkDojazdProsta2 = number("PredkDojazdProsta2", "13.89");
    s.PredkDojazdLuk2 = number("PredkDojazdLuk2", "13.89");
    s.PredkEwakProsta2 = number("PredkEwakProsta2", "10");
    s.PredkEwakLuk2 = number("PredkEwakLuk2", "10");
    s.MaksPrzyspAutobus = number("MaksPrzyspAutobus", "2");
    s.MaksPrzyspTramwaj = number("MaksPrzyspTramwaj", "1.2");
    s.PredkDojazdProsta3 = number("PredkDojazdProsta3", "13.89");
    s.PredkDojazdLuk3 = number("PredkDojazdLuk3", "13.89");
    s.PredkEwakProsta3 = number("PredkEwakProsta3", "10");
    s.PredkEwakLuk3 = number("PredkEwakLuk3", "10");
    return problems;
}

void SaveProgramSettings(const ProgramSettings& s, const QString& iniPath, const QString& section) {
    auto put = [&](const char* key, const QString& value) {
        PutIni(iniPath, section, QString::fromLatin1(key), value);
    };
    auto num = [&](const char* key, double value) { put(key, FormatPlainNumber(value)); };
    num("WarstwaStrumieni", s.WarstwaStrumieni);
    num("WarstwaPunkty", s.WarstwaPunkty);
    num("PisakStrumieni", s.PisakStrumieni);
    num("PisakZaznaczenia", s.PisakZaznaczenia);
    num("PisakDlugosci", s.PisakDlugosci);
    num("PisakPunkty", s.PisakPunkty);
    num("DlugosciTekstWysokosc", s.DlugosciTekstWysokosc);
    num("DlugosciTekstSzerokosc", s.DlugosciTekstSzerokosc);
    put("AutoZaznaczNowe", QString::number(ConvertBoolToInt(s.AutoZaznaczNowe)));
    num("DlugoscPojazd", s.DlugoscPojazd);
    num("PredkDojazdProsta", s.PredkDojazdProsta);
    num("PredkDojazdLuk", s.PredkDojazdLuk);
    num("PredkEwakProsta", s.PredkEwakProsta);
    num("PredkEwakLuk", s.PredkEwakLuk);
    num("PredkPiesi", s.PredkPiesi);
    num("PredkRowery", s.PredkRowery);
    num("SygnalZolty", s.SygnalZolty);
    num("MaksPrzysp", s.MaksPrzysp);
    num("GranicaPromien", s.GranicaPromien);
    num("DlugoscAutobus", s.DlugoscAutobus);
    num("DlugoscTramwaj", s.DlugoscTramwaj);
    put("IloscWagonow", QString::number(s.IloscWagonow & 0xFF));
    num("PredkDojazdProsta2", s.PredkDojazdProsta2);
    num("PredkDojazdLuk2", s.PredkDojazdLuk2);
    num("PredkEwakProsta2", s.PredkEwakProsta2);
    num("PredkEwakLuk2", s.PredkEwakLuk2);
    num("MaksPrzyspAutobus", s.MaksPrzyspAutobus);
    num("MaksPrzyspTramwaj", s.MaksPrzyspTramwaj);
    num("PredkDojazdProsta3", s.PredkDojazdProsta3);
    num("PredkDojazdLuk3", s.PredkDojazdLuk3);
    num("PredkEwakProsta3", s.PredkEwakProsta3);
    num("PredkEwakLuk3", s.PredkEwakLuk3);
    put("SkalujTekst", QString::number(ConvertBoolToInt(s.SkalujTekst)));
}

QStringList LoadProgramSettings() {
    return LoadProgramSettings(Settings, AlwaysOnTop, IniFilePath, ProgramTitle());
}

void SaveProgramSettings() {
    SaveProgramSettings(Settings, IniFilePath, ProgramTitle());
}

}  // namespace common
