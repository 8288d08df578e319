// frmFazy: the phase editor, signal groups by phases, with its menus, toolbar and buttons.
#pragma once

#include "conflictor/phases/PhaseEditorModel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace ui {
class FlexGrid;
}

namespace conflictor {

class PhaseEditorDialog : public QDialog {
    Q_OBJECT
public:
    explicit PhaseEditorDialog(QWidget* owner);

    // A click on a cell: a phase cell of a group row is toggled and written through; a cell of the
    // first two columns makes its group current.
    void grdFazy_Click(int row, int col);
    // A click on a phase column's header makes the phase current.
    void headerClick(int col);
    void grdFazy_DblClick(int row, int col);
    void cmdZaznaczFaze_Click();
    void cmdZaznaczGrupe_Click();
    void mnu_PokazFazeUkryj_Click();
    void mnu_DodajFaze_Click() { addPhase(false, false); }
    void mnu_KopiujFaze_Click() { addPhase(true, false); }
    void mnu_KopiujFazeBezPieszych_Click() { addPhase(true, true); }
    void mnu_UsunFaze_Click();
    // Runs the command of a toolbar key; an unknown key does nothing.
    void runToolbarKey(const QString& key);

    PhaseEditorModel& model() { return model_; }
    ui::FlexGrid* grid() const { return grdFazy; }
    QComboBox* phaseCombo() const { return cmbFazy; }
    QComboBox* groupCombo() const { return cmbGrupy; }
    QString toggleText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void addPhase(bool copy, bool withoutPedestrians);
    // A failure of the drawing is told to the user; the window stays usable.
    template <class F>
    void guarded(F&& work);
    // Grid and combos from the model.
    void render();
    void setCellPicture(int row, int phaseColumn);

    PhaseEditorModel model_;
    bool EditorReady = false;
    bool rebuild_ = true;
    ui::FlexGrid* grdFazy;
    QComboBox* cmbFazy;
    QComboBox* cmbGrupy;
    QLabel* labTest;
    QLabel* labTest2;
};

}  // namespace conflictor
