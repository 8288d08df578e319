// The stream dialogs behind the hooks of the stream commands.
#include "conflictor/dialogs/StreamDialogHooks.h"

#include "conflictor/dialogs/Pickers.h"
#include "conflictor/dialogs/SegmentListDialog.h"
#include "conflictor/dialogs/StreamNameDialog.h"
#include "conflictor/streams/StreamWindow.h"

#include <QPointer>

namespace conflictor {

void InstallStreamDialogs(QWidget* owner) {
    QPointer<QWidget> parent(owner);
    StreamDialogHooks& hooks = StreamDialogs();
    hooks.NazwaStrumienia = [parent](bool isCopy) {
        StreamNameDialog dialog(isCopy, parent);
        dialog.exec();
        return dialog.NewStreamIndex;
    };
    hooks.WybierzSkrzyzowanie = [parent](const QStringList& numbers) {
        IntersectionPickerDialog dialog(numbers, parent);
        dialog.exec();
        return dialog.ChosenIntersection;
    };
    hooks.Odcinki = [parent](int streamIndex, bool conflictPointsMode) {
        SegmentListDialog dialog(streamIndex, conflictPointsMode, parent);
        dialog.exec();
    };
    hooks.WybierzFaze = [parent](int phase, bool selectMode) {
        PhasePickerDialog dialog(phase, selectMode, parent);
        dialog.exec();
    };
}

}  // namespace conflictor
