// The export commands of frmMain, their menu and toolbar rows, and the hidden XML export button.
#include "conflictor/mainwindow/ExportCommands.h"

#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/IntergreenExport.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/conflicts/StreamsXml.h"
#include "conflictor/mainwindow/ConflictorWindow.h"

#include <QDesktopServices>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace conflictor {

void mnuNarzedzia_EksportExcel(ConflictorWindow& window) {
    IntergreenExportOptions options;
    options.ResourceFolder = window.ResourceFolder;
    options.OpenSavedWorkbook = OpenInSpreadsheetApplication;
    // Conflict points older than the streams: the engineer may cut at once and export after it.
    options.CutAgain = [] { return CutStreams(true) == CutOutcome::Done; };
    mnuNarzedzia_EksportExcel_Click(options);
}

void mnuNarzedzia_EksportExcelFazy(ConflictorWindow&) {
    mnuNarzedzia_EksportExcelFazy_Click();
}

void Command1_Click(ConflictorWindow&) {
    ExportStreamsXml();
}

void OpenInSpreadsheetApplication(const QString& path) {
    // Only when the desktop names an application for workbooks; otherwise the file just stays saved.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return;
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"),
                 QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(3000) || query.readAllStandardOutput().trimmed().isEmpty()) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

const std::vector<CommandRow>& ExportCommandRows() {
    using E = EnabledWhen;
    static const std::vector<CommandRow> rows{
        {"mnuNarzedzia", "mnuNarzedzia_Eksport", "&Eksport danych do programu Excel", nullptr, nullptr,
         nullptr, E::Always},
        {"mnuNarzedzia_Eksport", "mnuNarzedzia_EksportExcel", "Eksport danych", nullptr, nullptr,
         mnuNarzedzia_EksportExcel, E::StreamSelected},
        {"mnuNarzedzia_Eksport", "mnuNarzedzia_EksportExcelFazy", "Eksport informacji o fazach", nullptr,
         nullptr, mnuNarzedzia_EksportExcelFazy, E::Always},
    };
    return rows;
}

const std::vector<ToolButtonRow>& ExportToolButtonRows() {
    static const std::vector<ToolButtonRow> rows{
        {"tlbPrzyciski2", "EksportExcel", "mnuNarzedzia_EksportExcel", "Eksport danych do programu Excel",
         ":/icons/eksport-excel.svg", EnabledWhen::StreamSelected},
        {"tlbPrzyciski2", "SeparatorEksport", nullptr, nullptr, nullptr},
    };
    return rows;
}

const std::vector<ToolButtonMenuRow>& ExportToolButtonMenuRows() {
    static const std::vector<ToolButtonMenuRow> rows{
        {"EksportExcel", "EksportExcel", "mnuNarzedzia_EksportExcel", "Eksport danych"},
        {"EksportExcel", "EksportExcelFazy", "mnuNarzedzia_EksportExcelFazy", "Eksport informacji o fazach"},
    };
    return rows;
}

void AddExportDeveloperButton(ConflictorWindow& window) {
    auto* button = new QPushButton(QStringLiteral("xx export test"), &window);
    button->setObjectName(QStringLiteral("Command1"));
    button->setVisible(false);
    QObject::connect(button, &QPushButton::clicked, &window, [&window] { Command1_Click(window); });
}

}  // namespace conflictor
