// Phase export: finds the workbook, checks that it is the intergreen workbook of this intersection,
// reads its group list, clears and writes only the phase cells and saves it after asking.
#include "conflictor/conflicts/PhaseExport.h"

#include "automation/WorkbookGroups.h"
#include "automation/WorkbookLock.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/phases/PhaseSets.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <memory>

namespace conflictor {

QString LastIntergreenWorkbook;

namespace {

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

void warn(const QString& text) {
    ui::MsgBox(text, ui::Exclamation, MainWindow().caption());
}

// Worksheet 2 named as the template names it, and the intersection number the workbook was made for.
bool isIntergreenWorkbookOf(sheet::Workbook& book, const QString& nr) {
    if (book.worksheetCount() < 2) return false;
    if (!book.worksheets(2).name().toUpper().startsWith(QStringLiteral("MATRYCA KOLIZJI"))) return false;
    QString number = book.worksheets(2).cells(2, 7).value().toString().trimmed();
    if (number.isEmpty()) number = book.worksheets(1).cells(2, 3).value().toString().trimmed();
    return number.compare(nr.trimmed(), Qt::CaseInsensitive) == 0;
}

struct FileStamp {
    QDateTime modified;
    qint64 size = -1;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.lastModified(), info.exists() ? info.size() : -1};
}

}  // namespace

PhaseExportOutcome ExportPhasesToWorkbook(const QString& path) {
    StreamWindow& window = MainWindow();
    sheet::Application app;
    QString file = path;
    if (file.isEmpty() && !LastIntergreenWorkbook.isEmpty() && QFileInfo(LastIntergreenWorkbook).isFile() &&
        ui::MsgBox(T("Czy informacje o fazach eksportować do otwartego skoroszytu?") +
                       QStringLiteral("\r\n") + LastIntergreenWorkbook,
                   ui::YesNo | ui::Question, window.caption()) == ui::Yes)
        file = LastIntergreenWorkbook;
    if (file.isEmpty()) {
        const std::optional<QString> chosen = app.getOpenFilename();
        if (!chosen || chosen->isEmpty()) return PhaseExportOutcome::Cancelled;
        file = *chosen;
    }

    FileStamp stamp = stampOf(file);
    sheet::Workbook* book = nullptr;
    try {
        book = &app.workbooks().open(file);
    } catch (const std::exception& e) {
        warn(T("Nie można otworzyć skoroszytu:") + QStringLiteral("\r\n") + file + QStringLiteral("\r\n") +
             QString::fromUtf8(e.what()));
        return PhaseExportOutcome::Failed;
    }
    if (!isIntergreenWorkbookOf(*book, IntersectionNumber)) {
        warn(T("Wybrany skoroszyt nie jest skoroszytem czasów międzyzielonych skrzyżowania ") +
             IntersectionNumber + QStringLiteral(":\r\n") + file);
        return PhaseExportOutcome::NotIntergreenWorkbook;
    }

    sheet::Worksheet& ws = book->worksheets(2);
    window.setBusyCursor(true);
    ws.activate();
    int column = 14;
    const int groups = automation::ReadGroupHeadList(ws, column, true, window.caption(), *book);
    if (groups < 1 || column < 1) {
        window.setBusyCursor(false);
        warn(T("W skoroszycie nie znaleziono wykazu grup (nagłówek \"Gr\")."));
        return PhaseExportOutcome::NoGroupList;
    }
    const int firstRow = 8;
    // Only the cells of the phase lists and the phase sets are cleared: the group rows, and at least
    // the two rows of sets the export writes; the crossing table below stays.
    const int lastRow = std::max(firstRow - 1 + groups, firstRow + 1);
    WriteGroupPhaseLists(ws, firstRow, column + 4, lastRow - firstRow, 0);
    ws.range(ws.cells(firstRow, column + 6), ws.cells(lastRow, column + 7)).clearContents();
    QStringList sets;
    const int r = StworzZestawyFaz(sets);
    for (int i = 0; i <= r; ++i) {
        ws.cells(firstRow + i, column + 6).setValue(QStringLiteral("V.") + QString::number(i + 1));
        ws.cells(firstRow + i, column + 7).setValue(sets.value(i));
    }
    window.setBusyCursor(false);

    if (ui::MsgBox(T("Czy zapisać informacje o fazach w skoroszycie:") + QStringLiteral("\r\n") + common::ShortForMessage(file) +
                       QStringLiteral("?"),
                   ui::YesNo | ui::Question, window.caption()) != ui::Yes)
        return PhaseExportOutcome::NotSaved;
    if (!automation::ConfirmWritingLockedWorkbook(file, window.caption()))
        return PhaseExportOutcome::NotSaved;
    if (!(stampOf(file) == stamp)) {
        warn(T("Skoroszyt został zmieniony na dysku po jego wczytaniu; informacje o fazach nie zostały "
               "zapisane.") +
             QStringLiteral("\r\n") + file);
        return PhaseExportOutcome::ChangedOnDisk;
    }
    try {
        book->save();
    } catch (const std::exception& e) {
        warn(T("Nie można zapisać skoroszytu:") + QStringLiteral("\r\n") + file + QStringLiteral("\r\n") +
             QString::fromUtf8(e.what()));
        return PhaseExportOutcome::Failed;
    }
    return PhaseExportOutcome::Saved;
}

void mnuNarzedzia_EksportExcelFazy_Click() {
    ExportPhasesToWorkbook();
}

}  // namespace conflictor
