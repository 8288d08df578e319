// frmOdcinki: the components of one stream with their lengths, or its conflict points by the other
// stream's name; a click highlights the object, Zbliż zooms to it, Usuń deletes a conflict point.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace conflictor {

class SegmentListDialog : public QDialog {
    Q_OBJECT
public:
    // The stream at `streamIndex`; `conflictPointsMode` lists SegmentHandleList instead of components.
    SegmentListDialog(int streamIndex, bool conflictPointsMode, QWidget* owner);

    int StreamIndex = -1;
    bool ConflictPointsMode = false;

    void lstOdcinki_Click();
    void cmdZoom_Click();
    void cmdUsun_Click();
    QListWidget* list() const { return lstOdcinki; }
    // The handle behind the selected row; empty when none.
    QString selectedHandle() const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void restoreOtherStream();

    QListWidget* lstOdcinki;
    QPushButton* cmdUsun;
    int HighlightedStream = -1;
    QString HighlightedHandle;
};

}  // namespace conflictor
