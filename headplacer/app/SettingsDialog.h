// The description settings dialog (frmUstawienia, "Ustawienia"): the drawing's scale, the height of
// head descriptions, scaled texts, the pedestrian-and-cyclist format, conditional-arrow descriptions
// and the duplicate warning.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace headplacer {

class HeadWindow;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(HeadWindow& main);

    void cbSkala_Change();
    void cmdOK_Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    HeadWindow& main_;
    QComboBox* cbSkala = nullptr;
    QLineEdit* txtSygFontHeight = nullptr;
    QLineEdit* txtSygFontWdth = nullptr;
    QCheckBox* chkTextScaled = nullptr;
    QLabel* labScaled = nullptr;
    QComboBox* cmbFormatPR = nullptr;
    QCheckBox* chkUstOpisSygnWar = nullptr;
    QCheckBox* chkOstrzezDuplikatSygn = nullptr;
    QComboBox* cmbDomDetektor = nullptr;
};

}  // namespace headplacer
