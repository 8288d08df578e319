// frmKonf: the parameters with which a program is built from the intergreen workbook: the minimum
// greens, the MSR switching point, the two build options, and per group a set green time and a shift
// of its green against the start of its phase ("Pobierz" takes both from the current program).
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ui {
class FlexGrid;
}

namespace phaseplanner {

class FlexGridEdit;
class MainWindow;

class GreenTimeDialog : public QDialog {
    Q_OBJECT
public:
    explicit GreenTimeDialog(MainWindow& owner);
    ~GreenTimeDialog() override;

    // The phase-table computation "Pobierz" runs to derive the shifts (the main window's phase table
    // in fetch mode); true when it ran. Without one, "Pobierz" fills the set greens only.
    std::function<bool()> ComputePhases;

    void cmdPobierz_Click();
    void cmdOk_Click();
    void chkParametrySzczegolowe_Click();
    void chkWydluzZielone_Click();

    ui::FlexGrid* grid() const { return grdGrupyParams; }
    FlexGridEdit* gridEditor() const { return edit_; }

protected:
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void fillGrid();
    void loadPlacement();
    void savePlacement();

    MainWindow& owner_;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* edtMinZielony = nullptr;
    QLineEdit* edtMinZielonyPiesiRow = nullptr;
    QLineEdit* edtMinCzerwMSR = nullptr;
    QGroupBox* frParams = nullptr;
    QCheckBox* chkParametrySzczegolowe = nullptr;
    ui::FlexGrid* grdGrupyParams = nullptr;
    QPushButton* cmdPobierz = nullptr;
    QCheckBox* chkWydluzZielone = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdAnuluj = nullptr;
    QPushButton* cmdPomoc = nullptr;
    FlexGridEdit* edit_ = nullptr;
};

}  // namespace phaseplanner
