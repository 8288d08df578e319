// frmKolizje, "Grupy kolidujące": the colliding group pairs of the last check; a pair's streams are
// coloured in the drawing, and a pair can be removed from the workbook's intergreen matrix.
#pragma once

#include <QDialog>
#include <functional>
#include <utility>
#include <vector>

class QListWidget;
class QPushButton;

namespace phaseplanner {

class CollisionDialog : public QDialog {
    Q_OBJECT
public:
    // Removes the pair (record indexes) from the matrix; false when nothing was changed (the
    // remover has said why).
    using PairRemover = std::function<bool(int a, int b)>;

    CollisionDialog(const std::vector<std::pair<int, int>>& pairs, PairRemover remover, bool onTop,
                    QWidget* parent = nullptr);
    ~CollisionDialog() override;

    void cmdZaznacz_Click();
    void cmdUsunZExcela_Click();
    QListWidget* pairList() const { return lbParyGrup; }

    // "3K : 5P" for records 2 and 4; each group with the letter of the program table (K, B, P, S, T, R).
    static QString PairItemText(int a, int b);
    // The two record indexes of an item: the whole number at its start and the one after its ":",
    // less one; false when either is missing or lies beyond the group table.
    static bool PairOfItem(const QString& item, int& a, int& b);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void guardedMark();

    PairRemover remover_;
    bool onTop_ = false;
    bool refreshHighlight_ = true;
    QListWidget* lbParyGrup = nullptr;
    QPushButton* cmdZaznacz = nullptr;
    QPushButton* cmdUsunZExcela = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdPomoc = nullptr;
};

}  // namespace phaseplanner
