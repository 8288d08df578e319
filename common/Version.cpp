// The program's version text from the build's project version.
#include "common/Version.h"

#include <QStringList>

#ifndef TESMAR_VERSION
#define TESMAR_VERSION "0.0.0"
#endif

namespace common {

QString GetVersionText() {
    return FormatVersionText(QStringLiteral(TESMAR_VERSION));
}

QString FormatVersionText(const QString& version) {
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    QStringList out;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        qlonglong n = i < parts.size() ? parts[i].trimmed().toLongLong(&ok) : 0;
        out << QString::number(ok ? n : 0);
    }
    return out.join(QLatin1Char('.'));
}

}  // namespace common
