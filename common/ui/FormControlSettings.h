// Loading and saving the values of bound dialog controls (SettingBindings) through Tesmar.ini.
// Windows and controls are found by object name: the window's objectName is the binding's FormName,
// the control is a descendant whose objectName is ControlName. An element i of a control array (option
// buttons, text boxes) is the descendant named "<ControlName>_<i>", or one named ControlName whose
// dynamic property "index" is i.
// Controls by kind: check box (QAbstractButton, tristate value 0/1/2); option array (QAbstractButton);
// text (QLineEdit, QPlainTextEdit, QTextEdit, QComboBox, QLabel); list index (QComboBox, QListWidget or
// any QAbstractItemView); value of another control (QAbstractButton 0/1, QAbstractSlider, QSpinBox,
// QDoubleSpinBox, QDateTimeEdit as ISO text). A bound control that is missing is skipped with a warning.
#pragma once

class QWidget;

namespace common {

// Refreshes every entry's Value (from the INI file, or the stored Value when fromTable) and sets the
// bound controls of this window. Sets SettingsDefaultSection to the program's title first.
void LoadFormControlSettings(QWidget* window, bool fromTable);
// Reads this window's bound controls back into the table; unless toTableOnly, every entry's value is then
// written to IniFilePath as well.
void SaveFormControlSettings(QWidget* window, bool toTableOnly);

}  // namespace common
