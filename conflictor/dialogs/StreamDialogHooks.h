// Opens the stream commands' dialogs, owned by the main window, from the stream commands' hooks.
#pragma once

class QWidget;

namespace conflictor {

// Sets every hook of StreamDialogs() to the real dialog, modal and owned by `owner`.
void InstallStreamDialogs(QWidget* owner);

}  // namespace conflictor
