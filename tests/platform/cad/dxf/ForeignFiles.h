// Drawings as other programs write them, read from tests/data or built by the tests from pair lists,
// and the checks that a saved file keeps their structure: handles, pointers, binary encoding.
#pragma once

#include <QByteArray>
#include <QString>
#include <set>

namespace cadtest {

// The bytes of a file under tests/data ("cad/foreign_r2018.dxf"); throws when it cannot be read,
// so a test never goes on with an empty drawing.
QByteArray testData(const char* name);
// A DXF text from lines "code value" (the value may be empty: "4 ").
QByteArray dxfFromPairs(const char* pairs);
// The same pairs in the binary encoding: two-byte group codes, or one byte (with 255 escaping
// larger codes) as R12 writes them.
QByteArray binaryDxf(const QByteArray& text, bool oneByteCodes = false);
// An R2018 drawing with what the issue list names: an MTEXT with an embedded object, an ATTDEF
// with a second alignment code, a LAYOUT sharing its handle with a layer, an ENDBLK and a block
// without handles, a shape-file style used by a complex linetype, unmodelled entities with true
// colour and linetype scale, a table head with an extension dictionary, an ACDSDATA section.
QByteArray foreignR2018();

struct HandleUse {
    std::set<QString> defined;   // handles records carry (5, 105)
    std::multiset<QString> all;  // the same, duplicates kept
    std::set<QString> pointers;  // handles that pointer codes name (320-369, 390-399, 480, 481, 1005)
};
HandleUse handleUse(const QByteArray& dxf);
// Pointers of `dxf` that name no record.
std::set<QString> danglingPointers(const QByteArray& dxf);
// Values given more than once by a handle code (5, 105) anywhere in `dxf` but $HANDSEED: a record's
// own handle or a sort key, as readers that take every code 5 for a handle see them.
std::set<QString> duplicateHandles(const QByteArray& dxf);

}  // namespace cadtest
