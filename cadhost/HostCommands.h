// Commands the drawing window answers itself: "_zoom" (window, extents, previous), "_regen",
// "_erase" (the selection made before it, or objects selected at its prompt) and the editing
// commands (see EditCommand.h), each of which is one undo step. They take the prompt line while
// they run, as the drawing commands do; Escape leaves "*Anulowano*" as the last prompt.
#pragma once

#include "cadhost/EditCommand.h"
#include "platform/cad/model/Interaction.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace cadhost {

class DrawingView;

class HostCommands {
public:
    HostCommands(cad::ObjectModel& model, DrawingView* view) : model_(model), view_(view) {}
    // What erases the view's selection (as one undo step); returns a note for the user.
    void setEraser(std::function<QString()> eraser) { eraser_ = std::move(eraser); }
    // What changes layer, colour and linetype of the view's selection ("_properties").
    void setPropertiesEditor(std::function<QString()> editor) { propertiesEditor_ = std::move(editor); }

    // Starts the command a typed word names; false when it names none of the window's own.
    bool start(const QString& typed);
    bool active() const { return step_ != Idle; }
    // Starts an editing command made elsewhere (a grip clicked in the view).
    void startEdit(std::unique_ptr<EditCommand> edit);
    // Whether the command asks the user to select objects (clicks select, Enter ends).
    bool selecting() const { return step_ == EraseSelect || (edit_ && edit_->selecting()); }
    // Whether the prompt asks for one object (clicks pick the entity under them).
    bool picksEntity() const { return step_ == Editing && edit_->picksEntity(); }
    // Whether the prompt takes free text (a text's contents).
    bool freeText() const { return step_ == Editing && edit_->freeText(); }
    QString prompt() const;
    // The rubber band's base while a second corner is asked.
    std::optional<cad::Point> basePoint() const;
    // What the running editing command shows moving with the cursor.
    DragPreview dragPreview() const { return step_ == Editing ? edit_->dragPreview() : DragPreview{}; }
    // One answer; returns a short message for the user when the answer was refused.
    QString input(const cad::Input& in);
    void cancel();
    // A note left by the last command that ended without an input (the erase of a selection).
    QString takeNote() { return std::exchange(note_, QString()); }

private:
    // The input of the running step: an editing command, the selection to erase, the zoom.
    QString editInput(const cad::Input& in);
    QString selectInput(const cad::Input& in);
    QString zoomInput(const cad::Input& in);
    enum Step { Idle, ZoomOption, ZoomFirst, ZoomSecond, EraseSelect, Editing };
    // The editing command ended: its changes close their undo step.
    void endEdit();
    cad::ObjectModel& model_;
    DrawingView* view_;
    std::unique_ptr<EditCommand> edit_;
    std::function<QString()> eraser_;
    std::function<QString()> propertiesEditor_;
    // What runs on the objects selected at "Wybierz obiekty:" (erase, properties).
    std::function<QString()> onSelected_;
    QString note_;
    Step step_ = Idle;
    cad::Point first_;
};

}  // namespace cadhost
