// frmDetektory: the editable list of a stream's detectors (name and distance). It opens with eight
// default rows each time and keeps nothing but its own position when it closes.
#pragma once

#include <QColor>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {
class FlexGrid;
class FlexGridEditor;
}  // namespace ui

namespace conflictor {

class DetectorDialog : public QDialog {
    Q_OBJECT
public:
    explicit DetectorDialog(QWidget* parent = nullptr);
    ~DetectorDialog() override;

    void AddDetectorRow(const QString& name, const QString& distance);
    void MoveDetectorRow(bool up);
    int CellIndex(int row, int column) const;
    void btnDodaj_Click();
    void btnUsun_Click();

    ui::FlexGrid* grdDetektory;
    ui::FlexGridEditor* editor;
    QLineEdit* edNazwa;
    QLineEdit* edOdl;
    QPushButton* btnDodaj;
    QPushButton* btnUsun;
    QPushButton* cmdUp;
    QPushButton* cmdDown;
    QPushButton* cmdZakoncz;
    QPushButton* cmdAnuluj;
    QLabel* lblWybrany;

    bool CellNotEditable = true;
    QColor DefaultCellColor;

protected:
    void done(int result) override;
    void changeEvent(QEvent* event) override;

private:
    void enterCell();
    void leaveCell(int row, int col);
    bool saved_ = false;
};

}  // namespace conflictor
