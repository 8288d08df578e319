// Binary DXF: the same group codes and values as the text form, in a binary encoding. The reader
// turns such a file into the text form first and reads that.
#pragma once

#include <QByteArray>
#include <QString>

namespace cad::dxf {

// Whether the data starts with the binary DXF sentinel.
bool isBinaryDxf(const QByteArray& data);
// The pairs of a binary DXF as text lines ("code\nvalue\n"); throws cad::Failed on truncated or
// malformed data, naming `sourceName`.
QByteArray binaryDxfToText(const QByteArray& data, const QString& sourceName);

}  // namespace cad::dxf
