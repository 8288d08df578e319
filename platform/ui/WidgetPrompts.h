// The Qt Widgets prompt service: message boxes with the flags' buttons, icons, default button and
// results; the input box; open and save file dialogs taking the "Desc (*.x)|*.x" filter form; a folder
// dialog. A program installs one at start-up: `static ui::WidgetPrompts prompts;
// ui::SetPromptService(&prompts);`
#pragma once

#include "platform/ui/core/Prompt.h"

#include <QString>
#include <QStringList>

class QAbstractButton;
class QFileDialog;
class QInputDialog;
class QMessageBox;
class QWidget;

namespace ui {

class WidgetPrompts : public PromptService {
public:
    int message(const QString& text, int flags, const QString& title) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<QString> file(const FileRequest& request) override;
    std::optional<QString> folder(const QString& title, const QString& initialFolder) override;

    // The pieces of the dialogs, open for tests and for callers that show them themselves.
    // A message box set up for the flags (buttons in the order callers give, Polish captions, icon,
    // default and escape button); each button carries its MsgResult in the property "msgResult".
    static QMessageBox* buildMessageBox(const QString& text, int flags, const QString& title,
                                        QWidget* parent);
    // The MsgResult of a clicked button of such a box; Cancel when the box was closed otherwise.
    static int resultOf(const QAbstractButton* clicked);
    static QInputDialog* buildInputDialog(const InputRequest& request, QWidget* parent);
    static QFileDialog* buildFileDialog(const FileRequest& request, QWidget* parent);
    // "Tekst (*.txt)|*.txt|Wszystkie (*.*)|*.*" as Qt name filters: "Tekst (*.txt)", "Wszystkie (*)".
    static QStringList nameFiltersOf(const QString& filter);
};

}  // namespace ui
