// frmMain, the main window of hatcher ("Tesmar Schemat faz"): the intersection list, the layers of
// the chosen set, the picture and transition commands, settings, help and close.
#pragma once

#include "hatcher/core/HatcherForm.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace hatcher {

class MainWindow : public QWidget, public HatcherForm, public ProgressBar {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Start-up after construction; false when no CAD could be reached (the program ends).
    bool Form_Load();
    void DodajSkrzyzowania();
    void FillLayerSetList();

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

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void run(void (*command)(HatcherForm&));
    void showHelp();
    QComboBox* cmbNo_;
    QListWidget* lstWarstwy_;
    QLabel* labStatus_;
    QLabel* labLiczba_;
    QProgressBar* pbPostep_;
    QList<QPushButton*> commands_;
};

}  // namespace hatcher
