// frmKonfig, the settings dialog of hatcher: the five layer sets, the layer-search mode, the label
// heights and the two switches. It edits a copy of the layer sets that only OK commits.
#pragma once

#include "hatcher/core/LayerSets.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace hatcher {

class ConfigDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConfigDialog(QWidget* parent = nullptr);

    void SetControls();
    // The layer set being edited (the copy).
    const LayerSetTable& editedSets() const { return sets_; }

    // Handlers, public so the headless tests can drive them.
    void cmbZestaw_Click();
    void cmdPobierzWarstwy_Click();
    void cmdDodajWarstweDoZestawu_Click();
    void cmdUsunWarstwe_Click();
    void cmdWyczyscListe_Click();
    void cmdOk_Click();
    void cmdAnuluj_Click();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int chosenSet() const;
    LayerSetTable sets_;
    QRadioButton* optAll_;
    QRadioButton* optChosen_;
    QComboBox* cmbZestaw_;
    QListWidget* lstWarstwy_;
    QComboBox* cmbWarstwy_;
    QToolButton* cmdPobierzWarstwy_;
    QToolButton* cmdDodaj_;
    QPushButton* cmdUsun_;
    QPushButton* cmdWyczysc_;
    QLineEdit* edtFazaWys_;
    QLineEdit* edtPrzejscieWys_;
    QCheckBox* chkTextScaled_;
    QCheckBox* chkPowiazania_;
    QListWidget* lstWarstwyTmp_;
};

}  // namespace hatcher
