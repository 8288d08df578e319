// frmOProgramie: the about box every program of the suite shows from its Help menu, with the program's
// title and version and its name in large type.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace common {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    // Set by the caller before the dialog is shown.
    QString ProgramTitle;  // "Tesmar Ziziro Zedivir"
    QString ProgramName;   // "Ziziro Zedivir", translated
    // Fills the labels and the caption (the load of the dialog).
    void Form_Load();
    int exec() override;

    QLabel* lblWersja;
    QLabel* lblProgram;
    QPushButton* cmdOk;
};

}  // namespace common
