// The spreadsheet application: open workbooks, the active one, the open-file dialog, the
// clipboard of copied ranges and the registry of native macros.
#pragma once

#include "platform/sheet/Range.h"
#include "platform/sheet/Workbook.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace sheet {

class Application;

// `Application.Workbooks`
class Workbooks {
public:
    int count() const { return int(open_.size()); }
    Workbook& item(int index);  // 1-based; throws NotFound
    // Opens an .xlsx file; a template (.xlt, .xltx) opens as an unsaved copy. A file already
    // open gives the open workbook. Throws FileError.
    Workbook& open(const QString& path);
    // A new workbook: empty, or an unsaved copy of a template.
    Workbook& add(const QString& templatePath = QString());

    std::vector<Workbook*>::const_iterator begin() const { return open_.begin(); }
    std::vector<Workbook*>::const_iterator end() const { return open_.end(); }

private:
    friend class Application;
    friend class Workbook;
    explicit Workbooks(Application& app) : app_(app) {}
    Workbook& adopt(std::unique_ptr<Workbook> book);
    void closed(Workbook* book);
    QString nextTitle(const QString& base);

    Application& app_;
    std::vector<std::unique_ptr<Workbook>> owned_;  // closed ones stay so that their use fails cleanly
    std::vector<Workbook*> open_;
    std::map<QString, int> titleCounters_;
};

// Native routines that stand in for a template's macros, by name (case-insensitive).
class Macros {
public:
    using Routine = std::function<void(Application&)>;
    void add(const QString& name, Routine routine);
    void remove(const QString& name);
    bool contains(const QString& name) const;
    const Routine* find(const QString& name) const;

private:
    std::map<QString, Routine> routines_;
};

class Application {
public:
    // Registers the native macros ("Sortowanie").
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    QString name() const;
    Workbooks& workbooks() { return workbooks_; }
    // nullptr when no workbook is open.
    Workbook* activeWorkbook() const { return active_; }
    void setActiveWorkbook(Workbook* book) { active_ = book; }
    Worksheet* activeSheet() const;
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

    // `GetOpenFilename`: the open-file dialog of the prompt service; nullopt when cancelled.
    std::optional<QString> getOpenFilename(const QString& filter = QString(),
                                           const QString& title = QString());

    // `Run(name)`; throws MacroNotFound for a name no routine answers.
    void run(const QString& macroName);
    Macros& macros() { return macros_; }

    // Copy mode: the range last copied, until `setCutCopyMode(false)`.
    void setCutCopyMode(bool on);
    bool cutCopyMode() const { return clipboard_.has_value(); }
    void setClipboard(const Range& range) { clipboard_ = range; }
    const std::optional<Range>& clipboard() const { return clipboard_; }

private:
    Workbooks workbooks_;
    Workbook* active_ = nullptr;
    bool visible_ = false;
    Macros macros_;
    std::optional<Range> clipboard_;
};

// "Sortowanie": sorts the selected block of the active sheet by its first column, then its
// second, in natural order (K2 before K10), moving values, formulas and formats together.
void SortSelectedRows(Application& app);

}  // namespace sheet
