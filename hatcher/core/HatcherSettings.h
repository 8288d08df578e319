// hatcher's entries of the persisted settings table: the six controls of the settings dialog.
#pragma once

namespace hatcher {

// Fills entries 0 to 5 of SettingBindings (search mode, layer set, label heights, scaled texts,
// crossing links). With the flag each entry's Value is its default (no INI file read).
void FillSettingBindings(bool withDefaultValues);

}  // namespace hatcher
