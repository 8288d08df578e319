// The window's own commands: zoom, regen and erase.
#include "cadhost/HostCommands.h"

#include "cadhost/DrawingView.h"
#include "cadhost/SelectionWindow.h"
#include "platform/cad/model/Commands.h"

#include <algorithm>

namespace cadhost {

namespace {

QString commandName(const QString& typed) {
    QString n = typed.trimmed().toLower();
    while (!n.isEmpty() &&
           (n.front() == QLatin1Char('_') || n.front() == QLatin1Char('\'') || n.front() == QLatin1Char('.')))
        n.remove(0, 1);
    return n;
}

// The zoom option a typed word names at "[Zakres/Okno/Poprzedni]": 'E', 'W' or 'P'.
QChar zoomOption(const QString& typed) {
    switch (cad::KeywordIndex(typed, {{"Zakres", "Extents"}, {"Okno", "Window"}, {"Poprzedni", "Previous"}})) {
        case 0:
            return QLatin1Char('E');
        case 1:
            return QLatin1Char('W');
        case 2:
            return QLatin1Char('P');
        default:
            return {};
    }
}

}  // namespace

bool HostCommands::start(const QString& typed) {
    const QString n = commandName(typed);
    // A new command: the cancel mark of an earlier one is not the last prompt any more.
    if (!n.isEmpty()) model_.lastPrompt.clear();
    if (n == QLatin1String("zoom") || n == QLatin1String("z")) {
        step_ = ZoomOption;
        return true;
    }
    const bool erase = n == QLatin1String("erase") || n == QLatin1String("e") || n == QStringLiteral("usuń");
    const bool properties = n == QLatin1String("properties") || n == QLatin1String("pr") ||
                            n == QLatin1String("ch") || n == QStringLiteral("właściwości");
    if (erase || properties) {
        onSelected_ = erase ? eraser_ : propertiesEditor_;
        if (!onSelected_) return false;
        // A selection made before the command is used at once, as the CAD does.
        if (!view_->selection().isEmpty()) {
            view_->rememberSelection();
            note_ = onSelected_();
            step_ = Idle;
        } else {
            step_ = EraseSelect;
        }
        return true;
    }
    if (auto edit = MakeEditCommand(typed, model_, view_)) {
        // What came before is a step of its own, and so is the command.
        model_.closeUndoSteps();
        edit_ = std::move(edit);
        step_ = Editing;
        return true;
    }
    if (n == QLatin1String("regen") || n == QLatin1String("re")) {
        view_->drawingChanged();
        step_ = Idle;
        return true;
    }
    return false;
}

void HostCommands::startEdit(std::unique_ptr<EditCommand> edit) {
    model_.lastPrompt.clear();
    model_.closeUndoSteps();
    edit_ = std::move(edit);
    step_ = Editing;
}

QString HostCommands::prompt() const {
    switch (step_) {
        case ZoomOption:
            return QStringLiteral("Określ narożnik okna lub [Zakres/Okno/Poprzedni]:");
        case ZoomFirst:
            return QStringLiteral("Określ pierwszy narożnik:");
        case ZoomSecond:
            return QStringLiteral("Określ przeciwległy narożnik:");
        case EraseSelect:
            return QStringLiteral("Wybierz obiekty:");
        case Editing:
            return edit_->prompt();
        case Idle:
            break;
    }
    return {};
}

std::optional<cad::Point> HostCommands::basePoint() const {
    if (step_ == ZoomSecond) return first_;
    if (step_ == Editing) return edit_->basePoint();
    return std::nullopt;
}

void HostCommands::cancel() {
    if (step_ == Editing) {
        try {
            edit_->cancel();
        } catch (const cad::Error&) {
            // What the command kept could not be finished; the drawing stays as it is.
        }
        endEdit();
    }
    step_ = Idle;
    model_.lastPrompt = QStringLiteral("*Anulowano*");
}

void HostCommands::endEdit() {
    edit_.reset();
    step_ = Idle;
    model_.closeUndoSteps();
}

QString HostCommands::input(const cad::Input& in) {
    if (step_ == Editing) return editInput(in);
    if (step_ == EraseSelect) return selectInput(in);
    return zoomInput(in);
}

QString HostCommands::editInput(const cad::Input& in) {
    if (in.kind == cad::Input::Cancel) {
        cancel();
        return {};
    }
    // The drawing the command works on was closed meanwhile: nothing is left to change.
    const auto& docs = model_.documents();
    if (std::find(docs.begin(), docs.end(), edit_->document()) == docs.end()) {
        endEdit();
        return QStringLiteral("Rysunek polecenia został zamknięty.");
    }
    QString note;
    try {
        note = edit_->input(in);
    } catch (const cad::Error& e) {
        note = e.message();
        endEdit();
        return note;
    }
    if (edit_->finished()) endEdit();
    return note;
}

QString HostCommands::selectInput(const cad::Input& in) {
    // Clicks select in the view itself; Enter erases what is selected, Escape drops it.
    if (in.kind == cad::Input::Enter) {
        step_ = Idle;
        if (view_->selection().isEmpty() || !onSelected_) return QStringLiteral("Nie wybrano obiektów.");
        view_->rememberSelection();
        return onSelected_();
    }
    if (in.kind == cad::Input::Cancel) {
        cancel();
        view_->clearSelection();
        return {};
    }
    if (in.kind == cad::Input::PointInput) {
        // A typed point selects what a click there would.
        view_->selectAt(view_->toScreen(cad::db::Point3{in.point.x, in.point.y, 0}));
        return {};
    }
    if (in.kind == cad::Input::TextInput)
        if (const auto note = SelectionKeyword(view_, in.text)) return *note;
    return QStringLiteral("Wskaż obiekty, Enter kończy wybór.");
}

QString HostCommands::zoomInput(const cad::Input& in) {
    if (in.kind == cad::Input::Cancel) {
        cancel();
        return {};
    }
    if (in.kind == cad::Input::Enter) {
        step_ = Idle;
        return {};
    }
    switch (step_) {
        case ZoomOption:
            if (in.kind == cad::Input::PointInput) {
                first_ = in.point;
                step_ = ZoomSecond;
                return {};
            }
            if (in.kind == cad::Input::TextInput) {
                switch (zoomOption(in.text).unicode()) {
                    case 'E':
                        view_->zoomExtents();
                        step_ = Idle;
                        return {};
                    case 'W':
                        step_ = ZoomFirst;
                        return {};
                    case 'P':
                        step_ = Idle;
                        if (!view_->zoomPrevious()) return QStringLiteral("Brak poprzedniego widoku.");
                        return {};
                    default:
                        break;
                }
                return QStringLiteral("Nieprawidłowa odpowiedź \u201e%1\u201d.").arg(in.text.trimmed());
            }
            break;
        case ZoomFirst:
            if (in.kind == cad::Input::PointInput) {
                first_ = in.point;
                step_ = ZoomSecond;
                return {};
            }
            break;
        case ZoomSecond:
            if (in.kind == cad::Input::PointInput) {
                cad::db::Box box;
                box.add(first_.x, first_.y);
                box.add(in.point.x, in.point.y);
                step_ = Idle;
                view_->zoomWindow(box);
                return {};
            }
            break;
        case EraseSelect:
        case Editing:
        case Idle:
            break;
    }
    return QStringLiteral("Nieprawidłowa odpowiedź.");
}

}  // namespace cadhost
