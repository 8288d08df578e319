// Loading and saving bound dialog controls through the SettingBindings table.
#include "common/ui/FormControlSettings.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextEdit>
#include <QWidget>
#include <cmath>
#include <map>

namespace common {

namespace {

QWidget* findControl(QWidget* window, const QString& name) {
    QWidget* control = window->findChild<QWidget*>(name);
    if (!control)
        qWarning("Bound control %s not found on window %s", qUtf8Printable(name),
                 qUtf8Printable(window->objectName()));
    return control;
}

// Elements of a control array by index: "<name>_<i>", or "<name>" with the dynamic property "index".
std::map<int, QWidget*> arrayElements(QWidget* window, const QString& name) {
    std::map<int, QWidget*> elements;
    const QRegularExpression indexed(QLatin1Char('^') + QRegularExpression::escape(name) +
                                     QStringLiteral("_(\\d+)$"));
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* w : children) {
        const QString objectName = w->objectName();
        if (objectName == name) {
            QVariant index = w->property("index");
            if (index.isValid()) elements.emplace(index.toInt(), w);
            continue;
        }
        auto match = indexed.match(objectName);
        if (match.hasMatch()) elements.emplace(match.captured(1).toInt(), w);
    }
    return elements;
}

QWidget* arrayElement(QWidget* window, const QString& name, int index) {
    auto elements = arrayElements(window, name);
    auto it = elements.find(index);
    if (it == elements.end()) {
        qWarning("Bound control %s(%d) not found on window %s", qUtf8Printable(name), index,
                 qUtf8Printable(window->objectName()));
        return nullptr;
    }
    return it->second;
}

int lastIndexOf(const std::map<int, QWidget*>& elements) {
    return elements.empty() ? -1 : elements.rbegin()->first;
}

void setButtonChecked(QAbstractButton* button, bool checked) {
    if (!checked && button->isChecked() && button->autoExclusive()) {
        // An exclusive button refuses to be cleared directly.
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
        return;
    }
    button->setChecked(checked);
}

void setCheckValue(QWidget* control, int value) {
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        if (value == 2) {
            box->setTristate(true);
            box->setCheckState(Qt::PartiallyChecked);
        } else {
            box->setCheckState(value == 0 ? Qt::Unchecked : Qt::Checked);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        setButtonChecked(button, value != 0);
    }
}

int checkValue(QWidget* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        switch (box->checkState()) {
            case Qt::Unchecked:
                return 0;
            case Qt::PartiallyChecked:
                return 2;
            default:
                return 1;
        }
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->isChecked() ? 1 : 0;
    return 0;
}

void setText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        rich->setPlainText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(combo->findText(text));
    } else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

QString text(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(control)) return rich->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    return QString();
}

int listCount(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->count();
    if (auto* list = qobject_cast<QListWidget*>(control)) return list->count();
    if (auto* view = qobject_cast<QAbstractItemView*>(control))
        return view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
    return 0;
}

int listIndex(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(control)) return list->currentRow();
    if (auto* view = qobject_cast<QAbstractItemView*>(control))
        return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
    return -1;
}

void setListIndex(QWidget* control, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setCurrentIndex(index);
    else if (auto* list = qobject_cast<QListWidget*>(control))
        list->setCurrentRow(index);
    else if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
        if (view->model()) view->setCurrentIndex(view->model()->index(index, 0, view->rootIndex()));
    }
}

void setControlValue(QWidget* control, const QString& value) {
    if (auto* date = qobject_cast<QDateTimeEdit*>(control)) {
        QDateTime when = QDateTime::fromString(value, Qt::ISODate);
        if (when.isValid()) date->setDateTime(when);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(ParseLong(value));
    else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(control))
        dspin->setValue(ParseDouble(value));
    else if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        slider->setValue(ParseLong(value));
    else if (qobject_cast<QAbstractButton*>(control))
        setCheckValue(control, ParseInteger(value));
    else
        qWarning("Control %s has no value", qUtf8Printable(control->objectName()));
}

QString controlValue(QWidget* control) {
    if (auto* date = qobject_cast<QDateTimeEdit*>(control)) return date->dateTime().toString(Qt::ISODate);
    if (auto* spin = qobject_cast<QSpinBox*>(control)) return QString::number(spin->value());
    if (auto* dspin = qobject_cast<QDoubleSpinBox*>(control)) return FormatPlainNumber(dspin->value());
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) return QString::number(slider->value());
    if (qobject_cast<QAbstractButton*>(control)) return QString::number(checkValue(control));
    return QString();
}

void applyValue(QWidget* window, const SettingBinding& entry, const QVariant& value) {
    switch (entry.Kind) {
        case KindCheckBox:
            if (QWidget* c = findControl(window, entry.ControlName)) setCheckValue(c, value.toInt());
            break;
        case KindOptionArray: {
            auto elements = arrayElements(window, entry.ControlName);
            int last = lastIndexOf(elements);
            int set = value.toInt() > last ? 0 : value.toInt();
            for (auto& [i, w] : elements)
                if (auto* button = qobject_cast<QAbstractButton*>(w); button && i != set)
                    setButtonChecked(button, false);
            if (auto it = elements.find(set); it != elements.end())
                if (auto* button = qobject_cast<QAbstractButton*>(it->second)) setButtonChecked(button, true);
            break;
        }
        case KindText:
            if (entry.ControlName.isEmpty()) break;
            if (QWidget* c = entry.IsArray ? arrayElement(window, entry.ControlName, entry.Index)
                                           : findControl(window, entry.ControlName))
                setText(c, value.toString());
            break;
        case KindListIndex:
            if (QWidget* c = findControl(window, entry.ControlName)) {
                int count = listCount(c);
                if (count > 0) {
                    int index = value.toInt() < count ? value.toInt() : 0;
                    setListIndex(c, index < 0 ? 0 : index);
                    if (listIndex(c) < 0) setListIndex(c, 0);
                }
            }
            break;
        case KindControlValue:
            if (entry.ControlName.isEmpty()) break;
            if (QWidget* c = findControl(window, entry.ControlName)) setControlValue(c, value.toString());
            break;
        default:
            break;  // kinds 5 to 7 have no control
    }
}

// The value read back from the bound control; the stored value when there is no control to read.
QVariant readValue(QWidget* window, const SettingBinding& entry) {
    switch (entry.Kind) {
        case KindCheckBox:
            if (QWidget* c = findControl(window, entry.ControlName)) return checkValue(c);
            break;
        case KindOptionArray: {
            for (auto& [i, w] : arrayElements(window, entry.ControlName))
                if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isChecked()) return i;
            return 0;
        }
        case KindText:
            if (entry.ControlName.isEmpty()) break;
            if (QWidget* c = entry.IsArray ? arrayElement(window, entry.ControlName, entry.Index)
                                           : findControl(window, entry.ControlName))
                return text(c);
            break;
        case KindListIndex:
            if (QWidget* c = findControl(window, entry.ControlName)) return listIndex(c);
            break;
        case KindControlValue:
            if (entry.ControlName.isEmpty()) break;
            if (QWidget* c = findControl(window, entry.ControlName)) return controlValue(c);
            break;
        default:
            break;
    }
    return entry.Value;
}

QString sectionOf(const SettingBinding& entry) {
    return entry.Section.isEmpty() ? SettingsDefaultSection : entry.Section;
}

QString textForm(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QString();
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
        return QString::number(value.toLongLong());
    if (value.typeId() == QMetaType::Double) return FormatPlainNumber(value.toDouble());
    if (value.typeId() == QMetaType::Bool) return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return value.toString();
}

}  // namespace

void LoadFormControlSettings(QWidget* window, bool fromTable) {
    SettingsDefaultSection = ProgramTitle();
    const QString windowName = window ? window->objectName() : QString();
    for (int i = 0; i < kSettingBindingCount && !SettingBindings[i].Key.isEmpty(); ++i) {
        SettingBinding& entry = SettingBindings[i];
        QVariant value;
        if (fromTable) {
            value = entry.Value;
        } else {
            QString text = GetIni(IniFilePath, sectionOf(entry), entry.Key, entry.Default);
            switch (entry.Kind) {
                case KindCheckBox:
                case KindOptionArray:
                case KindListIndex:
                case KindInteger:
                    value = ParseInteger(text);
                    break;
                case KindLong:
                    value = ParseLong(text);
                    break;
                default:
                    value = text;
                    break;
            }
        }
        if (window && entry.FormName == windowName) applyValue(window, entry, value);
        entry.Value = value;
    }
}

void SaveFormControlSettings(QWidget* window, bool toTableOnly) {
    const QString windowName = window ? window->objectName() : QString();
    for (int i = 0; i < kSettingBindingCount && !SettingBindings[i].Key.isEmpty(); ++i) {
        SettingBinding& entry = SettingBindings[i];
        bool own = window && entry.FormName == windowName;
        if (!own && toTableOnly) continue;
        QVariant value = own ? readValue(window, entry) : entry.Value;
        // The table always takes this window's values: code reads settings from it, and a later save of
        // another window writes the table, which must not put back what this window replaced in the file.
        if (own) entry.Value = value;
        if (!toTableOnly) PutIni(IniFilePath, sectionOf(entry), entry.Key, textForm(value));
    }
}

}  // namespace common
