// Selection of entities: the CAD wildcard dialect for names and the filter lists of group codes
// used by selection sets, over model space, whole or by crossing window or polygon.
#pragma once

#include "platform/cad/engine/Geometry.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace cad::db {

class Database;
class Entity;

// A compiled wildcard pattern of the CAD dialect, matched without regard to case:
// `*` any run, `?` any one character, `#` a digit, `@` a letter, `.` a character that is neither
// letter nor digit, `[...]` a class (ranges "a-z"), `[~...]` a negated class, `~` at the start
// negates the whole pattern, `` ` `` takes the next character literally, `,` separates
// alternatives. Every other character (also "^" and "_") matches itself.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);
    ~WildcardPattern();
    WildcardPattern(WildcardPattern&&) noexcept;
    WildcardPattern& operator=(WildcardPattern&&) noexcept;
    // True when the text matches.
    bool matches(QStringView text) const;
    // True when the pattern has no wildcard (one exact name); the name is then `literal()`.
    bool isLiteral() const;
    QString literal() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// One-shot match of a text against a pattern of the dialect.
bool wildcardMatch(const QString& pattern, const QString& text);

// One (group code, value) pair of a filter list. Codes: 0 type ("INSERT", "Text"; wildcard),
// 2 name (block name of references, pattern name of hatches, tag of attribute definitions;
// wildcard), 8 layer (wildcard), 6 linetype (wildcard), 62 colour index, 5 handle,
// -4 "<or" "or>" "<and" "and>" "<not" "not>" "<xor" "xor>".
struct FilterItem {
    int code = 0;
    QVariant value;
};
using FilterList = std::vector<FilterItem>;

// A compiled filter list; top-level items are joined by AND.
class Filter {
public:
    // Throws cad::InvalidArgument for unbalanced groups, a "<not" group without exactly one
    // operand, an unsupported code or a value of the wrong type.
    explicit Filter(const FilterList& items);
    ~Filter();
    Filter(Filter&&) noexcept;
    // True when the entity passes the filter.
    bool matches(const Entity& entity) const;

private:
    friend std::vector<Entity*> selectAll(const Database&, const FilterList&);
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Every live model-space entity that passes the filter, in model-space (creation) order.
// Uses the block-name and layer indexes when the filter names a block or layer at top level.
std::vector<Entity*> selectAll(const Database& db, const FilterList& filter);
// Live model-space entities whose bounding box lies in or crosses the window (touching counts).
std::vector<Entity*> selectCrossingWindow(const Database& db, const Point3& corner1, const Point3& corner2,
                                          const FilterList& filter);
// Live model-space entities whose bounding box lies in or crosses the closed polygon.
std::vector<Entity*> selectCrossingPolygon(const Database& db, const std::vector<Point3>& polygon,
                                           const FilterList& filter);

}  // namespace cad::db
