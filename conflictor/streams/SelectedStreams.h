// The highlighted streams of the drawing given a signal group or added to a phase.
#pragma once

namespace conflictor {

// Asks for the group (`group` true) or phase number and gives it to every stream listed by a
// highlighted component reference of the intersection, and to every variant of its base name.
void AddSelectedStreamsToPhaseOrGroup(bool group);

inline void mnuEdycja_ZaznaczoneDoGrupy() {
    AddSelectedStreamsToPhaseOrGroup(true);
}
inline void mnuEdycja_ZaznaczoneDoFazy() {
    AddSelectedStreamsToPhaseOrGroup(false);
}

}  // namespace conflictor
