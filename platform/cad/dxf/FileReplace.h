// Replacing a drawing file on disk so that a crash, a kill or a full disk at any moment leaves either
// the old drawing or the new one at its path, never neither.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <initializer_list>

namespace cad::dxf {

// Writes the parts, in order, to a temporary file of this writer's own beside `target`, flushes it to
// disk, keeps the file being replaced as `backup` (a second link to it, or a copy where the file
// system has no links; none when `backup` is empty or the target is new), puts the new file in the
// target's place in one rename and flushes the folder. Throws cad::Failed naming the target and the
// cause; the old file stays where it was.
void replaceFile(const QString& target, const QString& backup, std::initializer_list<QByteArray> parts);

// The temporary files a save writes start with this name (".plan.dxf.tmp" for "plan.dxf").
QString temporaryPrefix(const QString& target);

// The message for a drawing that is not at `path`: when a backup or a temporary file of an
// interrupted save lies beside it, it says so and names it.
QString missingDrawingMessage(const QString& path);

// Tests only: called after each step of replaceFile ("flushed": the new content is on disk; "temp":
// the temporary file is closed; "backup"; "rename") so that a test can see the steps and end the
// process between two of them.
void setReplaceStepHook(std::function<void(const char* step)> hook);

}  // namespace cad::dxf
