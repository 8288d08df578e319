// hatcher's entries of the persisted settings table.
#include "hatcher/core/HatcherSettings.h"

#include "common/SettingBindings.h"

namespace hatcher {

void FillSettingBindings(bool withDefaultValues) {
    const struct {
        const char *control, *key, *value;
        int kind;
        const char* section;
    } rows[] = {{"optWarstwy", "optWarstwy", "0", common::KindOptionArray, ""},
                {"cmbZestaw", "cmbZestaw", "0", common::KindListIndex, ""},
                {"edtFazaWys", "edtFazaWys", "5", common::KindText, ""},
                {"edtPrzejscieWys", "edtPrzejscieWys", "4", common::KindText, ""},
                {"chkTextScaled", "SkalowaneOpisy", "1", common::KindCheckBox, ""},
                {"chkPowiazania", "chkPowiazania", "1", common::KindCheckBox, "Ogolne"}};
    for (int i = 0; i < 6; ++i) {
        common::SettingBinding& b = common::SettingBindings[size_t(i)];
        b = {};
        b.FormName = QStringLiteral("frmKonfig");
        b.ControlName = QLatin1String(rows[i].control);
        b.Kind = rows[i].kind;
        b.Key = QLatin1String(rows[i].key);
        b.Default = QLatin1String(rows[i].value);
        b.Section = QLatin1String(rows[i].section);
        if (withDefaultValues)
            b.Value = rows[i].kind == common::KindText ? QVariant(b.Default) : QVariant(b.Default.toInt());
    }
}

}  // namespace hatcher
