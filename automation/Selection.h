// Searches of the drawing through named selection sets, filters, erase by filter, the reference
// handle search, and the conversions between plane points and the CAD's points.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/Document.h"

#include <QString>

namespace automation {

// The set of that name in `CadDocument`: added, or the existing one emptied.
cad::SelectionSet GetSelectionSet(const QString& name);
// The set a search or erase of this layer works in: a new set of that name, or, when a caller holds
// a set of that name (it may be reading it), a new set of a name of its own, so the caller's set is
// neither emptied nor deleted. The helper deletes it when done.
cad::SelectionSet GetHelperSelectionSet(const QString& name);
// A helper's own set, as GetHelperSelectionSet gives it, deleted on every way out: a search or erase
// that fails leaves no set behind for later helpers to step around.
class HelperSelectionSet {
public:
    explicit HelperSelectionSet(const QString& name);
    ~HelperSelectionSet();
    HelperSelectionSet(const HelperSelectionSet&) = delete;
    HelperSelectionSet& operator=(const HelperSelectionSet&) = delete;
    const cad::SelectionSet& operator*() const { return set_; }
    const cad::SelectionSet* operator->() const { return &set_; }
    // Deletes the set; a failure of the deletion reaches the caller.
    void remove();

private:
    cad::SelectionSet set_;
    bool removed_ = false;
};
// Filter arrays from alternating group codes and values: {0, u"INSERT", 2, pattern, 8, layer}.
// An odd count raises InvalidArgument.
cad::SelectionFilter BuildSelectionFilter(const cad::VariantList& codesAndValues);
// The text with every character that the filter wildcards give a meaning escaped by a backquote, so
// that a name the user typed (intersection number, stream name) matches only itself in a pattern.
QString EscapeFilterText(const QString& text);
// The text with the escaping backquotes removed.
QString UnescapeFilterText(const QString& text);

// Deletes the entities that rows of a search start with (as cad::ReadSelection gives them), in their
// order: the first failure is thrown, the entities before it deleted.
void DeleteEach(const cad::VariantList& rows);
// Erases every block reference of the pattern on the layer.
void EraseBlockReferencesOnLayer(const QString& blockNamePattern, const QString& layerName);
// The form that takes a value between pattern and layer; the value is not used.
void EraseBlockReferencesOnLayer(const QString& blockNamePattern, const cad::Variant& unused,
                                 const QString& layerName);
// Erases every entity on the layer, or only the references of the block name when one is given.
void EraseByLayerFilter(const QString& layerName, const QString& blockName);
// True and the first entity whose block name matches the pattern; false when none or on any failure.
bool FindFirstInsert(const QString& namePattern, cad::Entity& found);
// Handle of the first reference of the pattern on the layer; with a value, the first that has an
// attribute whose tag contains the pattern (up to a closing "*": begins with it) and whose text is the
// value. A pattern holding "[" selects by its part before the "[" and tests the names itself.
// `container` is not used (callers pass model space). Empty when nothing matches.
QString FindBlockReferenceHandle(const cad::Block& container, const QString& blockNamePattern,
                                 const cad::Variant& attributeValue, const QString& layerName);
// The same with the attribute tag given apart from the name pattern: the tag is looked for in the
// attributes' tags, the "[" rule above applies to the name pattern.
QString FindBlockReferenceHandle(const cad::Block& container, const QString& blockNamePattern,
                                 const QString& attributeTag, const cad::Variant& attributeValue,
                                 const QString& layerName);

cad::Point MakeCadPoint(const common::PlanePoint& p);
common::PlanePoint ReadCadPoint(const cad::Point& p);
common::PlanePoint ReadCadPoint(const cad::Variant& v);
void SubtractPoint(common::PlanePoint& a, const common::PlanePoint& b);
void SubtractFromSegment(common::PlaneSegment& segment, const common::PlanePoint& b);
void SubtractFromSegment(common::PlanePoint& p1, common::PlanePoint& p2, const common::PlanePoint& b);

}  // namespace automation
