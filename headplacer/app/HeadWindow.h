// The head window (frmMain, "Rodzaj i oznaczenie sygnalizatora"): the kind, name, intersection,
// orientation, stop line, additional head, lens, light source, type and equipment of the head,
// with the live inventory number; the accept button starts the placement.
#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace headplacer {

class HeadPlacerApp;
struct HeadChoice;

class HeadWindow : public QWidget {
    Q_OBJECT
public:
    explicit HeadWindow(HeadPlacerApp& app);

    // Start-up steps that fill the window (lists, tables, orientation).
    void fillLists();
    void selectOrientation(int index);
    // Preparing a head, the window's part: kind, lens and name list from the symbol file, then what
    // the symbol decides (ApplySymbolChoice).
    void applySymbol(const QString& symbolFile);
    void LoadLightSources();
    void LoadHeadTypes();
    // Recomputes the designation texts and shows the inventory number.
    void BuildHeadDescriptions();

    // Handlers, as the window's events call them.
    void chkRodzSyg_Click(int index);
    void cmbRdz2Syg_Click();
    void chkFiSocz_Click(int index);
    void chkLinZatrz_Click();
    void cmbLinZatrz_Click();
    void chkOrientGeo_Click(int index);
    void chkPowtStr_Click(int index);
    void cmbSuffix_Click(int option);
    void cmbNumSkrzyz_Click();
    void cmdDodajWpis_Click();
    void chkEkrany_Click();
    void optRodzEkran_Click(int index);
    void chkWkladyAntyZl_Click();
    // Runs the accept through the command table.
    void cmdAccept_Click();
    // What the accept reads from the window.
    void fillChoice(HeadChoice& h) const;
    void cmdUstawienia_Click();
    void setPushButtonCaption();

    QComboBox* intersectionCombo() const { return cmbNumSkrzyz; }
    QLabel* inventoryLabel() const { return Label3; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // Closing the window is cancelling: the program never stays without a window.
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    void selectKindOption(int index);
    void selectLens(int index);
    int selectedLens() const;

    HeadPlacerApp& app_;
    QRadioButton* chkRodzSyg[6] = {};
    QGroupBox* frRdz2Syg = nullptr;
    QComboBox* cmbRdz2Syg = nullptr;
    QComboBox* cmbNumSkrzyz = nullptr;
    QPushButton* cmdDodajWpis = nullptr;
    QRadioButton* chkOrientGeo[8] = {};
    QCheckBox* chkLinZatrz = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cmbLinZatrz = nullptr;
    QRadioButton* chkPowtStr[4] = {};
    QComboBox* cmbPowt = nullptr;
    QComboBox* cmbStrum = nullptr;
    QComboBox* cmbPowtStrum = nullptr;
    QRadioButton* chkFiSocz[3] = {};
    QComboBox* cmbZrodSwiatla = nullptr;
    QComboBox* cmbTypSyg = nullptr;
    QCheckBox* chkSygnAkust = nullptr;
    QCheckBox* chkWkladyAntyZl = nullptr;
    QCheckBox* chkEkrany = nullptr;
    QRadioButton* optRodzEkran[2] = {};
    QCheckBox* chkUstawDetektory = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdAccept = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdUstawienia = nullptr;

    QStringList LightSourceCodes;
    bool filling_ = false;  // list changes made by the program run no click handlers
};

}  // namespace headplacer
