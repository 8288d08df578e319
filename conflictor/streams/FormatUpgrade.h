// Bringing a drawing of an older stream format up to format 4, step by step; the format a drawing
// was last brought to is its custom property "WERSJA_DOKUMENTU".
#pragma once

namespace conflictor {

// The format read from the drawing at start-up; the upgrade steps read it and never change it.
extern int DrawingFormatVersion;

// Format 1 to 2: prefixes the old stream, marker and conflict-point blocks with an intersection number
// the user gives, merges the "GRUPA_"/"FAZA_" properties into its attribute block; or, without old
// blocks, completes the attribute blocks with the six kinematic attributes. False when the user
// declined, gave no number or cancelled the pick of the attribute block (nothing is changed then and
// the version stays).
bool UpdateDrawingProgram();
// Formats 2 to 3 (stream names from the old stream attributes into the block names) and 3 to 4 (no
// spaces in stream block names or in the attribute texts of any intersection). Always true.
bool UpdateDrawingProgram2();

}  // namespace conflictor
