// Reading and writing workbooks as .xlsx files (layer-internal).
#pragma once

#include <QString>
#include <memory>

namespace sheet {

class Application;
class Workbook;
class Package;

// Reads the file into a new workbook (not yet in the application's collection). Throws FileError.
std::unique_ptr<Workbook> readXlsx(Application& app, const QString& path);
// The same from parts already unpacked (a zip in memory, the fuzzers); `path` names it in messages.
std::unique_ptr<Workbook> readXlsxPackage(Application& app, std::unique_ptr<Package> pkg,
                                          const QString& path);
// A new empty workbook with `sheets` worksheets, ready to be written.
std::unique_ptr<Workbook> newWorkbook(Application& app, int sheets);
// Writes the workbook, keeping every part it did not change. Throws FileError.
void writeXlsx(Workbook& book, const QString& path);

}  // namespace sheet
