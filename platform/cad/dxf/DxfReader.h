// Reading ASCII DXF files (R12 to R2018) into a drawing database. Everything the engine does not
// model is kept as raw tags so that a drawing survives opening and saving.
#pragma once

#include "platform/cad/engine/Database.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace cad::dxf {

// Reads a DXF file. Throws cad::NotFound when the file does not exist and cad::Failed, with a
// message naming the line, when it cannot be read or is not a valid DXF file.
std::unique_ptr<db::Database> readFile(const QString& path);
// Reads DXF text held in memory; `sourceName` names it in error messages.
std::unique_ptr<db::Database> readBuffer(const QByteArray& data, const QString& sourceName = QString());

// The DXF file that stands for a drawing named with any extension (".dwg", ".dwt", ".dxf"): the
// file of the same base name with the extension ".dxf" in the same folder, names compared without
// regard to case. Empty when there is none.
QString resolveDrawingFile(const QString& path);

}  // namespace cad::dxf
