// Helpers shared by the dispatch tables: value conversions between the model and the engine,
// and the table builders, one per object kind.
#pragma once

#include "platform/cad/engine/Database.h"
#include "platform/cad/model/ObjectModel.h"

#include <memory>

namespace cad {

inline db::Point3 ToDb(const Point& p) {
    return {p.x, p.y, p.z};
}
inline Point FromDb(const db::Point3& p) {
    return {p.x, p.y, p.z};
}
inline Variant PointValue(const db::Point3& p) {
    return Variant(FromDb(p));
}
inline db::Point3 PointArg(Args args, qsizetype i) {
    return ToDb(Arg(args, i).toPoint());
}
inline double DoubleArg(Args args, qsizetype i) {
    return Arg(args, i).toDouble();
}
inline qint64 IntArg(Args args, qsizetype i) {
    return Arg(args, i).toInt();
}
inline QString TextArg(Args args, qsizetype i) {
    return Arg(args, i).toText();
}
inline bool BoolArg(Args args, qsizetype i) {
    return Arg(args, i).toBool();
}

inline db::Database& Db(Target& t) {
    return *t.rec.doc->db;
}

// The live entities of an array argument (object references).
std::vector<db::Entity*> EntitiesArg(Target& t, Args args, qsizetype i);
Variant EntityList(Target& t, const std::vector<db::Entity*>& entities);

// A lineweight the CAD offers (hundredths of a millimetre), or -1 ByLayer, -2 ByBlock, -3 default.
bool ValidLineweight(qint64 v);

// Engine system values and Variants.
Variant FromSysValue(const db::SysValue& v);
db::SysValue ToSysValue(const Variant& v);

// A drawing read from a file for Documents.Open/Add, InsertBlock with a path and the database
// document; ".dwg"/".dwt" names stand for the DXF file of the same base name, found ignoring case.
QString ResolveDrawingFile(const QString& path);
std::unique_ptr<db::Database> ReadDrawing(const QString& path);

// Dispatch tables, one per kind.
std::unique_ptr<DispatchTable> MakeApplicationTable();
std::unique_ptr<DispatchTable> MakeStateTable();
std::unique_ptr<DispatchTable> MakeDocumentsTable();
std::unique_ptr<DispatchTable> MakeDocumentTable();
std::unique_ptr<DispatchTable> MakeDatabaseDocumentTable();
std::unique_ptr<DispatchTable> MakeBlockTable();
std::unique_ptr<DispatchTable> MakeBlocksTable();
std::unique_ptr<DispatchTable> MakeLayersTable();
std::unique_ptr<DispatchTable> MakeLayerTable();
std::unique_ptr<DispatchTable> MakeLinetypesTable();
std::unique_ptr<DispatchTable> MakeLinetypeTable();
std::unique_ptr<DispatchTable> MakeTextStylesTable();
std::unique_ptr<DispatchTable> MakeTextStyleTable();
std::unique_ptr<DispatchTable> MakeDimStylesTable();
std::unique_ptr<DispatchTable> MakeDimStyleTable();
std::unique_ptr<DispatchTable> MakeSelectionSetsTable();
std::unique_ptr<DispatchTable> MakeSelectionSetTable();
std::unique_ptr<DispatchTable> MakeUtilityTable();
std::unique_ptr<DispatchTable> MakeSummaryInfoTable();
std::unique_ptr<DispatchTable> MakeDictionaryTable();
std::unique_ptr<DispatchTable> MakeSortentsTable();
std::unique_ptr<DispatchTable> MakeColorTable();
std::unique_ptr<DispatchTable> MakeEntityTable();
std::unique_ptr<DispatchTable> MakeDynamicPropertyTable();
std::unique_ptr<DispatchTable> MakeRawObjectTable();

}  // namespace cad
