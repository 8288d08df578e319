// frmFazy "Wybór zestawu faz": the phase-set chooser the workbook import shows when the workbook offers
// two or more phase sets. It answers through PhaseSetDialogOk (-1 when no set was confirmed) and, for
// an old-layout workbook, ChosenPhaseSet.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace phaseplanner {

class MainWindow;

class PhaseSetDialog : public QDialog {
    Q_OBJECT
public:
    explicit PhaseSetDialog(MainWindow& owner);

    void cmdOk_Click();
    void cmdAnuluj_Click();
    void lstFazy_DblClick();

    QListWidget* list() const { return lstFazy; }

protected:
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    MainWindow& owner_;
    QListWidget* lstFazy;
    QPushButton* cmdOk;
    QPushButton* cmdAnuluj;
};

// Shows the dialog modally over the window (the import's chooser).
void ShowPhaseSetDialog(MainWindow& owner);

}  // namespace phaseplanner
