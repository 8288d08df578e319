// Program settings of conflictor: default kinematic values of the stream kinds, amber time, radius
// limit, layer numbers and pens of what it draws, length-text size and a few switches. Loaded at
// start-up from the program's section of Tesmar.ini, written back by the settings dialog's OK.
// Fields carry the INI key names; the "NaWierzchu" setting is the global AlwaysOnTop (common/Ini.h).
#pragma once

#include <QString>
#include <QStringList>

namespace common {

struct ProgramSettings {
    // Fixed values, never read from the file.
    QString StreamLayerName = QStringLiteral("113-STRUMIENIE_RUCHU");
    QString ConflictPointLayerName = QStringLiteral("114-PUNKTY_KOLIZJI");
    int PisakStrumieni = 256;  // pen of the stream blocks (ByLayer)
    int PisakZaznaczenia = 3;  // pen of selected streams
    int CrossingLinkPen = 80;  // colour of highlighted crossing links

    bool SkalujTekst = true;
    int WarstwaStrumieni = 0;  // written, never read: set by the settings dialog
    int WarstwaPunkty = 114;
    int PisakPunkty = 15;
    int PisakDlugosci = 1;
    double DlugosciTekstWysokosc = 0.5;
    double DlugosciTekstSzerokosc = 1.3;
    bool AutoZaznaczNowe = false;
    double DlugoscPojazd = 10;
    double PredkDojazdProsta = 13.89;
    double PredkDojazdLuk = 13.89;
    double PredkEwakProsta = 11.11;
    double PredkEwakLuk = 11.11;
    double PredkPiesi = 1.4;
    double PredkRowery = 2.8;
    double SygnalZolty = 3;
    double MaksPrzysp = 3.5;
    double GranicaPromien = 50;
    double DlugoscAutobus = 14;
    double DlugoscTramwaj = 13.5;
    int IloscWagonow = 2;  // one byte: 0 to 255
    // A tram is measured as its whole composition: the stream rows and the workbook header agree.
    double TramLength() const { return DlugoscTramwaj * IloscWagonow; }
    double PredkDojazdProsta2 = 13.89;
    double PredkDojazdLuk2 = 13.89;
    double PredkEwakProsta2 = 10;
    double PredkEwakLuk2 = 10;
    double MaksPrzyspAutobus = 2;
    double MaksPrzyspTramwaj = 1.2;
    double PredkDojazdProsta3 = 13.89;
    double PredkDojazdLuk3 = 13.89;
    double PredkEwakProsta3 = 10;
    double PredkEwakLuk3 = 10;
};

// The program's settings for the whole run.
extern ProgramSettings Settings;

// Fixed values, then every key from IniFilePath, section ProgramTitle(); also sets AlwaysOnTop.
// A value that is no number, or one outside the settings dialog's range (common/SettingRanges.h),
// reads as its default; the returned messages (Polish) name each such key, its value and the file,
// and say when the file could not be read at all.
QStringList LoadProgramSettings();
// Every setting except NaWierzchu into IniFilePath, section ProgramTitle(); numbers as ".5", "13.89".
void SaveProgramSettings();

// The same on a given record, file and section (NaWierzchu goes to/from `alwaysOnTop`).
QStringList LoadProgramSettings(ProgramSettings& settings, bool& alwaysOnTop, const QString& iniPath,
                                const QString& section);
void SaveProgramSettings(const ProgramSettings& settings, const QString& iniPath, const QString& section);

}  // namespace common
