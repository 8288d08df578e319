// The View-menu commands of conflictor's main window: highlighting streams, groups and phases,
// the phase views, and the lists of a stream's components and conflict points.
#pragma once

#include <QString>
#include <vector>

namespace conflictor {

// One row of the segment list dialog: the handle of the object behind it and its text.
struct SegmentHandleEntry {
    QString Handle;
    QString Text;
};
// The conflict points of the stream the list shows: each marker's handle and the other stream's
// name; as long as the stream has points.
extern std::vector<SegmentHandleEntry> SegmentHandleList;

// The stream's components in chain order: each reference's handle and its length in metres
// ("12.3 m"), or the component's number when it has no handle.
std::vector<SegmentHandleEntry> SegmentListEntries(int streamIndex);

void mnuWidok_ZaznaczStrumien();
void mnuWidok_OdznaczStrumien();
void mnuWidok_ZaznaczGrupe();
void mnuWidok_ZaznaczAktywFaze();
void mnuWidok_ZaznaczFaze();
void mnuWidok_PokazFaze();
void mnuWidok_WskazStrumien();
void mnuWidok_OdznaczWszystkieStrumienie();
void mnuWidok_PokazWszystkie();
void mnuWidok_UkryjNiezaznaczone();
void mnuWidok_PokazOdcinki();
void mnuWidok_PokazPunkty();

}  // namespace conflictor
