// The application object: workbook collection, active workbook, open-file dialog, macros.
#include "platform/sheet/Application.h"

#include "platform/sheet/Errors.h"
#include "platform/sheet/Xlsx.h"
#include "platform/ui/core/Prompt.h"

#include <QFileInfo>

namespace sheet {

namespace {
bool isTemplatePath(const QString& path) {
    const QString s = QFileInfo(path).suffix().toLower();
    return s == QLatin1String("xlt") || s == QLatin1String("xltx") || s == QLatin1String("xltm");
}
}  // namespace

Workbook& Workbooks::item(int index) {
    if (index < 1 || index > count())
        throw NotFound(QStringLiteral("Brak skoroszytu o numerze %1").arg(index));
    return *open_[size_t(index - 1)];
}

Workbook& Workbooks::adopt(std::unique_ptr<Workbook> book) {
    Workbook* b = book.get();
    owned_.push_back(std::move(book));
    open_.push_back(b);
    app_.setActiveWorkbook(b);
    return *b;
}

void Workbooks::closed(Workbook* book) {
    std::erase(open_, book);
    if (app_.activeWorkbook() == book) app_.setActiveWorkbook(open_.empty() ? nullptr : open_.back());
    if (app_.clipboard() && &app_.clipboard()->worksheet().parent() == book) app_.setCutCopyMode(false);
}

QString Workbooks::nextTitle(const QString& base) {
    return base + QString::number(++titleCounters_[base]);
}

Workbook& Workbooks::open(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    const bool asTemplate = isTemplatePath(full);
    if (!asTemplate) {
        for (Workbook* b : open_) {
            if (b->hasPath() && b->fullName() == full) {
                b->activate();
                return *b;
            }
        }
    }
    std::unique_ptr<Workbook> book = readXlsx(app_, full);
    if (asTemplate) {
        book->templateFile = true;
        book->setTitle(nextTitle(QFileInfo(full).completeBaseName()));
    } else {
        book->setPath(full);
    }
    return adopt(std::move(book));
}

Workbook& Workbooks::add(const QString& templatePath) {
    if (!templatePath.isEmpty()) {
        const QString full = QFileInfo(templatePath).absoluteFilePath();
        std::unique_ptr<Workbook> book = readXlsx(app_, full);
        book->templateFile = true;
        book->setTitle(nextTitle(QFileInfo(full).completeBaseName()));
        return adopt(std::move(book));
    }
    std::unique_ptr<Workbook> book = newWorkbook(app_, 3);
    book->setTitle(nextTitle(QStringLiteral("Zeszyt")));
    return adopt(std::move(book));
}

void Macros::add(const QString& name, Routine routine) {
    routines_[name.toLower()] = std::move(routine);
}
void Macros::remove(const QString& name) {
    routines_.erase(name.toLower());
}
bool Macros::contains(const QString& name) const {
    return routines_.count(name.toLower()) > 0;
}
const Macros::Routine* Macros::find(const QString& name) const {
    auto it = routines_.find(name.toLower());
    return it == routines_.end() ? nullptr : &it->second;
}

Application::Application() : workbooks_(*this) {
    macros_.add(QStringLiteral("Sortowanie"), SortSelectedRows);
}

Application::~Application() = default;

QString Application::name() const {
    return QStringLiteral("Arkusz kalkulacyjny");
}

Worksheet* Application::activeSheet() const {
    if (!active_ || active_->worksheetCount() == 0) return nullptr;
    return &active_->activeSheet();
}

std::optional<QString> Application::getOpenFilename(const QString& filter, const QString& title) {
    ui::FileRequest req;
    req.kind = ui::FileRequest::Open;
    req.title = title.isEmpty() ? QStringLiteral("Otwórz") : title;
    req.filter = filter.isEmpty()
                     ? QStringLiteral(
                           "Skoroszyty (*.xlsx;*.xlsm;*.xltx;*.xlt)|*.xlsx;*.xlsm;*.xltx;*.xlt|Wszystkie "
                           "pliki (*.*)|*.*")
                     : filter;
    req.mustExist = true;
    return ui::Prompts().file(req);
}

void Application::run(const QString& macroName) {
    // A name may be qualified by its workbook ("Book.xlsx!Sortowanie").
    QString name = macroName;
    if (int bang = name.lastIndexOf(QLatin1Char('!')); bang >= 0) name = name.mid(bang + 1);
    const Macros::Routine* routine = macros_.find(name);
    if (!routine)
        throw MacroNotFound(
            QStringLiteral("Nie można uruchomić makra \"%1\". Makro może być niedostępne w tym skoroszycie.")
                .arg(macroName));
    (*routine)(*this);
}

void Application::setCutCopyMode(bool on) {
    if (!on) clipboard_.reset();
}

}  // namespace sheet
