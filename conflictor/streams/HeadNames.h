// Streams named after the signal heads of the current intersection.
#pragma once

namespace conflictor {

// "Pobierz nazwy strumieni z sygnalizatorów": one empty stream per head of the intersection whose
// name has no stream yet.
void mnuEdycja_Pobierz();

}  // namespace conflictor
