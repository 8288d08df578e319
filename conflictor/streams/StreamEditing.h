// The Edit-menu commands that add and remove whole streams: new, conditional copy, delete.
#pragma once

namespace conflictor {

// "Nowy strumień": the naming dialog, once an intersection is chosen.
void mnuEdycja_NowyStrumien();
// "Kopiuj strumień - tworzenie warunkowego": a conditional stream on the selected stream's components.
void mnuEdycja_KopiujStrumien();
// "Usuń strumień": the selected stream out of the table and, when the user agrees, out of the drawing.
void mnuEdycja_UsunStrumien();

// The naming dialog in new (false) or copy mode; a copy then shares the source's components and gets
// its own start and end markers at the source's places.
void NewOrCopyStream(bool copy);

}  // namespace conflictor
