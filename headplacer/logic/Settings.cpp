// Loading and saving the settings of headplacer.
#include "headplacer/logic/Settings.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"

#include <algorithm>

namespace headplacer {

HeadPlacerSettingsRecord HeadPlacerSettings;

namespace {

QString get(const QString& key, const QString& def) {
    const QString v = common::GetIni(common::IniFilePath, SettingsSection(), key, def);
    return v.isEmpty() ? def : v;
}
void put(const QString& key, const QString& value) {
    common::PutIni(common::IniFilePath, SettingsSection(), key, value);
}
int getInt(const QString& key, int lo, int hi) {
    return std::clamp(common::ParseInteger(get(key, QStringLiteral("0"))), lo, hi);
}

}  // namespace

QString SettingsSection() {
    return QStringLiteral("OstatnioUzyte");
}

QString ProgramSection() {
    const QString t = common::ProgramTitle();
    return t.isEmpty() ? QStringLiteral("headplacer") : t;
}

void LoadDefaultDetector() {
    HeadPlacerSettings.DomyslnyDetektor = getInt(QStringLiteral("DomyslnyDetektor"), 0, 2);
}
int LoadFormatPR() {
    HeadPlacerSettings.FormatPR = getInt(QStringLiteral("FormatPR"), 0, 1);
    return HeadPlacerSettings.FormatPR;
}
int LoadLoopCrossSection() {
    return getInt(QStringLiteral("KsztPoprzPetli"), 0, 1);
}
void LoadSetLoops() {
    HeadPlacerSettings.CzyUstawPetle = getInt(QStringLiteral("CzyUstawPetle"), 0, 1);
}
void LoadHeadTextFont() {
    HeadPlacerSettings.CzcionkaOpisuSygnWys =
        get(QStringLiteral("CzcionkaOpisuSygnWys"), QStringLiteral("1"));
    HeadPlacerSettings.CzcionkaOpisuSygnSzer =
        get(QStringLiteral("CzcionkaOpisuSygnSzer"), QStringLiteral("0.73"));
}
void LoadDetectorTextFont() {
    HeadPlacerSettings.CzcionkaOpisuDetWys =
        get(QStringLiteral("CzcionkaOpisuDetWys"), QStringLiteral("0.5"));
    HeadPlacerSettings.CzcionkaOpisuDetSzer =
        get(QStringLiteral("CzcionkaOpisuDetSzer"), QStringLiteral("0.73"));
}
bool LoadConditionalDescriptions() {
    return common::ParseInteger(get(QStringLiteral("OpisyWarunkowych"), QStringLiteral("1"))) >= 1;
}
bool LoadAskInventoryNumber() {
    return common::ParseInteger(get(QStringLiteral("CzyPytNumInwSyg"), QStringLiteral("1"))) >= 1;
}
bool LoadScaleTexts() {
    return common::GetIni(common::IniFilePath, ProgramSection(), QStringLiteral("SkalujTekst"),
                          QStringLiteral("1")) == QLatin1String("1");
}

void SaveDefaultDetector() {
    put(QStringLiteral("DomyslnyDetektor"), QString::number(HeadPlacerSettings.DomyslnyDetektor));
}
void SaveFormatPR() {
    put(QStringLiteral("FormatPR"), QString::number(HeadPlacerSettings.FormatPR));
}
void SaveLoopCrossSection() {
    put(QStringLiteral("KsztPoprzPetli"), QString::number(HeadPlacerSettings.KsztPoprzPetli));
}
void SaveSetLoops() {
    put(QStringLiteral("CzyUstawPetle"), QString::number(HeadPlacerSettings.CzyUstawPetle));
}
void SaveHeadTextFont() {
    put(QStringLiteral("CzcionkaOpisuSygnWys"), HeadPlacerSettings.CzcionkaOpisuSygnWys);
    put(QStringLiteral("CzcionkaOpisuSygnSzer"), HeadPlacerSettings.CzcionkaOpisuSygnSzer);
}
void SaveDetectorTextFont() {
    put(QStringLiteral("CzcionkaOpisuDetWys"), HeadPlacerSettings.CzcionkaOpisuDetWys);
    put(QStringLiteral("CzcionkaOpisuDetSzer"), HeadPlacerSettings.CzcionkaOpisuDetSzer);
}
void SaveConditionalDescriptions(bool on) {
    put(QStringLiteral("OpisyWarunkowych"), on ? QStringLiteral("1") : QStringLiteral("0"));
}
void SaveAskInventoryNumber(bool on) {
    put(QStringLiteral("CzyPytNumInwSyg"), on ? QStringLiteral("1") : QStringLiteral("0"));
}
void SaveScaleTexts(bool on) {
    common::PutIni(common::IniFilePath, ProgramSection(), QStringLiteral("SkalujTekst"),
                   on ? QStringLiteral("1") : QStringLiteral("0"));
}

int LoadLastOrientation() {
    const int n = common::ParseInteger(get(QStringLiteral("Orientacja00"), QStringLiteral("1")));
    return n >= 1 && n <= 8 ? n : 1;
}
void SaveLastOrientation(int orientation) {
    put(QStringLiteral("Orientacja00"), QString::number(orientation));
}

}  // namespace headplacer
