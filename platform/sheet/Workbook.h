// A workbook: worksheets, the format table, defined names, document properties, and the
// dependency graph that recomputes formulas as soon as their inputs change.
#pragma once

#include "platform/sheet/Format.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/WriteGuard.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

namespace sheet {

class Application;
class Package;

// A workbook-level or sheet-level name ("_xlnm.Print_Area" for print areas).
struct DefinedName {
    QString name;
    int localSheet = -1;                                  // 0-based sheet index, -1 for the workbook
    QString refersTo;                                     // A1 text without "="
    std::vector<std::pair<QString, QString>> attributes;  // others kept from the file
};

class Workbook {
public:
    explicit Workbook(Application& app);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // File name; for a workbook never saved, its title ("Zeszyt1").
    QString name() const;
    // Full path; for a workbook never saved, the same as `name`.
    QString fullName() const;
    bool saved() const { return saved_; }
    void setSaved(bool saved) { saved_ = saved; }
    bool hasPath() const { return !path_.isEmpty(); }

    int worksheetCount() const { return int(sheets_.size()); }
    Worksheet& worksheets(int index);            // 1-based; throws NotFound
    Worksheet& worksheets(const QString& name);  // case-insensitive; throws NotFound
    Worksheet* findWorksheet(const QString& name) const;
    Worksheet& addWorksheet(const QString& name = QString());
    Worksheet& activeSheet();
    void setActiveSheet(Worksheet* ws);
    void activate();

    // `BuiltinDocumentProperties.Item(name)`: "Title", "Subject", "Author", "Keywords",
    // "Comments", "Last Author", "Category". Throws NotFound for another name.
    QString builtinDocumentProperty(const QString& name) const;
    void setBuiltinDocumentProperty(const QString& name, const QString& value);

    // Saves to its file; a workbook never saved asks for a path through the prompt service.
    void save();
    void saveAs(const QString& path);
    void close();
    bool isClosed() const { return closed_; }
    Application& application() const { return app_; }

    // Recomputes every formula.
    void calculate();

    std::vector<DefinedName>& names() { return names_; }

    // Format table (layer-internal): index = xf of the cells.
    const CellFormat& format(int xf) const;
    int formatIndex(const CellFormat& format, int baseXf);
    int formatCount() const { return int(formats_.size()); }
    int baseFormatOf(int xf) const { return formatBase_[xf]; }
    void setFileFormats(std::vector<CellFormat> formats);

    // A parsed R1C1 formula; the text means the same in every cell, so parses are shared.
    std::shared_ptr<const Formula> parseR1C1(const QString& text);
    // Sheet names changed: cached parses may resolve differently now.
    void sheetNamesChanged() {
        r1c1Cache_.clear();
        nameCache_.clear();
    }
    // The formula a defined name used in a formula stands for, seen from `host`: the sheet's own
    // name first, then the workbook's. nullptr for an unknown name or a text we cannot read.
    std::shared_ptr<const Formula> namedFormula(const QString& name, const Worksheet& host);

    // Dependency graph (layer-internal).
    // A cell's value or formula changed: its registration in the graph follows its formula, then
    // it and its dependants are recomputed in order.
    void cellChanged(Worksheet* ws, int row, int column);
    void rebuildDependencies();
    void checkOpen() const;

    // File state (layer-internal).
    std::unique_ptr<Package>& package() { return package_; }
    void setPath(const QString& path) { path_ = path; }
    void setTitle(const QString& title) { title_ = title; }
    QHash<QString, QString>& properties() { return properties_; }
    // Formatted (rich) shared strings of the file by their plain text, written back as they were.
    QHash<QString, QByteArray>& richStrings() { return richStrings_; }
    bool templateFile = false;
    // The file as it was read or last written here.
    FileStamp fileStamp;

private:
    struct CellId {
        Worksheet* ws;
        int row, col;
        bool operator==(const CellId&) const = default;
        friend size_t qHash(const CellId& c, size_t seed = 0) noexcept {
            return qHashMulti(seed, static_cast<const void*>(c.ws), c.row, c.col);
        }
    };
    struct CellIdHash {
        size_t operator()(const CellId& c) const {
            return std::hash<const void*>()(c.ws) ^ (size_t(c.row) * 0x9E3779B1u) ^ (size_t(c.col) << 40);
        }
    };
    struct BigArea {
        Worksheet* ws;
        Rect rect;
        CellId formula;
    };

    void registerFormula(Worksheet* ws, int row, int column, const Formula& f);
    void ensureDependencies();
    void unregisterFormula(Worksheet* ws, int row, int column);
    void recalculate(const std::vector<CellId>& changed);
    void recalculateAffected(const std::vector<CellId>& changed);
    void evaluateInto(Worksheet* ws, int row, int column);
    void writeLocked(const QString& fullPath);

    Application& app_;
    QString path_;
    QString title_;
    bool saved_ = true;
    bool closed_ = false;
    std::vector<std::unique_ptr<Worksheet>> sheets_;
    int activeSheet_ = 0;
    std::vector<CellFormat> formats_;
    std::vector<int> formatBase_;  // file xf a derived format was made from, or its own index
    std::vector<DefinedName> names_;
    QHash<QString, QString> properties_;
    QHash<QString, QByteArray> richStrings_;
    QHash<QString, std::shared_ptr<const Formula>> r1c1Cache_;
    QHash<QString, std::shared_ptr<const Formula>> nameCache_;  // by the name's text
    std::unique_ptr<Package> package_;

    // A cell's dependants: a list threaded through one pool of links (freed links reused).
    struct Link {
        CellId cell;
        quint32 next;
    };
    // A formula's precedents: one run of the shared precedent array.
    struct Run {
        quint32 first, count;
    };
    static constexpr quint32 NoLink = 0xffffffffu;
    template <typename Fn>
    void forEachDependant(const CellId& x, Fn&& fn) const;
    quint32 newLink(const CellId& cell, quint32 next);

    // Open-addressing tables of plain entries over flat arrays: registering and dropping a formula
    // allocates nothing per cell, and dropping the whole graph frees a handful of blocks.
    QHash<CellId, quint32> dependants_;  // head of the cell's list in links_
    std::vector<Link> links_;
    quint32 freeLinks_ = NoLink;
    QHash<CellId, Run> precedents_;
    std::vector<CellId> precedentCells_;
    size_t deadPrecedents_ = 0;  // cells of dropped runs, reclaimed when they are the majority
    std::vector<BigArea> bigAreas_;
    // Formulas with INDIRECT or OFFSET: computed again after every change, their dependants after
    // them, since their references show only as they are evaluated.
    QSet<CellId> volatileCells_;
    bool graphStale_ = false;  // the graph is to be built before its next use
};

}  // namespace sheet
