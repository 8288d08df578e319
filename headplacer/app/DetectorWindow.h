// The detector window (frmDetektory, "Tesmar Detektory"): tabs for loops, above-road detectors,
// detection areas and push-buttons, the description proposal, and the buttons that place, step
// and round. Only the push-button tab is in use; the other three are switched off at load.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace headplacer {

class HeadPlacerApp;
struct DetectorChoice;

class DetectorWindow : public QWidget {
    Q_OBJECT
public:
    explicit DetectorWindow(HeadPlacerApp& app);

    void FillSizeLists();
    void UpdateDetectorCode();
    void BuildDetectorDescription(const QString& prefix);
    void LoadPushButtonMakers();

    void tabRodzDet_Click(int tab);
    void cmbNRodzPetli_Click();
    void cmbTypNadj_Click();
    void optShapeDet_Click();
    void optObsDetRodzaj_Click();
    void cmdNextObsDet_Click();
    void cmdNextLane_Click();
    void cmdCalkowiteRound_Click();
    void cmdJednoMiejsceRound_Click();
    // Runs "Ustaw" through the command table.
    void cbUstaw_Click();
    void btnCcl_Click();
    void cmdUstUstDet_Click();
    // The "Zmierz" buttons: a picked line's length into the list of the dimension.
    enum class Measure { LoopLength, LoopWidth, AreaLength, AreaWidth, AreaDistance };
    void measure(Measure what);
    // What "Ustaw" and the push-button's completion read from the window.
    void fillChoice(DetectorChoice& x) const;
    void enablePushButtonLists(bool on);

    QTabWidget* tabs() const { return tabRodzDet; }
    QLineEdit* description() const { return edtOpis; }
    QComboBox* pushButtonType() const { return cmbTypPrzycisku; }
    QComboBox* pushButtonMaker() const { return cmbProdPrzycisku; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // Closing the window is leaving it with "Zakończ".
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    int shape() const;
    int areaKind() const;

    HeadPlacerApp& app_;
    bool SkipNextShapeRefill = true;
    QTabWidget* tabRodzDet = nullptr;
    QComboBox* cmbNRodzPetli = nullptr;
    QRadioButton* optShapeDet[2] = {};
    QComboBox* cmbIloscZwojow = nullptr;
    QComboBox* cmbNDlugosc = nullptr;
    QComboBox* cmbNSzerokosc = nullptr;
    QLabel* lblSzerokosc = nullptr;
    QComboBox* cmbOdlOdKraw = nullptr;
    QLabel* lblOdlKraw = nullptr;
    QComboBox* cmbOdlOdLinRozdz = nullptr;
    QLabel* lblOdlLiniaRozdz = nullptr;
    QComboBox* cmbTypNadj = nullptr;
    QGroupBox* frNadj = nullptr;
    QRadioButton* optObsDetRodzaj[2] = {};
    QComboBox* cmbObsDetDlugosc = nullptr;
    QComboBox* cmbObsDetSzerokosc = nullptr;
    QComboBox* cmbObsDetOdlProst = nullptr;
    QLabel* lblOdlMiedzy = nullptr;
    QPushButton* cmdPobierzOdlPrObsD = nullptr;
    QComboBox* cmbTypPrzycisku = nullptr;
    QComboBox* cmbProdPrzycisku = nullptr;
    QGroupBox* frOpisDetektora = nullptr;
    QLineEdit* edtOpis = nullptr;
    QPushButton* cmdNextLane = nullptr;
    QPushButton* cmdNextObsDet = nullptr;
};

// frmUstawieniaDetektory, "Detektory - ustawienia": the height of detector descriptions.
class DetectorSettingsDialog : public QWidget {
    Q_OBJECT
public:
    explicit DetectorSettingsDialog(QWidget* parent);
    void txtDetFontHeight_Change();
    void cmdOKUstDet_Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QLineEdit* txtDetFontHeight = nullptr;
    QLineEdit* txtDetFontWdth = nullptr;
    QLabel* labOpisSkala = nullptr;
};

}  // namespace headplacer
