// The main window frmMain of hatcher: start-up, intersections, layer list, commands and shut-down.
#include "hatcher/app/MainWindow.h"

#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/PathHelpers.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "common/Version.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "hatcher/app/ConfigDialog.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/HatcherSettings.h"
#include "hatcher/core/LayerSets.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace hatcher {

using common::Tlumacz;

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tesmar Schemat faz"));
    auto* grid = new QGridLayout(this);
    auto* labNo = new QLabel(Tlumacz(QStringLiteral("Nr skrzyż.:")), this);
    labNo->setObjectName(QStringLiteral("labNo"));
    cmbNo_ = new QComboBox(this);
    cmbNo_->setObjectName(QStringLiteral("cmbNo"));
    auto* refresh = new QToolButton(this);
    refresh->setObjectName(QStringLiteral("cmdPobierzSkrzyzowania"));
    refresh->setText(QStringLiteral("⟳"));
    refresh->setToolTip(Tlumacz(QStringLiteral("Pobierz listę warstw")));
    grid->addWidget(labNo, 0, 0);
    grid->addWidget(cmbNo_, 0, 1);
    grid->addWidget(refresh, 0, 2);
    lstWarstwy_ = new QListWidget(this);
    lstWarstwy_->setObjectName(QStringLiteral("lstWarstwy"));
    grid->addWidget(lstWarstwy_, 6, 0, 1, 3);
    labStatus_ = new QLabel(this);
    labStatus_->setObjectName(QStringLiteral("labStatus"));
    labLiczba_ = new QLabel(this);
    labLiczba_->setObjectName(QStringLiteral("labLiczba"));
    pbPostep_ = new QProgressBar(this);
    pbPostep_->setObjectName(QStringLiteral("pbPostep"));
    pbPostep_->setTextVisible(false);
    grid->addWidget(labStatus_, 7, 0, 1, 2);
    grid->addWidget(labLiczba_, 7, 2);
    grid->addWidget(pbPostep_, 8, 0, 1, 3);
    // The command buttons, from the table's rows in their order and at their places.
    for (const CommandRow& row : CommandTable()) {
        auto* b = new QPushButton(Tlumacz(QString::fromUtf8(row.caption)), this);
        b->setObjectName(QLatin1String(row.id));
        grid->addWidget(b, row.row, row.column, 1, row.columnSpan);
        if (!row.shown) b->hide();
        if (row.heldWhileBusy) held_ << b;
        connect(b, &QPushButton::clicked, this, [this, id = QString::fromLatin1(row.id)] { RunCommand(id); });
    }
    // Tab goes top to bottom, left to right through the grid, whatever order the widgets were made in.
    QMap<std::pair<int, int>, QWidget*> focusOrder;
    for (int i = 0; i < grid->count(); ++i) {
        int r = 0, c = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &r, &c, &rowSpan, &columnSpan);
        if (QWidget* w = grid->itemAt(i)->widget(); w && (w->focusPolicy() & Qt::TabFocus)) focusOrder.insert({r, c}, w);
    }
    const QList<QWidget*> chain = focusOrder.values();
    for (qsizetype i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);

    connect(refresh, &QToolButton::clicked, this, [this] {
        try {
            if (!automation::CheckDocumentOpen(true)) return;
        } catch (const cad::Error& e) {
            ui::MsgBox(e.message(), ui::Exclamation, windowTitle());  // the CAD went away
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        DodajSkrzyzowania();
        QApplication::restoreOverrideCursor();
    });
}

bool MainWindow::Form_Load() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    statusText = Tlumacz(QStringLiteral("Oczekiwanie na akcję użytkownika ..."));
    const QString resources = GetTemplateFolder(GetSuiteFolder(programFolder), 0);
    common::SetHelpFolder(common::JoinPath(resources, QStringLiteral("Pomoc")));
    common::SetHelpContext(this, 10014);  // F1 opens the page of this window
    common::IniFilePath = common::IniFileLocation(programFolder);
    if (const QString problem = common::UnusableIniMessage(common::IniFilePath); !problem.isEmpty())
        ui::MsgBox(problem, ui::Exclamation, windowTitle());
    common::TranslateFormCaptions(this, 0);
    labLiczba_->clear();
    labStatus_->setText(statusText);
    LayerSetsFilePath = common::JoinPath(programFolder, QStringLiteral("zestawy_warstw.txt"));
    QStringList problems;
    ReadLayerSets(LayerSetsFilePath, LayerSets, &problems);
    FillSettingBindings(false);
    common::LoadFormControlSettings(this, false);
    FillLayerSetList();
    transitionTemplatePath = common::JoinPath(resources, QStringLiteral("dyn_wzorzec.dwg"));
    if (!problems.isEmpty())
        ui::MsgBox(Tlumacz(QStringLiteral("Plik zestawów warstw zawiera błędy:")) + QStringLiteral("\n") +
                       problems.mid(0, 10).join(QStringLiteral("\n")) +
                       (problems.size() > 10 ? QStringLiteral("\n…") : QString()) + QStringLiteral("\n[") +
                       LayerSetsFilePath +
                       QStringLiteral("]"),
                   ui::Exclamation, windowTitle());
    automation::CadApplication = automation::ConnectToAutoCad(false);
    if (automation::CadApplication.isNull()) return false;
    try {
        automation::CadApplication.setVisible(true);
    } catch (const cad::Error&) {
        // A CAD that cannot show itself still serves the drawing; the user brings its window up.
        // A host gone already fails the reading of the intersections below, which says so.
    }
    common::LoadFormPosition(this, objectName());
    if (automation::CheckDocumentOpen(true)) DodajSkrzyzowania();
    show();
    QCoreApplication::processEvents();
    setWindowTitle(Tlumacz(QStringLiteral("Tesmar Schemat faz")) + Tlumacz(QStringLiteral(" w.")) +
                   common::GetVersionText());
    return true;
}

void MainWindow::DodajSkrzyzowania() {
    cmbNo_->clear();
    try {
        automation::HelperSelectionSet set(QStringLiteral("SSAtrStrum"));
        set->select(cad::SelectionSet::All,
                    automation::BuildSelectionFilter(
                        {0, QStringLiteral("INSERT"), 2, QStringLiteral("ATRYBUTY_STRUMIENI_*")}));
        for (const cad::Entity& r : set->entities()) {
            const QString nr = r.name().mid(19);
            if (!nr.isEmpty()) cmbNo_->addItem(nr);
        }
    } catch (const cad::Error& e) {
        ui::MsgBox(Tlumacz(QStringLiteral("Nie odczytano skrzyżowań z rysunku:")) + QStringLiteral("\n") + e.message(),
                   ui::Exclamation, windowTitle());
    }
    if (cmbNo_->count() > 0) cmbNo_->setCurrentIndex(0);
}

void MainWindow::FillLayerSetList() {
    lstWarstwy_->clear();
    lstWarstwy_->addItems(LayerSetNames(LayerSets, common::SettingBindings[1].Value.toInt()));
}

QString MainWindow::intersectionText() const {
    return cmbNo_->currentText();
}
bool MainWindow::hasChosenIntersection() const {
    return cmbNo_->currentIndex() >= 0;
}
QStringList MainWindow::searchLayers() const {
    QStringList out;
    for (int i = 0; i < lstWarstwy_->count(); ++i) out << lstWarstwy_->item(i)->text();
    return out;
}
void MainWindow::setStatus(const QString& text) {
    labStatus_->setText(text);
}
void MainWindow::setCountText(const QString& text) {
    labLiczba_->setText(text);
}
void MainWindow::hideForm() {
    hide();
}
void MainWindow::showForm() {
    show();
}
void MainWindow::processEvents() {
    QCoreApplication::processEvents();
}
void MainWindow::setMaximum(int v) {
    pbPostep_->setMaximum(v);
}
int MainWindow::maximum() const {
    return pbPostep_->maximum();
}
void MainWindow::setValue(int v) {
    pbPostep_->setValue(std::clamp(v, pbPostep_->minimum(), pbPostep_->maximum()));
}
int MainWindow::value() const {
    return pbPostep_->value();
}

void MainWindow::RunCommand(const QString& id) {
    const CommandRow* row = FindCommand(id);
    if (!row) return;  // only the table's own buttons call it
    if (row->runsAs == RunsAs::DrawingCommand) {
        runGuarded(id);
        return;
    }
    CommandContext context(*this, this);
    RunTableCommand(id, context);
}

void MainWindow::runGuarded(const QString& id) {
    // A second command cannot start while one runs.
    for (QPushButton* b : held_) b->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CommandContext context(*this, this);
    try {
        RunTableCommand(id, context);
    } catch (const cad::Error& e) {
        // The CAD went away (or refused) mid-command: told, and the window takes commands again.
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        for (QPushButton* b : held_) b->setEnabled(true);
        ui::MsgBox(e.message(), ui::Exclamation, windowTitle());
        return;
    }
    QApplication::restoreOverrideCursor();
    for (QPushButton* b : held_) b->setEnabled(true);
}

void MainWindow::cmdKonfig_Click() {
    ConfigDialog dialog(this);
    dialog.exec();
    FillLayerSetList();
}

void MainWindow::btnHlp_Click() {
    common::ShowHelpOrTell(this, common::HelpContextOf(this));
}

void MainWindow::btnClose_Click() {
    common::SaveFormControlSettings(this, false);
    close();
}

void MainWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) common::SetFormTopmost(this, true);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!isMinimized()) common::SaveFormPosition(this, objectName());
    QWidget::closeEvent(e);
}

}  // namespace hatcher
