// frmMain, the main window of hatcher ("Tesmar Schemat faz"): the intersection list, the layers of
// the chosen set, the picture and transition commands, settings, help and close.
#pragma once

#include "hatcher/core/CommandTable.h"
#include "hatcher/core/HatcherForm.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace hatcher {

class MainWindow : public QWidget, public HatcherForm, public ProgressBar, public CommandWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Start-up after construction; false when no CAD could be reached (the program ends).
    bool Form_Load();
    void DodajSkrzyzowania();
    void FillLayerSetList();
    // Every command button's click: the row `id` of the command table run against this window.
    void RunCommand(const QString& id);

    // HatcherForm
    QString intersectionText() const override;
    bool hasChosenIntersection() const override;
    QStringList searchLayers() const override;
    void setStatus(const QString& text) override;
    void setCountText(const QString& text) override;
    ProgressBar& progressBar() override { return *this; }
    QString caption() const override { return windowTitle(); }
    void hideForm() override;
    void showForm() override;
    void processEvents() override;
    // ProgressBar
    void setMaximum(int value) override;
    int maximum() const override;
    void setValue(int value) override;
    int value() const override;
    // CommandWindow
    void cmdKonfig_Click() override;
    void btnHlp_Click() override;
    void btnClose_Click() override;

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // A drawing command: the held buttons disabled and the hourglass shown while it runs.
    void runGuarded(const QString& id);
    QComboBox* cmbNo_;
    QListWidget* lstWarstwy_;
    QLabel* labStatus_;
    QLabel* labLiczba_;
    QProgressBar* pbPostep_;
    QList<QPushButton*> held_;  // disabled while a drawing command runs
};

}  // namespace hatcher
