// The DXF reader's state, shared by the files that read each part of a file: records and their
// common parts (DxfReader.cpp), handles (DxfReadHandles.cpp), the header and tables
// (DxfReadTables.cpp), blocks (DxfReadBlocks.cpp), entities (DxfReadEntities.cpp,
// DxfReadEntityKinds.cpp, DxfReadHatch.cpp) and objects (DxfReadObjects.cpp).
#pragma once

#include "platform/cad/dxf/CodePage.h"
#include "platform/cad/dxf/DxfTokenizer.h"
#include "platform/cad/engine/Database.h"

#include <QString>
#include <cmath>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace cad::dxf::reading {

inline constexpr double degToRad = M_PI / 180.0;

inline std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Whether a code is the x, y or z of the point whose x code is `base`.
inline bool isPointCode(int code, int base) {
    return code == base || code == base + 10 || code == base + 20;
}

// The parts of a record common to every object.
struct Split {
    quint64 handle = 0;
    quint64 owner = 0;
    quint64 extDict = 0;
    std::vector<quint64> reactors;
    db::Tags appData;
    std::vector<const RawTag*> body;
    std::vector<const RawTag*> xdata;
};

// A record that belongs to the entity before it: VERTEX ... SEQEND after a POLYLINE,
// ATTRIB ... SEQEND after an INSERT.
struct SubRecord {
    QString type;
    std::vector<RawTag> tags;
};

// The place in a hatch's own codes the boundary and pattern parsers have reached.
struct HatchCursor;

class Reader {
public:
    Reader(const QByteArray& data, const QString& source)
        : tk_(data, source), cp_(QStringLiteral("ANSI_1252"), false), data_(data) {}

    std::unique_ptr<db::Database> run();

private:
    // ---- records ----
    bool readRecord(std::vector<RawTag>& out, QString& type, qint64& line);
    void split(const std::vector<RawTag>& rec, Split& s, bool dimstyle = false);
    QString text(const RawTag& t) { return cp_.decode(t.value.data(), qsizetype(t.value.size())); }
    QString name(const RawTag& t);
    double num(const RawTag& t) { return toDouble(tk_, t); }
    int integer(const RawTag& t) { return toInt(tk_, t); }
    db::Tag toTag(const RawTag& t) { return db::Tag{t.code, text(t)}; }
    void applyObject(db::DbObject* o, const Split& s);

    // ---- sections ----
    void readHeader();
    void readClasses();
    void readTables();
    void readTable(const QString& tableName, quint64 tableHandle);
    void readBlocks();
    void readEntities(db::BlockDefinition* defaultBlock, const char* terminator);
    void readObjects();
    void skipSection();
    void keepSection(const QString& name);

    // ---- table records ----
    void claimTableHandle(const QString& tableName, quint64 tableHandle);
    void readShapeStyle(const Split& s, const QString& type);
    void readLayer(const Split& s, const QString& recName, int flags);
    void readLinetype(const Split& s, const QString& recName, int flags);
    void readTextStyle(const Split& s, const QString& recName, int flags);
    void readBlockRecord(const Split& s, const QString& recName);
    void readViewRecord(const Split& s, const QString& recName, const QString& type);

    // ---- entities ----
    void readEntity(const QString& type, std::vector<RawTag>& rec, qint64 line, db::BlockDefinition* block);
    db::EntityKind entityKind(const QString& type, const Split& s, bool& attribsFollow);
    void readSubRecords(bool polyline, bool attribsFollow, std::vector<SubRecord>& subs);
    bool partition(db::EntityKind kind, const Split& s, std::vector<const RawTag*>& commonPart,
                   db::Tags& tail);
    void readRawEntity(db::Entity* e, const QString& type, const Split& s,
                       const std::vector<SubRecord>& subs);
    void readKind(db::Entity* e, db::EntityKind kind, const std::vector<SubRecord>& subs, db::Tags& tail);
    void readLine(db::Entity* e);
    void readCircle(db::Entity* e, db::EntityKind kind);
    void readLwPolyline(db::Entity* e);
    void readPolyline2d(db::Entity* e, const std::vector<SubRecord>& subs);
    void readText(db::Entity* e, db::EntityKind kind);
    void readMText(db::Entity* e);
    void readPoint(db::Entity* e);
    void readInsert(db::Entity* e, const std::vector<SubRecord>& subs);
    void readAttributes(db::Entity* e, db::InsertData& d, const std::vector<SubRecord>& subs);
    void readDimension(db::Entity* e);
    // A code of the kind's own that the kind does not model, kept after its data.
    void extra(db::Entity* e, const RawTag* t) {
        if (t->code != 100) e->extraTags.push_back(toTag(*t));
    }
    bool applyCommon(db::Entity* e, const RawTag& t);
    bool applyText(db::TextData& td, const RawTag& t, int verticalCode);
    bool applyAttribute(db::AttributeData& ad, const RawTag& t);
    void setPoint(db::Point3& p, const RawTag& t, int base) {
        const int k = t.code - base;
        if (k == 0)
            p.x = num(t);
        else if (k == 10)
            p.y = num(t);
        else
            p.z = num(t);
    }
    bool parseHatch(const std::vector<const RawTag*>& own, db::HatchData& h, db::Tags& extras);
    bool hatchLoop(HatchCursor& c, db::HatchLoop& loop);
    bool hatchEdge(HatchCursor& c, db::Edge& edge);
    bool patternLines(HatchCursor& c, db::HatchData& h);
    void splineEdge(const std::vector<const RawTag*>& own, size_t& i, db::Tags& out, qint64 line);
    // ---- splines (DxfReadSplines.cpp) ----
    // "kreskowanie (HATCH) o uchwycie 2F" and the like: the record being read, as its file names it.
    QString recordNamed(const char* what, const QString& type) const;
    [[noreturn]] void refuseSplineEdge(qint64 line, const QString& cause);
    // A SPLINE or HELIX kept raw whose curve cannot be drawn refuses the file, naming it and why.
    void checkSpline(const db::Entity* e, const QString& type, qint64 line);
    // The numbers of a record kept raw: nan, infinities and text where a number belongs refuse the
    // file as they do in every modelled record.
    void checkNumbers(const Split& s, const std::vector<SubRecord>& subs);
    db::BlockDefinition* modelSpace();
    db::BlockDefinition* paperSpace();

    // ---- after the last section ----
    void finish();
    void readDrawingProperties();
    void addMissingLayers();
    void nameDynamicReferences();

    Tokenizer tk_;
    CodePage cp_;
    std::unique_ptr<db::Database> db_ = db::Database::createEmpty();
    std::unordered_map<std::string_view, QString> names_, types_;
    std::vector<RawTag> rec_;
    Split entitySplit_, subSplit_;
    std::vector<const RawTag*> own_;
    quint64 handseed_ = 0;
    std::vector<std::pair<QString, QString>> headerCustom_;
    db::Dictionary* root_ = nullptr;

    // ---- handles ----
    // Every handle the file gives, before anything is read: new handles go above the highest.
    void collectHandles(const QByteArray& data);
    // The handle to adopt an object under: 0 (a new one) when a record without an object of its
    // own (BLOCK, ENDBLK, VERTEX, SEQEND) already took it.
    quint64 want(quint64 h) const { return h && claimed_.count(h) ? 0 : h; }
    // Records that an object read under `h` was adopted as `o` (renumbered as a duplicate, or
    // merged into an earlier record of the same name).
    void adopted(quint64 h, const db::DbObject* o);
    // A handle for a record that is no object of the engine's: `h` when still free, else a new one.
    quint64 claim(quint64 h);
    // Where a pointer to `h` leads after renumbering; `toObject` when it points into the OBJECTS
    // section (dictionary entries, extension dictionaries, layouts, owners of objects).
    quint64 remap(quint64 h, bool toObject) const;
    void remapTags(db::Tags& tags, bool inObject) const;
    void remapPointers();
    void pairLayoutsWithRecords();
    std::unordered_set<quint64> claimed_;
    std::unordered_set<const db::BlockDefinition*> unnumberedRecords_;
    std::unordered_map<quint64, std::vector<quint64>> renumbered_;
    const QByteArray& data_;
};

}  // namespace cad::dxf::reading
