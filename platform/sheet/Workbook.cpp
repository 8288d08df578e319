// Workbook: worksheets, formats, document properties, saving, and the dependency graph that
// recomputes formulas in order as soon as an input changes.
#include "platform/sheet/Workbook.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Evaluator.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Xlsx.h"
#include "platform/ui/core/Prompt.h"

#include <QFileInfo>
#include <QSet>
#include <deque>

namespace sheet {

Workbook::Workbook(Application& app) : app_(app) {
    formats_.push_back(CellFormat());
    formatBase_.push_back(0);
}

Workbook::~Workbook() = default;

void Workbook::checkOpen() const {
    if (closed_) throw Released(QStringLiteral("Skoroszyt został zamknięty"));
}

QString Workbook::name() const {
    checkOpen();
    return path_.isEmpty() ? title_ : QFileInfo(path_).fileName();
}

QString Workbook::fullName() const {
    checkOpen();
    return path_.isEmpty() ? title_ : path_;
}

Worksheet& Workbook::worksheets(int index) {
    checkOpen();
    if (index < 1 || index > worksheetCount())
        throw NotFound(QStringLiteral("Brak arkusza o numerze %1").arg(index));
    return *sheets_[size_t(index - 1)];
}

Worksheet& Workbook::worksheets(const QString& name) {
    checkOpen();
    Worksheet* ws = findWorksheet(name);
    if (!ws) throw NotFound(QStringLiteral("Brak arkusza \"%1\"").arg(name));
    return *ws;
}

Worksheet* Workbook::findWorksheet(const QString& name) const {
    for (const auto& ws : sheets_)
        if (ws->name().compare(name, Qt::CaseInsensitive) == 0) return ws.get();
    return nullptr;
}

Worksheet& Workbook::addWorksheet(const QString& name) {
    checkOpen();
    QString n = name;
    for (int i = worksheetCount() + 1; n.isEmpty() || findWorksheet(n); ++i)
        n = QStringLiteral("Arkusz%1").arg(i);
    sheets_.push_back(std::make_unique<Worksheet>(*this, n));
    sheetNamesChanged();
    saved_ = false;
    return *sheets_.back();
}

Worksheet& Workbook::activeSheet() {
    checkOpen();
    if (sheets_.empty()) throw NotFound(QStringLiteral("Skoroszyt nie ma arkuszy"));
    return *sheets_[size_t(std::clamp(activeSheet_, 0, worksheetCount() - 1))];
}

void Workbook::setActiveSheet(Worksheet* ws) {
    for (size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() == ws) activeSheet_ = int(i);
}

void Workbook::activate() {
    checkOpen();
    app_.setActiveWorkbook(this);
}

namespace {
// Built-in property names and their elements in the core properties part.
QString coreKey(const QString& property) {
    static const std::pair<const char*, const char*> map[] = {
        {"Title", "title"},       {"Subject", "subject"},      {"Author", "creator"},
        {"Keywords", "keywords"}, {"Comments", "description"}, {"Last Author", "lastModifiedBy"},
        {"Category", "category"}};
    for (auto [p, k] : map)
        if (property.compare(QLatin1String(p), Qt::CaseInsensitive) == 0) return QLatin1String(k);
    return QString();
}
}  // namespace

QString Workbook::builtinDocumentProperty(const QString& name) const {
    checkOpen();
    const QString key = coreKey(name);
    if (key.isEmpty()) throw NotFound(QStringLiteral("Brak właściwości dokumentu \"%1\"").arg(name));
    return properties_.value(key);
}

void Workbook::setBuiltinDocumentProperty(const QString& name, const QString& value) {
    checkOpen();
    const QString key = coreKey(name);
    if (key.isEmpty()) throw NotFound(QStringLiteral("Brak właściwości dokumentu \"%1\"").arg(name));
    properties_[key] = value;
    saved_ = false;
}

void Workbook::save() {
    checkOpen();
    if (!path_.isEmpty() && !templateFile) {
        writeLocked(path_);
        saved_ = true;
        return;
    }
    ui::FileRequest req;
    req.kind = ui::FileRequest::Save;
    req.title = QStringLiteral("Zapisz jako");
    req.filter = QStringLiteral("Skoroszyt (*.xlsx)|*.xlsx");
    req.fileName = title_ + QStringLiteral(".xlsx");
    auto path = ui::Prompts().file(req);
    if (!path) throw Cancelled(QStringLiteral("Zapis skoroszytu anulowano"));
    saveAs(*path);
}

void Workbook::saveAs(const QString& path) {
    checkOpen();
    if (path.trimmed().isEmpty()) throw InvalidArgument(QStringLiteral("Pusta nazwa pliku"));
    const QString full = QFileInfo(path).absoluteFilePath();
    writeLocked(full);
    path_ = full;
    templateFile = false;
    saved_ = true;
}

// Written under the workbook's lock file, so that a save another of the suite's programs makes at
// the same time waits for none and is told. The file this workbook was read from is written over
// only as it was read: what another program saved there since would otherwise be lost unseen.
void Workbook::writeLocked(const QString& full) {
    WorkbookWriteLock lock(full);
    if (!templateFile && fileStamp.exists && full == path_) {
        const FileStamp now = fileStampOf(full);
        if (now.exists && !(now == fileStamp))
            throw FileError(
                QStringLiteral("Plik \"%1\" zapisał inny program po jego wczytaniu; nie zapisano, "
                               "aby nie zastąpić tamtych zmian - wczytaj skoroszyt ponownie")
                    .arg(full));
    }
    writeXlsx(*this, full);
    fileStamp = fileStampOf(full);
}

void Workbook::close() {
    if (closed_) return;
    app_.workbooks().closed(this);  // while its objects still answer
    closed_ = true;
    dependants_.clear();
    precedents_.clear();
    bigAreas_.clear();
}

std::shared_ptr<const Formula> Workbook::parseR1C1(const QString& text) {
    if (auto it = r1c1Cache_.constFind(text); it != r1c1Cache_.constEnd()) return *it;
    auto resolver = [this](const QString& name) { return findWorksheet(name); };
    std::shared_ptr<const Formula> f = parseFormula(text, Notation::R1C1, 1, 1, resolver);
    if (r1c1Cache_.size() > 4096) r1c1Cache_.clear();
    r1c1Cache_.insert(text, f);
    return f;
}

std::shared_ptr<const Formula> Workbook::namedFormula(const QString& name, const Worksheet& host) {
    const int local = host.index() - 1;
    const DefinedName* found = nullptr;
    for (const DefinedName& n : names_) {
        if (n.name.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (n.localSheet == local) {
            found = &n;
            break;
        }
        if (n.localSheet < 0) found = &n;
    }
    if (!found) return nullptr;
    if (auto it = nameCache_.constFind(found->refersTo); it != nameCache_.constEnd()) return *it;
    std::shared_ptr<const Formula> f;
    try {
        // Relative parts of a name are kept as seen from A1: offsets from the cell that uses it.
        auto resolver = [this](const QString& sheetName) { return findWorksheet(sheetName); };
        auto parsed = parseFormula(found->refersTo, Notation::A1, 1, 1, resolver);
        if (!parsed->hasUnknownFunction) f = parsed;
    } catch (const FormulaError&) {
        // A name this engine cannot read is one it cannot compute: a formula that uses it is kept
        // uncomputed, as one with an unknown function is, never computed without it.
    }
    if (nameCache_.size() > 1024) nameCache_.clear();
    nameCache_.insert(found->refersTo, f);
    return f;
}

// ---- formats ----

const CellFormat& Workbook::format(int xf) const {
    if (xf < 0 || xf >= int(formats_.size())) return formats_[0];
    return formats_[size_t(xf)];
}

int Workbook::formatIndex(const CellFormat& f, int baseXf) {
    for (size_t i = formats_.size(); i-- > 0;) {
        if (formatBase_[i] == baseXf && formats_[i] == f) return int(i);
    }
    formats_.push_back(f);
    formatBase_.push_back(baseXf);
    return int(formats_.size()) - 1;
}

void Workbook::setFileFormats(std::vector<CellFormat> formats) {
    if (formats.empty()) formats.push_back(CellFormat());
    formats_ = std::move(formats);
    formatBase_.resize(formats_.size());
    for (size_t i = 0; i < formats_.size(); ++i) formatBase_[i] = int(i);
}

// ---- dependency graph ----

quint32 Workbook::newLink(const CellId& cell, quint32 next) {
    if (freeLinks_ != NoLink) {
        const quint32 i = freeLinks_;
        freeLinks_ = links_[i].next;
        links_[i] = {cell, next};
        return i;
    }
    links_.push_back({cell, next});
    return quint32(links_.size() - 1);
}

template <typename Fn>
void Workbook::forEachDependant(const CellId& x, Fn&& fn) const {
    if (auto d = dependants_.constFind(x); d != dependants_.cend())
        for (quint32 i = d.value(); i != NoLink; i = links_[i].next) fn(links_[i].cell);
    for (const BigArea& b : bigAreas_)
        if (b.ws == x.ws && b.rect.contains(x.row, x.col)) fn(b.formula);
}

void Workbook::registerFormula(Worksheet* ws, int row, int column, const Formula& f) {
    const CellId self{ws, row, column};
    const quint32 first = quint32(precedentCells_.size());
    forEachReference(f, *ws, row, column, [&](Worksheet* tws, const Rect& r) {
        if (r.cellCount() <= 64) {
            for (int rr = r.row1; rr <= r.row2; ++rr)
                for (int cc = r.col1; cc <= r.col2; ++cc) {
                    const CellId p{tws, rr, cc};
                    auto head = dependants_.find(p);
                    if (head == dependants_.end()) head = dependants_.insert(p, NoLink);
                    const quint32 link = newLink(self, head.value());
                    head.value() = link;
                    precedentCells_.push_back(p);
                }
        } else {
            bigAreas_.push_back({tws, r, self});
        }
    });
    const quint32 count = quint32(precedentCells_.size()) - first;
    if (count) precedents_.insert(self, Run{first, count});
    if (f.isVolatile) volatileCells_.insert(self);
}

void Workbook::unregisterFormula(Worksheet* ws, int row, int column) {
    const CellId self{ws, row, column};
    auto it = precedents_.find(self);
    if (it != precedents_.end()) {
        const Run run = it.value();
        precedents_.erase(it);
        for (quint32 k = run.first; k < run.first + run.count; ++k) {
            auto d = dependants_.find(precedentCells_[k]);
            if (d == dependants_.end()) continue;
            // Unlinks the first link naming this formula (one per reference it made).
            for (quint32* at = &d.value(); *at != NoLink; at = &links_[*at].next) {
                if (links_[*at].cell != self) continue;
                const quint32 dead = *at;
                *at = links_[dead].next;
                links_[dead].next = freeLinks_;
                freeLinks_ = dead;
                break;
            }
            if (d.value() == NoLink) dependants_.erase(d);
        }
        deadPrecedents_ += run.count;
        if (deadPrecedents_ > 4096 && deadPrecedents_ * 2 > precedentCells_.size()) {
            // Runs of dropped formulas outnumber the live ones: pack the live runs together.
            std::vector<CellId> packed;
            packed.reserve(precedentCells_.size() - deadPrecedents_);
            for (auto r = precedents_.begin(); r != precedents_.end(); ++r) {
                Run& live = r.value();
                const quint32 first = quint32(packed.size());
                packed.insert(packed.end(), precedentCells_.begin() + live.first,
                              precedentCells_.begin() + live.first + live.count);
                live.first = first;
            }
            precedentCells_ = std::move(packed);
            deadPrecedents_ = 0;
        }
    }
    if (!bigAreas_.empty()) std::erase_if(bigAreas_, [&](const BigArea& b) { return b.formula == self; });
    volatileCells_.remove(self);
}

void Workbook::cellChanged(Worksheet* ws, int row, int column) {
    ensureDependencies();
    unregisterFormula(ws, row, column);
    const Cell* c = ws->cell(row, column);
    if (c && c->formula) registerFormula(ws, row, column, *c->formula);
    recalculate({CellId{ws, row, column}});
}

void Workbook::rebuildDependencies() {
    // Built again when a cell next changes: a sort or a column insertion followed by a full
    // calculation need no graph of their own.
    // Its memory goes back too: the full calculation that usually follows reuses it.
    dependants_.clear();
    precedents_.clear();
    std::vector<Link>().swap(links_);
    freeLinks_ = NoLink;
    std::vector<CellId>().swap(precedentCells_);
    deadPrecedents_ = 0;
    bigAreas_.clear();
    volatileCells_.clear();
    graphStale_ = true;
}

void Workbook::ensureDependencies() {
    if (!graphStale_) return;
    graphStale_ = false;
    qsizetype formulas = 0;
    for (auto& ws : sheets_) ws->forEachCell([&](int, int, Cell& c) { formulas += c.formula ? 1 : 0; });
    precedents_.reserve(formulas);
    dependants_.reserve(formulas * 2);
    links_.reserve(size_t(formulas) * 2);
    precedentCells_.reserve(size_t(formulas) * 2);
    for (auto& ws : sheets_) {
        ws->forEachCell([&](int row, int col, Cell& c) {
            if (c.formula) registerFormula(ws.get(), row, col, *c.formula);
        });
    }
}

void Workbook::evaluateInto(Worksheet* ws, int row, int column) {
    Cell* c = ws->cell(row, column);
    if (!c || !c->formula) return;
    c->value = evaluateFormula(*c->formula, *ws, row, column);
    // #REF! read from a cell on a cycle is that circular reference's too.
    bool circular = false;
    if (c->value == Value(ErrorCode::Ref))
        forEachReference(*c->formula, *ws, row, column, [&](Worksheet* tws, const Rect& r) {
            if (!circular)
                tws->forEachCell(
                    r, [&](int, int, Cell& p) { circular = circular || (p.formula && p.circular); });
        });
    c = ws->cell(row, column);
    c->circular = circular;
}

// Recomputes the formulas among `changed` and everything that depends on them, each after its
// precedents, then the formulas with INDIRECT or OFFSET and what depends on them once more, so that
// they read the cells as they now stand.
void Workbook::recalculate(const std::vector<CellId>& changed) {
    recalculateAffected(changed);
    if (volatileCells_.isEmpty()) return;
    const std::vector<CellId> again(volatileCells_.cbegin(), volatileCells_.cend());
    recalculateAffected(again);
}

// Recomputes the formulas among `changed` and everything that depends on them, each after its
// precedents (Kahn's order over the affected part of the graph). Cells left on a cycle get #REF!.
void Workbook::recalculateAffected(const std::vector<CellId>& changed) {
    // The usual case while a sheet is being filled: one cell that nothing depends on yet.
    if (changed.size() == 1 && !dependants_.contains(changed[0])) {
        const CellId& x = changed[0];
        bool inBig = false;
        for (const BigArea& b : bigAreas_)
            if (b.ws == x.ws && b.rect.contains(x.row, x.col)) inBig = true;
        if (!inBig) {
            evaluateInto(x.ws, x.row, x.col);
            return;
        }
    }
    QHash<CellId, int> indegree;  // the affected formulas
    // Dependants of the affected formulas, each formula's as one run of `edgeCells`.
    QHash<CellId, Run> edges;
    std::vector<CellId> edgeCells;
    QSet<CellId> visited;
    std::vector<CellId> stack;
    indegree.reserve(changed.size() * 2);
    visited.reserve(changed.size() * 2);
    edges.reserve(changed.size());
    auto isFormula = [](const CellId& id) {
        const Cell* c = id.ws->cell(id.row, id.col);
        return c && c->formula;
    };
    for (const CellId& id : changed) {
        if (visited.contains(id)) continue;
        visited.insert(id);
        stack.push_back(id);
        if (isFormula(id)) indegree.insert(id, 0);
    }
    while (!stack.empty()) {
        const CellId x = stack.back();
        stack.pop_back();
        const bool counted = indegree.contains(x);
        const quint32 first = quint32(edgeCells.size());
        forEachDependant(x, [&](const CellId& f) {
            if (counted) {
                ++indegree[f];
                edgeCells.push_back(f);
            } else if (!indegree.contains(f)) {
                indegree.insert(f, 0);
            }
            if (!visited.contains(f)) {
                visited.insert(f);
                stack.push_back(f);
            }
        });
        if (counted && edgeCells.size() > first)
            edges.insert(x, Run{first, quint32(edgeCells.size()) - first});
    }
    std::deque<CellId> ready;
    for (auto it = indegree.cbegin(); it != indegree.cend(); ++it)
        if (it.value() == 0) ready.push_back(it.key());
    size_t done = 0;
    while (!ready.empty()) {
        CellId x = ready.front();
        ready.pop_front();
        evaluateInto(x.ws, x.row, x.col);
        ++done;
        auto e = edges.constFind(x);
        if (e == edges.cend()) continue;
        for (quint32 k = e->first; k < e->first + e->count; ++k)
            if (--indegree[edgeCells[k]] == 0) ready.push_back(edgeCells[k]);
    }
    if (done < size_t(indegree.size())) {
        for (auto it = indegree.cbegin(); it != indegree.cend(); ++it) {
            if (it.value() <= 0) continue;
            const CellId& id = it.key();
            Cell* c = id.ws->cell(id.row, id.col);
            if (c && c->formula) {
                c->value = Value(ErrorCode::Ref);
                c->circular = true;
            }
        }
    }
}

}  // namespace sheet
