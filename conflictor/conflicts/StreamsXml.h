// The XML export of the streams ("Export.xml"): every stream of the current intersection with the
// geometry of its components in scale-free coordinates around the centre of all components. Started
// only by the main window's hidden developer button `Command1` ("xx export test").
#pragma once

#include "common/Geometry.h"

#include <QString>

namespace conflictor {

QString XmlIndent(int level);
common::PlanePoint ToExportCoordinates(const common::PlanePoint& point, const common::PlanePoint& centre,
                                       double scale);
// The centre of the extent of all component ends; marks both corners and the centre with points.
common::PlanePoint FindStreamsCentre(int lastStream);
// Writes "Export.xml" into `folder` (empty: the drawing's folder). Returns the file written, "" when
// none was (the reason shown).
QString ExportStreamsXml(const QString& folder = QString());

}  // namespace conflictor
