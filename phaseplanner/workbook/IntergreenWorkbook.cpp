// The intergreen workbook connection: settling the workbook of a command, keeping it in step with its
// file on disk, saving it in one step and offering unsaved changes at the end.
#include "phaseplanner/workbook/IntergreenWorkbook.h"

#include "automation/CadConnection.h"
#include "automation/WorkbookLock.h"
#include "common/TextHelpers.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <utility>

namespace phaseplanner {

QString ExcelWorkbookName;
QString ExcelWorkbookPath;

namespace {

std::unique_ptr<sheet::Application> engine;
sheet::Workbook* held = nullptr;
bool chooseAnother = false;  // the next command's workbook comes from the file dialog
QByteArray heldContents;     // digest of the file as it was read or last saved

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
int ask(const QString& text, int flags) {
    return ui::MsgBox(text, flags, MainProgramWindow().caption());
}

// Digest of the file's bytes; empty when it cannot be read.
QByteArray digestOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(&f);
    return h.result();
}

bool samePath(const QString& a, const QString& b) {
    return !a.isEmpty() && a.toUpper() == b.toUpper();
}

bool isLive(const sheet::Workbook* book) {
    return book && !book->isClosed();
}

// Reads the file into the engine as the held workbook. The previous held workbook is closed first,
// its unsaved changes offered for saving; nullptr when the user cancelled that or the file cannot be
// read (with a message).
sheet::Workbook* takeFile(const QString& path) {
    if (isLive(held) && !samePath(held->fullName(), QFileInfo(path).absoluteFilePath())) {
        if (!CloseIntergreenWorkbook()) return nullptr;
    }
    if (isLive(held)) return RefreshIntergreenWorkbook();
    try {
        sheet::Workbook& book = ExcelApplication().workbooks().open(path);
        held = &book;
        heldContents = digestOf(book.fullName());
        return held;
    } catch (const sheet::CellDataError& e) {
        // A cell holding what no spreadsheet holds is told as a damaged cell of the matrix is.
        held = nullptr;
        ask(T("Błąd w danych arkusza Excel!") + QLatin1Char('\n') +
                common::ShortForMessage(e.message(), 400) + QLatin1Char('\n') +
                T("Nie można otworzyć pliku:") + QLatin1Char('\n') + PathForMessage(path),
            ui::Exclamation);
        return nullptr;
    } catch (const std::exception& e) {
        held = nullptr;
        ask(T("Nie można otworzyć pliku:") + QLatin1Char('\n') + PathForMessage(path) + QLatin1Char('\n') +
                // The engine's reason may quote the file (a sheet name, a cell's text): bounded too.
                common::ShortForMessage(QString::fromUtf8(e.what()), 400),
            ui::Exclamation);
        return nullptr;
    }
}

// Reads the held workbook's file again in place of the copy held.
sheet::Workbook* reread() {
    const QString path = held->fullName();
    held->close();
    held = nullptr;
    return takeFile(path);
}

// The drawing's folder, where the file dialog opens; empty when no drawing is open.
QString drawingFolder() {
    if (!automation::CheckDocumentOpen(false)) return {};
    const QString full = automation::CadDocument.fullName();
    const QFileInfo info(full);
    return info.isAbsolute() ? info.absolutePath() : QString();
}

QString quotedPathQuestion(const QString& path) {
    return T("Czy otworzyć plik:") + QLatin1Char('\n') + QLatin1Char('"') + PathForMessage(path) + QLatin1Char('"') +
           QStringLiteral(" ?");
}

}  // namespace

QString PathForMessage(const QString& path) {
    return common::ShortForMessage(path, 260);
}

sheet::Application& ExcelApplication() {
    if (!engine) engine = std::make_unique<sheet::Application>();
    return *engine;
}

sheet::Workbook* HeldWorkbook() {
    return isLive(held) ? held : nullptr;
}

bool IsIntergreenWorkbook(sheet::Workbook* book) {
    if (!isLive(book) || book->worksheetCount() < 2) return false;
    try {
        return book->worksheets(2).name().toUpper().startsWith(QStringLiteral("MATRYCA KOLIZJI"));
    } catch (const std::exception&) {
        return false;
    }
}

void ChooseAnotherIntergreenWorkbookNext() {
    chooseAnother = true;
}

bool OpenIntergreenWorkbook(sheet::Workbook*& book, bool search, const QString& question) {
    Q_UNUSED(search);  // every caller looks for the workbook
    book = nullptr;
    bool settled = false;
    bool askedForNamedFile = false;
    bool namedFileMissing = false;
    const bool another = std::exchange(chooseAnother, false);
    const QString named = another ? QString() : ExcelWorkbookPath.trimmed();
    ExcelApplication();

    if (HeldWorkbook() && !another) {
        if (!named.isEmpty()) {
            // The workbook the drawing names, already open: used without a question.
            if (samePath(held->fullName(), named)) {
                book = RefreshIntergreenWorkbook();
                if (IsIntergreenWorkbook(book)) return true;
                book = nullptr;
            }
            if (!QFileInfo::exists(named)) {
                namedFileMissing = true;
                ask(T("Nie znaleziono pliku:") + QLatin1Char('\n') + PathForMessage(named), ui::OkOnly | ui::Exclamation);
            } else {
                askedForNamedFile = true;
                if (ask(quotedPathQuestion(named), ui::YesNo | ui::Question) == ui::Yes) {
                    book = takeFile(named);
                    if (IsIntergreenWorkbook(book)) return true;
                }
            }
        }
        // The workbook held here, when it is an intergreen workbook: after a question.
        sheet::Workbook* active = HeldWorkbook();
        if (IsIntergreenWorkbook(active)) {
            const QString text =
                question.isEmpty() ? T("Czy pobierać dane z aktywnego skoroszytu?") : question;
            if (ask(text, ui::YesNo) == ui::Yes) {
                book = RefreshIntergreenWorkbook();
                return IsIntergreenWorkbook(book);
            }
            book = nullptr;
        }
    }

    // The file named in the drawing (when it was not refused already), else the file dialog.
    if (!named.isEmpty() && !askedForNamedFile) {
        if (!QFileInfo::exists(named)) {
            if (!namedFileMissing)
                ask(T("Nie znaleziono pliku:") + QLatin1Char('\n') + PathForMessage(named), ui::OkOnly | ui::Exclamation);
        } else if (ask(quotedPathQuestion(named), ui::YesNo | ui::Question) == ui::Yes) {
            book = takeFile(named);
            settled = true;
        }
    }
    ExcelApplication().setVisible(true);
    if (!settled) {
        ui::FileRequest request;
        request.kind = ui::FileRequest::Open;
        request.title = T("Otwórz");
        request.filter =
            T("Skoroszyty (*.xlsx;*.xlsm;*.xltx;*.xlt)|*.xlsx;*.xlsm;*.xltx;*.xlt|Wszystkie pliki (*.*)|*.*");
        request.initialFolder = drawingFolder();
        request.mustExist = true;
        const std::optional<QString> chosen = ui::Prompts().file(request);
        if (chosen && !chosen->isEmpty()) book = takeFile(*chosen);
    }
    if (isLive(book) && !IsIntergreenWorkbook(book)) {
        ask(NotIntergreenWorkbookMessage(*book), ui::OkOnly | ui::Exclamation);
        return false;
    }
    return IsIntergreenWorkbook(book);
}

QString NotIntergreenWorkbookMessage(sheet::Workbook& book) {
    const QString prefix = QStringLiteral("MATRYCA KOLIZJI");
    QString text = T("Skoroszyt nie jest skoroszytem czasów międzyzielonych:") + QLatin1Char('\n') +
                   QLatin1Char('[') + PathForMessage(book.fullName()) + QLatin1Char(']') + QLatin1Char('\n');
    if (book.worksheetCount() < 2)
        text += T("Ma tylko jeden arkusz; matryca kolizji jest drugim arkuszem skoroszytu.");
    else
        text += T("Jego drugi arkusz nazywa się \"%1\", a nazwa arkusza matrycy kolizji (drugiego arkusza "
                  "skoroszytu) musi zaczynać się od \"%2\".")
                    .arg(common::ShortForMessage(book.worksheets(2).name()), prefix);
    for (int i = 1; i <= book.worksheetCount(); ++i)
        if (i != 2 && book.worksheets(i).name().toUpper().startsWith(prefix))
            text += QLatin1Char('\n') +
                    T("Arkusz \"%1\" jest arkuszem nr %2.")
                        .arg(common::ShortForMessage(book.worksheets(i).name()))
                        .arg(i);
    return text;
}

bool WorkbookChangedOnDisk() {
    if (!HeldWorkbook() || !held->hasPath()) return false;
    const QString path = held->fullName();
    if (!QFileInfo::exists(path)) return false;  // removed: the copy held here is all there is
    return digestOf(path) != heldContents;
}

sheet::Workbook* RefreshIntergreenWorkbook() {
    if (!HeldWorkbook()) return nullptr;
    if (!WorkbookChangedOnDisk()) return held;
    if (!held->saved()) {
        const QString text = T("Plik skoroszytu został zmieniony przez inny program:") + QLatin1Char('\n') +
                             QLatin1Char('[') + PathForMessage(held->fullName()) + QLatin1Char(']') + QLatin1Char('\n') +
                             T("Czy wczytać go ponownie? Niezapisane zmiany wprowadzone w tym programie "
                               "zostaną utracone.");
        if (ask(text, ui::YesNo | ui::Question) != ui::Yes) return held;
    }
    return reread();
}

bool SaveIntergreenWorkbook(bool askFirst) {
    if (!HeldWorkbook() || held->saved()) return true;
    const QString path = held->fullName();
    if (askFirst && ask(T("Czy zapisać zmiany w skoroszycie:") + QLatin1Char('\n') + QLatin1Char('[') +
                            PathForMessage(path) + QLatin1Char(']') + QStringLiteral(" ?"),
                        ui::YesNo | ui::Question) != ui::Yes)
        return false;
    if (held->hasPath() && !automation::ConfirmWritingLockedWorkbook(path, MainProgramWindow().caption()))
        return false;
    if (WorkbookChangedOnDisk()) {
        const int answer = ask(
            T("Plik skoroszytu został zmieniony przez inny program od chwili wczytania:") +
                QLatin1Char('\n') + QLatin1Char('[') + PathForMessage(path) + QLatin1Char(']') +
                QLatin1Char('\n') + T("Tak - zapisać zmiany tego programu w miejsce zmian innego programu,") + QLatin1Char('\n') +
                T("Nie - wczytać plik ponownie (zmiany tego programu zostaną utracone),") +
                QLatin1Char('\n') + T("Anuluj - nie zapisywać teraz."),
            ui::YesNoCancel | ui::Exclamation);
        if (answer == ui::No) {
            reread();
            return false;
        }
        if (answer != ui::Yes) return false;
        // The user chose this program's changes over the other program's: the file as it is now
        // is the one to be replaced.
        held->fileStamp = sheet::fileStampOf(path);
    }
    try {
        held->save();  // the engine writes a temporary file and renames it over the old one
    } catch (const sheet::Cancelled&) {
        return false;
    } catch (const std::exception& e) {
        ask(T("Nie można zapisać pliku:") + QLatin1Char('\n') + QLatin1Char('[') + PathForMessage(path) + QLatin1Char(']') +
                QLatin1Char('\n') + QString::fromUtf8(e.what()),
            ui::Exclamation);
        return false;
    }
    heldContents = digestOf(held->fullName());
    return true;
}

bool CloseIntergreenWorkbook() {
    if (!HeldWorkbook()) {
        held = nullptr;
        return true;
    }
    if (!held->saved()) {
        const int answer = ask(T("Skoroszyt czasów międzyzielonych ma niezapisane zmiany:") +
                                   QLatin1Char('\n') + QLatin1Char('[') + held->fullName() +
                                   QLatin1Char(']') + QLatin1Char('\n') + T("Czy zapisać je?"),
                               ui::YesNoCancel | ui::Question);
        if (answer == ui::Cancel) return false;
        if (answer == ui::Yes) {
            SaveIntergreenWorkbook(false);
            if (HeldWorkbook() && !held->saved()) return false;
        }
    }
    if (HeldWorkbook()) held->close();
    held = nullptr;
    heldContents.clear();
    return true;
}

void ResetIntergreenWorkbook() {
    held = nullptr;
    chooseAnother = false;
    heldContents.clear();
    engine.reset();
    ExcelWorkbookName.clear();
    ExcelWorkbookPath.clear();
}

}  // namespace phaseplanner
