// Drawing a component of the grid's current stream: a line picked point by point, or an arc or a
// polyline drawn with the CAD's own command and collected by a 100 ms poll once the command ended.
#pragma once

#include <QString>

namespace conflictor {

// Drawing modes of DrawStreamComponent.
enum DrawMode : int { Odcinek = 0, Luk = 1, Kontynuacja = 2 };

// Module state of the drawing: the mode whose CAD command is awaited (0 none) and the number of
// model-space entities counted when it was sent.
extern int PendingDrawMode;
extern int ModelSpaceCountBefore;

// The drawing command for the grid's current stream (MainWindow().GridStreamName).
void DrawStreamComponent(int mode);
// One tick of the poll `tRunNext`; the timer calls it every 100 ms while a command is awaited.
void frmMain_tRunNext_Timer();
// True while the poll timer runs.
bool RunNextTimerActive();
// Takes the entity the CAD command added (model-space index) into the stream.
void CallbackFunction(int index);
// Appends a component handle to the stream's records; refuses (std::out_of_range) a 101st component.
void StoreStreamComponent(int streamIndex, const QString& handle);

// The message shown when a stream has no room for another component.
QString FullStreamMessage();

}  // namespace conflictor
