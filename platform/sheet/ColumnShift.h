// Moving references when whole columns are inserted (layer-internal): shared by the cells, the
// defined names and the parts of a sheet's file the model keeps as read.
#pragma once

#include "platform/sheet/Formula.h"

#include <memory>

namespace sheet {

class Workbook;
class Worksheet;

// The formula as held at (row, newCol) after inserting `count` columns before column `at` of
// `target`, seen before it from (row, oldCol) of `host`; nullptr when nothing in it changes.
std::shared_ptr<const Formula> shifted(const Formula& f, Worksheet* host, Worksheet* target, int oldCol,
                                       int newCol, int at, int count);
void shiftRect(Rect& r, int at, int count);

// The conditional formats, data validations, view selection, auto filter and ignored-error
// ranges kept in the sheets' file parts follow the insertion into `target`.
void shiftKeptSheetParts(Workbook& book, Worksheet& target, int at, int count);

}  // namespace sheet
