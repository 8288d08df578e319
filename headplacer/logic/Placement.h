// Bringing a head or a push-button into the drawing: the symbol drawing and the drawing's values a
// head needs, the block definition with its attribute definitions, the text style and layer, and the
// interactive insert command that the poll then waits for.
#pragma once

#include <QString>

namespace headplacer {

class InsertionPoll;

// The head drawing of the symbol in the suite's head folder; sets HeadSymbolFolder and
// HeadSymbolFile. False after the message when the file is missing or the symbol names no file of
// that folder.
bool LocateHeadSymbolFile(const QString& symbol);
// The drawing's scale, section number (asking when it is not valid) and intersection number.
// False when the program must end: no drawing, the question declined or no valid number given.
bool ReadHeadDrawingValues();

enum class InsertOutcome { Started, Declined, Failed };
// Warns about a duplicate inventory number, loads the head block with its attribute definitions,
// prepares the text style and the layer and sends the insert command; the poll then waits.
// Declined: the user chose not to continue (the program ends). Failed: the error was shown.
InsertOutcome InsertHead(const QString& symbolFile, InsertionPoll& poll);
// The push-button: loads "sygnprzycisk" with its attribute definitions and sends its insert
// command, rotated like the head. False after the message when it cannot.
bool StartPushButton(InsertionPoll& poll);
// Loads a block from its drawing when the drawing lacks it, adding the attribute definitions
// (OBIEKT, RODZAJ, SYMBOL where listed, then `tags`); the temporary reference is deleted. True when
// the drawing holds the block afterwards.
bool LoadBlockWithAttributes(const QString& blockName, const QString& drawingFile, const QStringList& tags,
                             bool identifying, double x = 0, double y = 0);

}  // namespace headplacer
