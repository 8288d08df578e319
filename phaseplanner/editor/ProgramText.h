// The plain text form of a signal program used by the developer tools: "CYKL <seconds>", then one
// line per group "GRUPA <nr> | <kind 0-3> | <symbols> | <start>+<length> ... | <options>" where the
// options are "DOPELNIJ <second>", "TYLKOCZERWONE" or "BRAKSYGNALU". Missing numbers are deleted groups.
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>
#include <vector>

namespace phaseplanner {

QString FormatProgramText(const std::vector<GroupRecord>& table, int cycleLength);
// False with `error` set for a line that does not read.
bool ParseProgramText(const QString& text, std::vector<GroupRecord>& table, int& cycleLength, QString& error);

}  // namespace phaseplanner
