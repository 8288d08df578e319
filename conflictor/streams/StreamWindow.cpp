// The installed main window of the stream model and its headless stand-in.
#include "conflictor/streams/StreamWindow.h"

#include "conflictor/streams/StreamRecords.h"

#include <QCoreApplication>

#include <algorithm>

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

void StreamWindow::beginProgress(int maximum) {
    setProgressValue(0);
    setProgressMaximum(maximum);
    setProgressVisible(true);
    setBigButtonVisible(false);
    setUnitsButtonVisible(false);
}

void StreamWindow::endProgress() {
    setProgressVisible(false);
    setBigButtonVisible(true);
    setUnitsButtonVisible(DetailsShown);
}

void StreamWindow::removeGridRow(int index) {
    if (StreamTable.empty()) {
        GridStreamName.clear();
        GridStreamIndex = -1;
        return;
    }
    const int next = std::min(index, int(StreamTable.size()) - 1);
    GridStreamName = StreamTable[size_t(next)].Name;
    GridStreamIndex = next;
}

void StreamWindow::setCommandsBlocked(bool blocked) {
    const bool before = BlockDepth > 0;
    BlockDepth = blocked ? BlockDepth + 1 : std::max(0, BlockDepth - 1);
    if (before != (BlockDepth > 0)) commandsBlockedChanged(BlockDepth > 0);
}

StreamDialogHooks& StreamDialogs() {
    static StreamDialogHooks hooks;
    return hooks;
}

CommandBlock::CommandBlock() {
    MainWindow().setCommandsBlocked(true);
}

CommandBlock::~CommandBlock() {
    MainWindow().setCommandsBlocked(false);
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
