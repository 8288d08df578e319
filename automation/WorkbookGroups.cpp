// Reading the group list of the intergreen workbook.
#include "automation/WorkbookGroups.h"

#include "common/TextHelpers.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <QRegularExpression>
#include <algorithm>

namespace automation {

bool WorkbookNewLayout = false;
int WorkbookHeaderRow = 6;
QStringList GroupHeadTexts;

namespace {

// Leading decimal digits as a number; -1 when there are none.
int leadingNumber(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i].isDigit()) ++i;
    if (i == 0) return -1;
    bool ok = false;
    const int v = text.left(qMin(i, 9)).toInt(&ok);
    return ok ? v : -1;
}

// Layout versions compare as whole numbers, major then minor: 2.10 comes after 2.6.
bool isNewLayoutVersion(const QString& versionText) {
    const QString t = versionText.trimmed();
    const int sep = t.indexOf(QRegularExpression(QStringLiteral("[.,]")));
    const int major = leadingNumber(sep < 0 ? t : t.left(sep));
    if (major < 0) return false;
    const int minor = sep < 0 ? 0 : qMax(0, leadingNumber(t.mid(sep + 1)));
    return major > 2 || (major == 2 && minor >= 6);
}

}  // namespace

int DetectWorkbookLayout(const sheet::Workbook& workbook) {
    WorkbookNewLayout = false;
    QString subject;
    try {
        subject = workbook.builtinDocumentProperty(QStringLiteral("Subject"));
    } catch (const std::exception&) {
        // Without readable document properties the workbook carries no version for this program:
        // it is taken in the old layout, as every workbook written before version 2.6 is.
    }
    const QString stem = QStringLiteral("wersja ");
    if (subject.startsWith(stem) && isNewLayoutVersion(subject.mid(stem.size()))) WorkbookNewLayout = true;
    return WorkbookNewLayout ? 7 : 6;
}

int ReadGroupHeadList(sheet::Worksheet& worksheet, int& column, bool quiet, const QString& messageTitle,
                      const sheet::Workbook& workbook) {
    WorkbookHeaderRow = DetectWorkbookLayout(workbook);
    const int header = WorkbookHeaderRow;

    int count = 0;
    while (!worksheet.range(QStringLiteral("A") + QString::number(header + 1 + count)).text().isEmpty())
        ++count;

    // At least 50 columns from the start, and on to the last used one: the list moves right by one
    // column per group above 12, so a workbook of 60 groups or more has it past the first 50.
    const int start = column;
    const int last = std::max(start + 49, worksheet.usedRect().col2);
    column = 0;
    for (int c = start; c <= last; ++c) {
        if (c < 1) continue;
        const sheet::Value v = worksheet.cells(header, c).value();
        if (v.isText() && v.text() == QLatin1String("Gr")) {
            column = c;
            break;
        }
    }
    if (column == 0) return count;

    // One entry per group row, filled in order; a read stopped by an empty field leaves the rest empty.
    GroupHeadTexts = QStringList(count);
    column += 1;
    for (int i = 0; i < count; ++i) {
        const QString text = worksheet.cells(header + 1 + i, column).value().toString();
        if (text.trimmed().isEmpty()) {
            if (!quiet) {
                ui::MsgBox(common::Tlumacz(QStringLiteral("Błąd w danych arkusza Excel!")) +
                               QLatin1Char('\n') +
                               common::Tlumacz(
                                   QStringLiteral("Puste pole w kolumnie \"Wykaz grupa - sygnalizator\"!")),
                           ui::OkOnly | ui::Critical, messageTitle);
            }
            return 0;
        }
        GroupHeadTexts[i] = text;
    }
    return count;
}

}  // namespace automation
