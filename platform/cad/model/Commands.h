// The drawing commands the programs send as text. Each is a small state machine fed one input
// at a time by the command processor; entities are created through the model-space dispatch
// table, so they take the current layer, colour and linetype like any other new entity.
#pragma once

#include "platform/cad/model/CommandProcessor.h"

#include <initializer_list>

namespace cad {

std::unique_ptr<CommandProcessor::Command> MakeArcCommand(ObjectModel& m, DocumentState* doc);
std::unique_ptr<CommandProcessor::Command> MakePlineCommand(ObjectModel& m, DocumentState* doc);
std::unique_ptr<CommandProcessor::Command> MakeCircleCommand(ObjectModel& m, DocumentState* doc);
std::unique_ptr<CommandProcessor::Command> MakeInsertCommand(ObjectModel& m, DocumentState* doc);
std::unique_ptr<CommandProcessor::Command> MakeViewresCommand(ObjectModel& m, DocumentState* doc);
// "_undo" asks how many steps to undo; its result goes to `message`.
std::unique_ptr<CommandProcessor::Command> MakeUndoCommand(ObjectModel& m, DocumentState* doc,
                                                           QString& message);
// Undoes up to `count` steps ("_u" is one) or redoes one; the note for the user.
QString UndoSteps(ObjectModel& m, DocumentState* doc, int count);
QString RedoStep(ObjectModel& m, DocumentState* doc);

// A typed keyword without the language prefix "_", upper-cased.
QString KeywordOf(const QString& text);

// One keyword a prompt offers: the Polish word it shows in its "[...]" and the English one.
struct Keyword {
    const char* polish;   // UTF-8
    const char* english;
};
// Which of the prompt's keywords the typed text names (its index), or -1. Without "_" the text is
// a Polish keyword, with "_" an English one, either way whole or by any start of it that no other
// keyword of the prompt shares (the capital alone, mostly); case is ignored.
int KeywordIndex(const QString& typed, std::initializer_list<Keyword> keywords);
// A typed number ("2.5", "2,5"); nullopt when the text is none.
std::optional<double> NumberOf(const QString& text);

}  // namespace cad
