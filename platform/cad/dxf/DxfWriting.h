// The DXF writer's state and its primitives, shared by the files that write each part of a file:
// the header, classes and the entry points (DxfWriter.cpp), tables and blocks (DxfWriteTables.cpp),
// entities (DxfWriteEntities.cpp) and objects (DxfWriteObjects.cpp).
#pragma once

#include "platform/cad/dxf/CodePage.h"
#include "platform/cad/engine/Database.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_set>
#include <utility>

namespace cad::dxf::writing {

inline constexpr double radToDeg = 180.0 / M_PI;

// The application name under which references keep their dynamic-block data (original block name
// and property values) in files; readers that do not know it keep it as extended data.
inline const char* const dynamicApp = "TESMAR_DYNAMIC";

inline bool hasDynamicData(const db::Entity& e) {
    const auto* ins = e.tryAs<db::InsertData>();
    return ins && (!ins->dynamicProperties.empty() || !ins->effectiveName.isEmpty());
}

inline bool defaultNormal(const db::Point3& n) {
    return n.x == 0 && n.y == 0 && n.z == 1;
}

// The drawing's own code page, unless a symbol name needs a character it lacks.
QString pageFor(const db::Database& db);
// The version written: R2000, unless the drawing keeps solid-model data that needs its own.
QString versionFor(const db::Database& db);

class Writer {
public:
    explicit Writer(const db::Database& db)
        : db_(db),
          version_(versionFor(db)),
          cp_(pageFor(db), version_ >= QLatin1String("AC1021")),
          seed_(db.handleSeed()) {}
    // The header and the rest, separately so a file can take them without joining them.
    std::pair<QByteArray, QByteArray> run();

private:
    // ---- primitives ----
    void code(int c) {
        // Right-aligned in three columns, as the CAD writes group codes.
        char buf[16];
        char* p = buf + 4;
        auto r = std::to_chars(p, buf + sizeof buf, c);
        for (auto len = r.ptr - p; len < 3; ++len) *--p = ' ';
        out_->append(p, qsizetype(r.ptr - p));
        out_->append('\n');
    }
    void str(int c, const QString& v) {
        code(c);
        bool control = false;
        for (QChar ch : v)
            if (ch.unicode() < 32 && ch != QLatin1Char('\t')) control = true;
        if (control) {
            // A line break would split the pair.
            QString clean = v;
            for (QChar& ch : clean)
                if (ch.unicode() < 32 && ch != QLatin1Char('\t')) ch = QChar(' ');
            cp_.encodeTo(clean, *out_);
        } else {
            cp_.encodeTo(v, *out_);
        }
        out_->append('\n');
    }
    void ascii(int c, const char* v) {
        code(c);
        out_->append(v);
        out_->append('\n');
    }
    void integer(int c, long long v) {
        code(c);
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_->append(buf, int(r.ptr - buf));
        out_->append('\n');
    }
    void real(int c, double v) {
        code(c);
        if (!std::isfinite(v)) v = 0;
        if (v == 0) v = 0;  // no "-0"
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_->append(buf, int(r.ptr - buf));
        if (std::find(buf, r.ptr, '.') == r.ptr && std::find(buf, r.ptr, 'e') == r.ptr) out_->append(".0");
        out_->append('\n');
    }
    void handle(int c, quint64 h) {
        if (c == 5 || c == 105) given_.insert(h);
        code(c);
        out_->append(db::handleToText(h).toLatin1());
        out_->append('\n');
    }
    void point(int base, const db::Point3& p, bool withZ = true) {
        real(base, p.x);
        real(base + 10, p.y);
        if (withZ) real(base + 20, p.z);
    }
    void tags(const db::Tags& ts) {
        for (const db::Tag& t : ts) {
            if (t.code == 5) given_.insert(db::handleFromText(t.value));
            str(t.code, t.value);
        }
    }
    quint64 newHandle() { return seed_++; }

    // The head of every object: type, handle, application groups, owner.
    void head(const char* type, const db::DbObject& o, quint64 owner, int handleCode = 5) {
        ascii(0, type);
        handle(handleCode, o.handle());
        groups(o);
        handle(330, owner);
    }
    void groups(const db::DbObject& o) {
        if (!o.appData.empty()) tags(o.appData);
        if (!o.reactors.empty()) {
            ascii(102, "{ACAD_REACTORS");
            for (quint64 r : o.reactors) handle(330, r);
            ascii(102, "}");
        }
        if (o.extensionDictionary) {
            if (const db::DbObject* x = db_.objectByHandle(o.extensionDictionary); x && !x->isErased()) {
                ascii(102, "{ACAD_XDICTIONARY");
                handle(360, o.extensionDictionary);
                ascii(102, "}");
            }
        }
    }

    // ---- sections ----
    void header();
    void classes();
    void tables();
    void blocks();
    void entities();
    void objects();

    // ---- tables ----
    void tableHead(const char* name, quint64 tableHandle, int count);
    void recordHead(const char* type, const db::TableRecord& r, quint64 owner, const char* subclass,
                    int handleCode = 5);
    void rawTable(const char* name, const db::Table<db::RawTableRecord>& table);
    void linetypeTable();
    void layerTable();
    void styleTable();
    void appIdTable();
    void dimStyleTable();
    void blockRecordTable();

    // ---- entities ----
    void entity(const db::Entity& e, bool paper);
    void common(const db::Entity& e, bool paper);
    void rawEntity(const db::Entity& e, bool paper);
    void line(const db::Entity& e);
    void circle(const db::Entity& e);
    void lwPolyline(const db::Entity& e);
    void polyline2d(const db::Entity& e, bool paper);
    void text(const db::Entity& e);
    void mtext(const db::Entity& e);
    void insert(const db::Entity& e, bool paper);
    void dimension(const db::Entity& e);
    void hatch(const db::HatchData& h);
    void hatchEdge(const db::Edge& edge);
    void hatchPattern(const db::HatchData& h);

    // ---- objects ----
    void dictionary(const db::Dictionary& d);
    void sortentsTable(const db::SortentsTable& st);
    void summary(quint64 owner);

    const db::Database& db_;
    QString version_;
    CodePage cp_;
    quint64 seed_;
    std::unordered_set<quint64> given_;  // handles written so far (5, 105)
    QByteArray body_;
    QByteArray* out_ = &body_;
};

}  // namespace cad::dxf::writing
