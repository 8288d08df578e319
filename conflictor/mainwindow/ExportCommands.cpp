// The export commands of frmMain and the hidden XML export button.
#include "conflictor/mainwindow/ExportCommands.h"

#include "common/TextHelpers.h"
#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/conflicts/StreamsXml.h"
#include "conflictor/mainwindow/CommandContext.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace conflictor {

void mnuNarzedzia_EksportExcel(CommandContext& context) {
    IntergreenExportOptions options;
    options.ResourceFolder = context.ResourceFolder;
    // Conflict points older than the streams: the engineer may cut at once and export after it.
    if (context.OfferCutOnStaleExport) options.CutAgain = [] { return CutStreams(true) == CutOutcome::Done; };
    // The saved workbook is shown once the export's band and hourglass are gone.
    context.SavedWorkbook = mnuNarzedzia_EksportExcel_Click(options);
    if (!context.SavedWorkbook.isEmpty() && context.ShowSavedWorkbook)
        context.ShowSavedWorkbook(context.SavedWorkbook);
}

void mnuNarzedzia_EksportExcelFazy(CommandContext& context) {
    context.PhaseExport = ExportPhasesToWorkbook(context.PhaseWorkbook);
}

bool OpenInSpreadsheetApplication(const QString& path) {
    // Only when the desktop names an application for workbooks: without one the desktop would offer
    // some other program or nothing at all.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return false;
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"),
                 QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(3000) || query.readAllStandardOutput().trimmed().isEmpty()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowSavedWorkbook(const QString& title, const QString& path) {
    if (OpenInSpreadsheetApplication(path)) return;
    ui::MsgBox(common::Tlumacz(QStringLiteral("Dane zapisano w skoroszycie:")) + QStringLiteral("\n") +
                   QDir::toNativeSeparators(path) + QStringLiteral("\n\n") +
                   common::Tlumacz(QStringLiteral("Żaden program arkusza kalkulacyjnego nie otworzył go; "
                                                  "można go otworzyć z tego miejsca.")),
               ui::Information, title);
}

void AddExportDeveloperButton(ConflictorWindow& window) {
    auto* button = new QPushButton(QStringLiteral("xx export test"), &window);
    button->setObjectName(QStringLiteral("Command1"));
    button->setVisible(false);
    QObject::connect(button, &QPushButton::clicked, &window, [] { ExportStreamsXml(); });
}

}  // namespace conflictor
