// The program's version text, "<Major>.<Minor>.<Revision>", as windows show it after " w.".
#pragma once

#include <QString>

namespace common {

// The version the suite was built with (the project version of the build).
QString GetVersionText();
// A version such as "02.0.15" or " 2.0.15.7" written as "2.0.15": three decimal parts without
// leading zeros or blanks; missing parts count as 0.
QString FormatVersionText(const QString& version);

}  // namespace common
