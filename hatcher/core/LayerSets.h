// The five named sets of drawing layers of hatcher and their file "zestawy_warstw.txt": a header
// line "<ZESTAWn>" starts set n (1..5), every following line is one layer name of that set.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace hatcher {

constexpr int LayerSetCount = 5;
constexpr int LayerSetSize = 50;
using LayerSet = std::array<QString, LayerSetSize>;
using LayerSetTable = std::array<LayerSet, LayerSetCount>;

// The sets of the run, read at start-up, edited by the settings dialog.
extern LayerSetTable LayerSets;
// Full path of the layer-set file in the program folder.
extern QString LayerSetsFilePath;

// The six traffic layers: never copied into a pattern, never offered for a set.
const QStringList& TrafficLayers();

// Reads the file into `sets` (emptied first). Lines the format cannot express (a header whose set
// number is not 1..5, a 51st name of a set) are left out; each is described in `problems`.
// A missing file leaves every set empty and gives false.
bool ReadLayerSets(const QString& path, LayerSetTable& sets, QStringList* problems = nullptr);
// Writes the five sets, each header followed by its non-empty names in slot order (CR LF lines).
bool WriteLayerSets(const QString& path, const LayerSetTable& sets);
// The non-empty names of a set in slot order; an index outside 0..4 gives none.
QStringList LayerSetNames(const LayerSetTable& sets, int index);

}  // namespace hatcher
