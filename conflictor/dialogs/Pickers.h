// frmWybierzFaze, the phase picker that shows or colours one phase after another until closed, and
// frmWybierzSkrzyz, the intersection picker of the names-from-heads command.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace conflictor {

class PhasePickerDialog : public QDialog {
    Q_OBJECT
public:
    // `phase` preselected when listed (-1: none); `selectMode` colours, otherwise shows the phase alone.
    PhasePickerDialog(int phase, bool selectMode, QWidget* owner);

    int PickerPhase = -1;
    bool PickerSelectMode = false;

    // The confirmation (button or double click): acts on the drawing, the dialog stays open.
    void cmdOk_Click();
    QListWidget* list() const { return lstFaza; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QListWidget* lstFaza;
    QPushButton* cmdOk;
    bool rebuild_ = true;  // the selection flag: the first colouring searches the drawing
};

class IntersectionPickerDialog : public QDialog {
    Q_OBJECT
public:
    IntersectionPickerDialog(const QStringList& numbers, QWidget* owner);

    // The chosen number after OK; empty after Za&kończ or the window's close box.
    QString ChosenIntersection;
    QListWidget* list() const { return lstSkrzyz; }

private:
    QListWidget* lstSkrzyz;
};

}  // namespace conflictor
