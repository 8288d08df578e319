// The rules of the stream grid that need no window: the hidden sort key, the kinematic values as the
// grid shows them, which cells may be edited and which characters a column takes.
#pragma once

#include "conflictor/streams/StreamRecords.h"

#include <QChar>
#include <QString>
#include <QStringList>

namespace conflictor {

// Kind letter code (K "A", P "B", S "C", R "D", B "E", T "F"), the number zero-padded to 5 digits and,
// for a variant, "[" with the variant number zero-padded to 5 digits and "]": K1 < K1[2] < K1[10] < K2 <
// K10 < P1 when compared as text without regard to case.
QString StreamSortKey(const StreamRecord& stream);
// The named streams of the table in the grid's row order: by sort key without regard to case, equal
// keys in table order.
QStringList GridStreamOrder();

// Columns 5 to 8 hold speeds; in km/h they are shown as whole numbers, otherwise (and in columns 4 and
// 9) with two decimals, with the user's decimal separator.
bool IsSpeedColumn(int column);
// The display unit: the main window's bound value "kmh" (entry 3 of SettingBindings) equals 1.
bool SpeedsInKmh();
// Entries 0 to 8 of SettingBindings, the persisted values of conflictor's windows.
void FillSettingBindings();
QString KinematicCellText(double value, int column, bool kmh);
// The stored value (m/s for speeds) of what a cell shows.
double KinematicValueOfCell(const QString& text, int column, bool kmh);
// The record field a kinematic column (4 to 9) shows; nullptr for other columns.
double* KinematicField(StreamRecord& stream, int column);
// The attribute tag of an editable column (0, 2 to 9); empty for others.
QString ColumnAttributeTag(int column);

// May the cell of this stream be edited? Description, group and phases of every stream; the
// kinematic values of a vehicle stream; only the clearing speed of a pedestrian or bicycle stream.
bool IsStreamCellEditable(const StreamRecord* stream, int column);
// Does the column take the typed or pasted character? Digits and "." everywhere, "," in the description,
// phase and kinematic columns; anything else only in the description, where "^", ":" and control
// characters are refused because they would break the entries of the attribute block.
bool CellAcceptsChar(int column, QChar ch);

}  // namespace conflictor
