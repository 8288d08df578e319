// Lock files of the spreadsheet programs beside a workbook.
#include "automation/WorkbookLock.h"

#include "common/TextHelpers.h"
#include "platform/ui/core/Prompt.h"

#include <QDir>
#include <QFileInfo>

namespace automation {

QString WorkbookLockFile(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty()) return {};
    const QDir folder = info.absoluteDir();
    for (const QString& lock :
         {QStringLiteral(".~lock.") + name + QLatin1Char('#'), QStringLiteral("~$") + name}) {
        const QString candidate = folder.filePath(lock);
        if (QFileInfo::exists(candidate)) return candidate;
    }
    return {};
}

bool ConfirmWritingLockedWorkbook(const QString& path, const QString& title) {
    const QString lock = WorkbookLockFile(path);
    if (lock.isEmpty()) return true;
    const QString text =
        common::Tlumacz(QStringLiteral("Skoroszyt jest otwarty w innym programie (LibreOffice lub Excel):")) +
        QLatin1Char('\n') + QLatin1Char('[') + QDir::toNativeSeparators(path) + QLatin1Char(']') +
        QLatin1Char('\n') +
        common::Tlumacz(QStringLiteral("Zapisanie go teraz zastąpi plik, a zmiany zapisane później w tamtym "
                                       "programie zastąpią dane zapisane tutaj. Zamknij go najpierw w tamtym "
                                       "programie.")) +
        QLatin1Char('\n') + common::Tlumacz(QStringLiteral("Czy mimo to zapisać skoroszyt?"));
    return ui::MsgBox(text, ui::YesNo | ui::Question | ui::DefaultButton2, title) == ui::Yes;
}

}  // namespace automation
