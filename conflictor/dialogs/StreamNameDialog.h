// frmNazwaStrumienia: the modal dialog through which a new stream, or a conditional copy of the
// selected stream, enters the stream table.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace conflictor {

class StreamNameDialog : public QDialog {
    Q_OBJECT
public:
    // `isCopy`: the copy of the main window's grid stream (IsCopy of the dialog).
    StreamNameDialog(bool isCopy, QWidget* owner);

    bool IsCopy = false;
    int NewStreamIndex = -1;  // the record OK created; -1 when none

    // OK: checks the texts, creates the record and closes; a refusal keeps the dialog open.
    void cmdOk_Click();
    void cmdPropNazwa_Click();
    void cmdPobierzNazweStrumienia_Click();
    void cmdOpis_Click(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QLineEdit* edtNazwaStrumienia;
    QLineEdit* edtNrGrupy;
    QLineEdit* edOpis;
    QPushButton* cmdPropNazwa;
    QPushButton* cmdPobierzNazweStrumienia;
    QLabel* lblKopiowanie;
    QLabel* lblKopiowanyStrumien;
};

// The captions of the twelve description presets, by index.
const QStringList& DescriptionPresets();

}  // namespace conflictor
