// frmPowiazaniaPrzejsc: the crossing links of the current intersection in a grid, and the editing of
// one link's inner and outer stream lists, typed or picked in the drawing.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QGroupBox;
class QLabel;

namespace ui {
class FlexGrid;
}

namespace conflictor {

class CrossingLinksDialog : public QDialog {
    Q_OBJECT
public:
    explicit CrossingLinksDialog(QWidget* owner);

    bool HasLinks = false;
    int EditedLinkIndex = -1;

    void SetEditMode(bool editing);
    void FillLinkGrid();
    // Widens the columns to their headers and lists and the grid to its columns.
    void FitGridToColumns();
    void grdPrzejscia_Click();
    void cmdNowePowiazanie_Click();
    void cmdEdytujPowiazanie_Click();
    void cmdAnulujEdycje_Click();
    void cmdTworzPrzejscie_Click();
    void cmdZatwierdzPrzejscie_Click();

    ui::FlexGrid* grid() const { return grdPrzejscia; }
    QLineEdit* innerBox() const { return tbOdSrodka; }
    QLineEdit* outerBox() const { return tbZewn; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    ui::FlexGrid* grdPrzejscia;
    QPushButton* cmdNowePowiazanie;
    QPushButton* cmdEdytujPowiazanie;
    QGroupBox* frEdycjaPrzejscia;
    QLabel* labStrona1;
    QLabel* labStrona2;
    QLineEdit* tbOdSrodka;
    QLineEdit* tbZewn;
    QPushButton* cmdTworzPrzejscie;
    QPushButton* cmdZatwierdzPrzejscie;
    QPushButton* cmdAnulujEdycje;
};

// The name of the first stream a picked block of the current intersection carries, when the stream
// table knows it; empty otherwise.
QString StreamNameFromBlockName(const QString& blockName);

}  // namespace conflictor
