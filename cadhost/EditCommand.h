// The window's commands that change the drawing: "_move", "_copy", "_rotate", "_scale" and "_line".
// Each runs on the prompt line one input at a time, as the zoom and erase commands do; the window
// makes the whole command one undo step. The transforming commands first ask for objects (unless
// a selection was made before them), then for their points and values.
#pragma once

#include "cadhost/DragPreview.h"
#include "platform/cad/model/ObjectModel.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cadhost {

class DrawingView;

class EditCommand {
public:
    EditCommand(cad::ObjectModel& model, DrawingView* view, cad::DocumentState* doc)
        : model_(model), view_(view), doc_(doc) {}
    virtual ~EditCommand() = default;

    virtual QString prompt() const = 0;
    // Whether the prompt asks to select objects (clicks select, Enter ends the selection).
    virtual bool selecting() const { return false; }
    // Whether the prompt asks for one object (a click picks the entity under it).
    virtual bool picksEntity() const { return false; }
    // Whether the prompt takes free text (Space is a character, "1,5" no point).
    virtual bool freeText() const { return false; }
    // The rubber band's base while a point is asked.
    virtual std::optional<cad::Point> basePoint() const { return std::nullopt; }
    // What is shown moving with the cursor while the point is asked (nothing by default).
    virtual DragPreview dragPreview() const { return {}; }
    // One answer; returns a short note for the user (a refused answer, what was done).
    virtual QString input(const cad::Input& in) = 0;
    // Escape: what was made so far stays (the lines of "_line"); nothing else is changed.
    virtual void cancel() {}
    bool finished() const { return finished_; }
    cad::DocumentState* document() const { return doc_; }

protected:
    cad::ObjectModel& model_;
    DrawingView* view_;
    cad::DocumentState* doc_;
    bool finished_ = false;
};

std::unique_ptr<EditCommand> MakeMoveCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeCopyCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeRotateCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeScaleCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeTextCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeMTextCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeDdeditCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);
std::unique_ptr<EditCommand> MakeLineCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d);

// The command a typed word names ("_move", "przesuń", "m", ...); nullptr when it names none.
std::unique_ptr<EditCommand> MakeEditCommand(const QString& name, cad::ObjectModel& model, DrawingView* view);

// The command that asks for objects first: the view's selection made before the command, or the
// objects picked at "Wybierz obiekty:" (clicks, windows, crossings and typed points).
class SelectingCommand : public EditCommand {
public:
    SelectingCommand(cad::ObjectModel& model, DrawingView* view, cad::DocumentState* doc);
    QString prompt() const final;
    bool selecting() const final { return selecting_; }
    QString input(const cad::Input& in) final;

protected:
    virtual QString stagePrompt() const = 0;
    virtual QString stageInput(const cad::Input& in) = 0;
    // The chosen entities that are still alive.
    std::vector<cad::db::Entity*> chosen() const;
    // The chosen entities shown moving as `placement` carries them.
    DragPreview previewOf(std::function<std::optional<cad::db::Transform2D>(const cad::db::Point3&)> placement) const;
    // Runs `change` on every chosen entity; failures are counted into the note, naming the kind.
    QString applyToChosen(const QString& done, const std::function<void(cad::db::Entity*)>& change);
    // Ends the command and lets go of the selection.
    void finish();

private:
    bool selecting_ = true;
    std::vector<quint64> handles_;
};

}  // namespace cadhost
