// The installed main window of the stream model and its headless stand-in.
#include "conflictor/streams/StreamWindow.h"

#include <QCoreApplication>

namespace conflictor {

namespace {

StreamWindow& headless() {
    static StreamWindow window;
    return window;
}

StreamWindow* installed = nullptr;

}  // namespace

void StreamWindow::yieldToMessageLoop() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

StreamWindow& MainWindow() {
    return installed ? *installed : headless();
}

StreamWindow* SetStreamWindow(StreamWindow* window) {
    StreamWindow* previous = installed;
    installed = window;
    return previous;
}

}  // namespace conflictor
