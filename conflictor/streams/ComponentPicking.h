// Attaching components to the selected stream and detaching them, by picking them in the drawing.
#pragma once

namespace conflictor {

// "Dołącz składnik": loose lines and arcs become components of the selected stream; component blocks
// of other streams are shared with it. Picking a component it already has, or Escape, ends it.
void mnuEdycja_DolaczSkladnik();
// "Wyłącz składnik": picked component blocks stop listing the selected stream.
void mnuEdycja_WylaczSkladnik();

}  // namespace conflictor
