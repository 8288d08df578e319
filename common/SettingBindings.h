// The table of persisted dialog controls and plain values: each program fills it at start-up, the
// windows load and save their bound controls through it (common/ui/FormControlSettings.h), and other
// code reads a setting's current Value from it.
#pragma once

#include <QString>
#include <QVariant>
#include <array>

namespace common {

// Kind of a bound value.
enum SettingKind : int {
    KindCheckBox = 0,      // check box state 0/1/2 (Integer)
    KindOptionArray = 1,   // index of the set option button of an array (Integer)
    KindText = 2,          // text of a text box, or of element Index of a text-box array (String)
    KindListIndex = 3,     // current index of a list or combo box (Integer)
    KindControlValue = 4,  // value of another control, held as text (String)
    KindInteger = 5,       // Integer without a control
    KindLong = 6,          // Long without a control
    KindString = 7,        // String without a control
};

struct SettingBinding {
    QString FormName;     // object name of the window that owns the control
    QString ControlName;  // object name of the control; empty for kinds 5 to 7
    int Kind = 0;         // SettingKind
    QString Key;          // INI key; an entry with an empty key ends the table
    QVariant Value;       // current value: int for kinds 0, 1, 3, 5, 6; QString for 2, 4, 7
    QString Default;      // text used when the INI file has no such key
    int Index = 0;        // element of a control array (kind 2 with IsArray)
    bool IsArray = false;
    QString Section;  // INI section; empty: SettingsDefaultSection
};

constexpr int kSettingBindingCount = 101;  // indexes 0 to 100
extern std::array<SettingBinding, kSettingBindingCount> SettingBindings;
// Section of entries that name none; LoadFormControlSettings sets it to the program's title.
extern QString SettingsDefaultSection;

// The program's title: the application name each program sets at start-up.
QString ProgramTitle();

}  // namespace common
