// frmParametry: the working hours and the offset of the current intersection's program, read from and
// written into its program attribute block.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace phaseplanner {

class MainWindow;

class ParametersDialog : public QDialog {
    Q_OBJECT
public:
    explicit ParametersDialog(MainWindow& owner);

    void cmdOK_Click();

protected:
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    MainWindow& owner_;
    QLineEdit* edGodzOd;
    QLineEdit* edGodzDo;
    QLineEdit* edOffset;
    QPushButton* cmdOK;
    QPushButton* cmdAnuluj;
};

}  // namespace phaseplanner
