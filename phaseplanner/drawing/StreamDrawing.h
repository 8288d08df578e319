// The open drawing that holds the intersection's traffic streams: the program table may live in a
// drawing of its own (a new one from the template), while the streams that playback and the colliding
// pairs colour stay in the drawing conflictor keeps them in, the one holding the intersection's stream
// attribute block.
#pragma once

#include "platform/cad/Document.h"

#include <QString>

namespace phaseplanner {

// "ATRYBUTY_STRUMIENI_" and the current intersection number.
QString StreamAttributeBlockName();
// The active drawing when it holds the stream attribute block, else the first other open drawing that
// does; a null document when none does (or no drawing is open). Without an intersection number, the
// active drawing. `activeKnown`: the caller has just made automation's current drawing the active
// one (CheckDocumentOpen), which is then not asked for again.
cad::Document FindStreamDrawing(bool activeKnown = false);
// The message for a search that found no such drawing.
QString StreamDrawingMissingMessage();

// While it lives, automation's current drawing and model space are those of the stream drawing (when
// one is found); the active drawing's come back when it ends.
class StreamDrawingScope {
public:
    explicit StreamDrawingScope(bool activeKnown = false);
    ~StreamDrawingScope();
    StreamDrawingScope(const StreamDrawingScope&) = delete;
    StreamDrawingScope& operator=(const StreamDrawingScope&) = delete;
    bool found() const { return found_; }

private:
    cad::Document document_;
    cad::Block modelSpace_;
    bool found_ = false;
};

}  // namespace phaseplanner
