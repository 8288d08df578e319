// How deep a walk over nested block references goes, and the sentences that tell what it left out.
// Every walk (drawing, extents, explode, selection, snaps, copy, the programs' readings) stops at the
// same depth, so a hostile or broken file costs bounded stack and every program names the same cause.
#pragma once

#include <QString>
#include <QStringList>

namespace cad::db {

// Blocks go as deep as a drawing nests them; this bounds only the stack a pathological drawing takes.
constexpr int MaxBlockNesting = 256;

// "Nie narysowano wstawień bloków: N (...)": the references a walk stopped at, a block inside itself
// or nested past MaxBlockNesting. Empty for a count of 0.
QString nestingLeftOutNote(long long count);

// "Blok "A" wstawia sam siebie" for a block that inserts itself directly, "... (przez blok "B")" or
// "(przez bloki "B", "C")" for one that does so through others. `cycle` starts with the block that
// comes back and lists the blocks between it and its own reference, outermost first.
QString selfInsertionNote(const QStringList& cycle);

}  // namespace cad::db
