// The segment and conflict-point list.
#include "conflictor/dialogs/SegmentListDialog.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/ViewCommands.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace conflictor {

namespace {

const QString WindowKey = QStringLiteral("Okno_Odcinki");
constexpr int HandleRole = Qt::UserRole;
constexpr int HelpContext = 10008;
constexpr int OtherStreamRole = Qt::UserRole + 1;

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// A highlight or zoom the drawing refuses is left out; a CAD host that went away is told by the
// guard of the button or list that asked.
template <class F>
void quietly(F&& f) {
    try {
        f();
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error&) {
        // Only what the drawing shows of the chosen component (its pen, the view) stays as it was;
        // the list and the streams are not changed by it.
    }
}

}  // namespace

SegmentListDialog::SegmentListDialog(int streamIndex, bool conflictPointsMode, QWidget* owner)
    : QDialog(owner), StreamIndex(streamIndex), ConflictPointsMode(conflictPointsMode) {
    setObjectName(QStringLiteral("frmOdcinki"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label1 = new QLabel(tr_("Strumień:"));
    label1->setObjectName(QStringLiteral("Label1"));
    auto* lblStrumien = new QLabel;
    lblStrumien->setObjectName(QStringLiteral("lblStrumien"));
    top->addWidget(label1);
    top->addWidget(lblStrumien, 1);
    layout->addLayout(top);
    lstOdcinki = new QListWidget;
    lstOdcinki->setObjectName(QStringLiteral("lstOdcinki"));
    lstOdcinki->setToolTip(tr_("Wybierz odcinek, który ma być zaznaczony"));
    layout->addWidget(lstOdcinki, 1);
    auto* buttons = new QHBoxLayout;
    auto* zoom = new QPushButton(tr_("Z&bliż"));
    zoom->setObjectName(QStringLiteral("cmdZoom"));
    zoom->setToolTip(tr_("Zbliżony widok odcinka"));
    cmdUsun = new QPushButton(tr_("&Usuń"));
    cmdUsun->setObjectName(QStringLiteral("cmdUsun"));
    cmdUsun->setToolTip(tr_("Usuń punkt kolizji"));
    auto* help = new QPushButton(tr_("&Pomoc"));
    help->setObjectName(QStringLiteral("cmdPomoc"));
    auto* close = new QPushButton(tr_("&Zamknij"));
    close->setObjectName(QStringLiteral("cmdOk"));
    for (QPushButton* b : {zoom, cmdUsun, help, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(lstOdcinki, &QListWidget::itemClicked, this, Guarded(this, [this] { lstOdcinki_Click(); }));
    connect(lstOdcinki, &QListWidget::currentRowChanged, this, Guarded(this, [this] { lstOdcinki_Click(); }));
    connect(zoom, &QPushButton::clicked, this, Guarded(this, [this] { cmdZoom_Click(); }));
    connect(cmdUsun, &QPushButton::clicked, this, Guarded(this, [this] { cmdUsun_Click(); }));
    // The page of the dialog's own context, as F1 opens it.
    connect(help, &QPushButton::clicked, this, [this] { common::ShowHelpOrTell(this, common::HelpContextOf(this)); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    // Load.
    common::SetHelpContext(this, HelpContext);
    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, WindowKey);
    HighlightedHandle.clear();
    HighlightedStream = -1;
    cmdUsun->setVisible(ConflictPointsMode);
    setWindowTitle(ConflictPointsMode ? tr_("Ziziro zedivir") : tr_("Odcinki strumienia"));
    const bool known = StreamIndex >= 0 && StreamIndex < int(StreamTable.size());
    lblStrumien->setText(known ? StreamTable[size_t(StreamIndex)].Name : QString());
    const QSignalBlocker blocker(lstOdcinki);
    if (ConflictPointsMode) {
        // Each row keeps the handle of its own conflict point: two points with the same other
        // stream are two rows with two objects.
        for (const SegmentHandleEntry& e : SegmentHandleList) {
            if (e.Handle.isEmpty()) break;
            auto* item = new QListWidgetItem(e.Text, lstOdcinki);
            item->setData(HandleRole, e.Handle);
            item->setData(OtherStreamRole, e.Text);
        }
    } else if (known) {
        for (const SegmentHandleEntry& e : SegmentListEntries(StreamIndex)) {
            auto* item = new QListWidgetItem(e.Text, lstOdcinki);
            item->setData(HandleRole, e.Handle);
        }
    }
    lstOdcinki->setCurrentRow(-1);
}

void SegmentListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    common::SetFormTopmost(this, common::AlwaysOnTop);
}

QString SegmentListDialog::selectedHandle() const {
    const QListWidgetItem* item = lstOdcinki->currentItem();
    return item ? item->data(HandleRole).toString() : QString();
}

void SegmentListDialog::restoreOtherStream() {
    if (HighlightedStream < 0) return;
    const int stream = HighlightedStream;
    HighlightedStream = -1;
    quietly([&] { ZaznaczStrumien(stream, common::Settings.PisakStrumieni, false); });
}

void SegmentListDialog::lstOdcinki_Click() {
    const QListWidgetItem* item = lstOdcinki->currentItem();
    if (!item) return;
    const QString handle = item->data(HandleRole).toString();
    if (ConflictPointsMode) {
        restoreOtherStream();
        const int other = FindStreamIndex(item->data(OtherStreamRole).toString());
        if (other >= 0) {
            quietly([&] { ZaznaczStrumien(other, 1, false); });
            HighlightedStream = other;
        }
    }
    const cad::Document& doc = automation::CadDocument;
    if (!HighlightedHandle.isEmpty())
        quietly([&] { doc.handleToObject(HighlightedHandle).highlight(false); });
    HighlightedHandle.clear();
    if (handle.isEmpty()) return;
    quietly([&] {
        doc.handleToObject(handle).highlight(true);
        HighlightedHandle = handle;
        automation::CadApplication.update();
    });
}

void SegmentListDialog::cmdZoom_Click() {
    const QString handle = selectedHandle();
    if (handle.isEmpty()) return;
    quietly([&] {
        const auto box = automation::CadDocument.handleToObject(handle).boundingBox();
        automation::CadApplication.zoomWindow(box.first, box.second);
    });
}

void SegmentListDialog::cmdUsun_Click() {
    if (!ConflictPointsMode) return;
    const int row = lstOdcinki->currentRow();
    const QString handle = selectedHandle();
    if (row < 0 || handle.isEmpty()) return;
    HighlightedHandle.clear();
    quietly([&] { automation::DeleteEntity(automation::CadDocument.handleToObject(handle)); });
    for (size_t k = 0; k < SegmentHandleList.size(); ++k)
        if (SegmentHandleList[k].Handle == handle) {
            SegmentHandleList.erase(SegmentHandleList.begin() + long(k));
            break;
        }
    delete lstOdcinki->takeItem(row);
    if (lstOdcinki->count() > 0)
        lstOdcinki->setCurrentRow(std::min(row, lstOdcinki->count() - 1));
    else
        restoreOtherStream();
}

void SegmentListDialog::done(int result) {
    // Closing must work with the CAD gone too: the failure is told, the dialog closes.
    RunGuarded([this] { restoreOtherStream(); }, windowTitle());
    common::SaveFormPosition(this, WindowKey);
    QDialog::done(result);
}

}  // namespace conflictor
