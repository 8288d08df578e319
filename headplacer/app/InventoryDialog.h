// The inventory dialog (frmAtrybutySygnalizatora, "Opisywanie sygnalizatora"): who entered the
// head, the street, applicant, contractor, three dates, the order number and remarks. It fills
// itself once when first shown, so what the user typed survives any later activation.
#pragma once

#include "headplacer/logic/Inventory.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace headplacer {

class InventoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit InventoryDialog(QWidget* parent);

    // The dialog's public values; EditHeadAttributes sets EnteredBy and OrderNumber before showing.
    InventoryValues values;
    bool DialogAccepted = false;

    void cmdAccept_Click();
    void cmdOnTop_Click();
    void cmdDopiszWlot_Click();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void fill();

    bool filled_ = false;
    QLineEdit* fldKtoNaniosl = nullptr;
    QComboBox* cmbUlica = nullptr;
    QPushButton* cmdDopiszWlot = nullptr;
    QComboBox* cmbNaWniosek = nullptr;
    QComboBox* cmbKtoWykonal = nullptr;
    QDateEdit* dtpDataRealizacji = nullptr;
    QDateEdit* dtpDataZlecenia = nullptr;
    QLineEdit* fldNrZlecenia = nullptr;
    QDateEdit* dtpDataInwent = nullptr;
    QLineEdit* fldUwagi = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblFormatDaty = nullptr;
    QPushButton* cmdOnTop[2] = {};
};

// Pins the window above others when DialogOnTop (showing the second button) or releases it.
void ApplyOnTopState(QWidget* window, QPushButton* first, QPushButton* second);

// What the dialog holds when it opens and is accepted untouched: the remembered operator and order
// number, the first applicant and contractor of their lists, the street the drawing remembers and
// today for the three dates.
InventoryValues OpeningInventoryValues();

// Shows the dialog for the placed head and, when accepted, writes the attributes, the street and
// the remembered values. True when accepted.
bool EditHeadAttributes(const QString& headHandle, QWidget* parent);

}  // namespace headplacer
