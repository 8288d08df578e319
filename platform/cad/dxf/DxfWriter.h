// Writing a drawing database as an ASCII DXF R2000 (AC1015) file that independent readers accept.
#pragma once

#include "platform/cad/engine/Database.h"

#include <QByteArray>
#include <QString>

namespace cad::dxf {

// The drawing as DXF text in its code page (characters outside it written as \U+XXXX).
QByteArray writeBuffer(const db::Database& db);
// Saves the drawing: writes a temporary file beside the target and replaces the target in one step
// only when the write is on disk, keeping the previous file beside it with the extension ".bak" (as
// the CAD does: "plan.dxf" -> "plan.bak"). Throws cad::Failed naming the drawing and the cause.
void writeFile(const db::Database& db, const QString& path);

}  // namespace cad::dxf
