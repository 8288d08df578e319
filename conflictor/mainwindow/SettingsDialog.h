// frmKonfiguracja: conflictor's settings dialog. It shows the program settings, the drawing scale and
// the bound values; OK checks and stores them (INI file, the drawing's "SKALA") and re-sizes the length
// texts of the drawing when their size or scaling changed. Cancel keeps everything as it was.
#pragma once

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace conflictor {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    // The checks of OK: a message names the first value that does not fit and puts the focus on it.
    bool ValidateSettings();
    void cmdOk_Click();
    void cbSkala_Change();
    // Shows a proposed "SKALA" in place of the drawing's own (stored only by OK).
    void ProposeScale(int scale);
    void chkMatrycaOdwrocona_Click();

    QLineEdit* field(const QString& objectName) const { return fields_.value(objectName); }
    QTabWidget* SSTab1;
    QComboBox* cmbDlugosciTekstWysokosc;
    QComboBox* cmbDlugosciTekstSzerokosc;
    QComboBox* cbSkala;
    QCheckBox* chkTextScaled;
    QCheckBox* chkAutoZaznaczNowe;
    QCheckBox* chkMatrycaOdwrocona;
    QCheckBox* chkPowiazania;
    QLabel* labScaled;
    QLabel* imgMatr;
    QPushButton* cmdOk;
    QPushButton* cmdAnuluj;
    QPushButton* cmdPomoc;

    int SavedScale = 0;
    bool SavedScaled = false;
    double SavedHeight = 0;

protected:
    void done(int result) override;
    void changeEvent(QEvent* event) override;

private:
    void showSettings();
    void storeSettings();
    QHash<QString, QLineEdit*> fields_;
    bool saved_ = false;
};

}  // namespace conflictor
