// What the group commands of the main window and the group dialog tell each other: the record to
// edit or copy from, and whether the dialog changed other groups as well.
#pragma once

namespace phaseplanner {

// GroupTable index of the group to edit or to copy from; -1 a new empty group. After an added or
// copied group is stored it is the new record's index.
extern int CurrentGroupIndex;
// Set by the group dialog when it changed other groups too (complement applied to all groups).
extern bool RefreshAllGroups;

}  // namespace phaseplanner
