// frmGrupa: the group editor. The kind of the signal heads, their symbols, the list of greens, the
// only-red and no-signal modes and the complement, for this group or all groups. OK writes the
// record in GroupTable itself.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ui {
class FlexGrid;
}

namespace phaseplanner {

class FlexGridEdit;
class MainWindow;
struct GroupRecord;

class GroupDialog : public QDialog {
    Q_OBJECT
public:
    // A new group (empty when CurrentGroupIndex is -1, else a copy of that record) or an edit of
    // record CurrentGroupIndex.
    GroupDialog(MainWindow& owner, bool isNewGroup);
    ~GroupDialog() override;

    bool IsNewGroup;
    int DialogResult = 2;  // 1 after a stored OK

    ui::FlexGrid* greenGrid() const { return grdSygnaly; }
    FlexGridEdit* gridEdit() const { return edit_; }

    void cmdOK_Click();
    void cmdDodaj_Click();
    void cmdUsun_Click();

protected:
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void loadRecord();
    void kindRule();
    void modeRule();
    void complementRule();
    int selectedKind() const;
    int selectedMode() const;
    void clearGreens();
    void renumber();
    void readGreens(GroupRecord& record, const GroupRecord& source) const;

    MainWindow& owner_;
    QRadioButton* optRodzSygn[4] = {};
    QRadioButton* optRodzSygnPojedynczy[3] = {};
    QComboBox* cmbSymbSygn = nullptr;
    ui::FlexGrid* grdSygnaly = nullptr;
    FlexGridEdit* edit_ = nullptr;
    QPushButton* cmdDodaj = nullptr;
    QPushButton* cmdUsun = nullptr;
    QCheckBox* cbDopelnienie = nullptr;
    QLineEdit* edtDopelnienieOd = nullptr;
    QCheckBox* cbDopelniajWszystkie = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAnuluj = nullptr;
};

}  // namespace phaseplanner
