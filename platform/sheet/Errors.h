// The typed failures of the workbook layer. The programs trap these where a workbook step may fail
// and show their own Polish message.
#pragma once

#include <QString>
#include <stdexcept>

namespace sheet {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// An absent worksheet, workbook, property or name.
class NotFound : public Error {
public:
    using Error::Error;
};
// A malformed address, argument or constant.
class InvalidArgument : public Error {
public:
    using Error::Error;
};
// A formula that cannot be read (unbalanced brackets, stray characters).
class FormulaError : public Error {
public:
    using Error::Error;
};
// A file that cannot be read or written.
class FileError : public Error {
public:
    using Error::Error;
};
// A file whose cell holds what no spreadsheet holds there: a number out of range, a logical value
// other than 0 or 1, an error value no spreadsheet has, a number of a text or of a shared formula
// that points nowhere. The message names the cell and its sheet.
class CellDataError : public FileError {
public:
    using FileError::FileError;
};
// Running a macro that no workbook offers.
class MacroNotFound : public Error {
public:
    using Error::Error;
};
// The object belongs to a closed workbook.
class Released : public Error {
public:
    using Error::Error;
};
// The user cancelled a dialog the layer showed (save of a never-saved workbook).
class Cancelled : public Error {
public:
    using Error::Error;
};
// A member this engine does not offer for the given object.
class NotSupported : public Error {
public:
    using Error::Error;
};

}  // namespace sheet
