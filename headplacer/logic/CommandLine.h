// The command line of headplacer as one raw text: arguments joined with single blanks, then split
// again at blanks and tabs with no quoting, as the program has always read it.
#pragma once

#include <QString>
#include <QStringList>

namespace headplacer {

// Element 0 is always empty; elements 1..n are the runs of characters other than blank and tab.
// At most `maxArguments` come back; the rest of the line is ignored.
QStringList SplitCommandLine(const QString& rawText, int maxArguments = 10);
// The raw text a program receives: its arguments (without the program name) joined by one blank.
QString JoinArguments(const QStringList& arguments);

}  // namespace headplacer
