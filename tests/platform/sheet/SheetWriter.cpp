// A second program saving a workbook, for the tests of two writers at once:
//   sheet_test_writer FILE CELL TEXT [PAUSE-MS]
// opens FILE, writes TEXT into CELL of its first worksheet, waits PAUSE-MS (the time a program
// spends between reading and saving) and saves. Exit 0 once saved, 1 with the message otherwise.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const QStringList args = qapp.arguments();
    if (args.size() < 4) return 2;
    try {
        sheet::Application app;
        sheet::Workbook& book = app.workbooks().open(args[1]);
        book.worksheets(1).range(args[2]).setValue(args[3]);
        if (args.size() > 4) QThread::msleep(args[4].toULong());
        book.save();
    } catch (const sheet::Error& e) {
        std::fprintf(stdout, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
