// The two drawing formats of the stream model: component block names
// "<intersection>^STRUMIEN_<n>^<stream>[^<stream>...]" and the per-stream values kept as
// "<name>:<value>^" entries in the attributes of the intersection attribute block
// "ATRYBUTY_STRUMIENI_<intersection>". The tag/value table is automation::StreamAttributeTags,
// whose entries 0 to 8 hold the nine tags in their fixed order.
#pragma once

#include "automation/AttributeTable.h"
#include "platform/cad/Collections.h"

#include <QString>
#include <QStringList>

namespace conflictor {

using automation::StreamAttributeTags;

// The nine attribute tags of the intersection attribute block, in their order.
const QStringList& StreamAttributeTagNames();
constexpr int StreamAttributeTagUsed = 9;

// Handle of the attribute block reference found by the last read; empty when none was found.
extern QString StreamAttributeBlockHandle;

// Puts the nine tags into entries 0 to 8 of the table (start-up).
void InitStreamAttributeTags();

// prefix, n and suffix for the first n from the drawing's block count plus 1 for which no block is
// named prefix & n, nor begins with prefix & n & "^": a number is never shared by two components.
// The numbers taken are remembered between calls and brought up to date from the blocks added
// since; every candidate is still checked against the drawing.
QString MakeUniqueStreamBlockName(const QString& prefix, const QString& suffix);
// The component number in a block name of the prefix (the text between the prefix and the next "^"
// or the end, when it is a plain decimal number); -1 for any other name.
qint64 ComponentNumberOf(const QString& prefix, const QString& name);
// Forgets the remembered numbers (after renames that give blocks new numbers, a new drawing).
void ForgetComponentNumbers();
// The block table of the active drawing, fetched once per drawing (the names above keep it).
cad::Blocks ComponentBlockTable();

// True when `streamName` is listed in `blockName` (names compared without regard to case).
// With `count` 0 or more on entry, SharedStreamNames receives every listed name the table knows and
// `count` their number; a negative `count` collects nothing and returns 0. With `removeMode` 1 the
// stream's name and the "^" before it are cut out of `blockName`.
bool ParseStreamBlockName(const QString& streamName, QString& blockName, int removeMode, int& count);
// Handle of the first reference on `layer` whose name matches prefix & streamName & "*" and lists the
// stream; empty when none. `prefix` is a filter pattern ("<nr>^STRUMIEN_*^", the number escaped).
QString FindStreamBlockHandle(const QString& prefix, const QString& streamName, const QString& layer);

// Fills the table values and StreamAttributeBlockHandle from the current intersection's block;
// values of missing attributes are kept.
void ReadIntersectionAttributeBlock();
// Why the last read could not take the streams' values from the block (two blocks of the
// intersection, a tag held twice); empty when it could or there is none.
const QString& IntersectionAttributeBlockProblem();
// The stream's value in the tag's text; empty when absent.
QString GetStreamAttribute(const QString& tag, const QString& streamName);
// Changes or adds the stream's entry; with `refresh` the block is read first and written back after.
// A value loses every "^" and the ":" of every "<stream name>:" it holds, so it cannot break other
// entries; a name that is empty or holds "^" or ":" is refused (false, nothing changes).
bool SetStreamAttribute(const QString& tag, const QString& streamName, const QString& value, bool refresh);
// Writes the table's non-empty values into the reference with that handle; nothing for an empty one.
void WriteIntersectionAttributeBlock(const QString& handle);

// The value as SetStreamAttribute stores it.
QString CleanStreamAttributeValue(const QString& value);

// The filter pattern of a text typed by the user (an intersection number, a stream name): every
// wildcard character escaped.
QString PatternText(const QString& text);
// A stream name as it may stand in a pattern: cut before its first "[" (which would open a character
// class), escaped.
QString StreamNamePattern(const QString& streamName);

}  // namespace conflictor
