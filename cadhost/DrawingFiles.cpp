// The drawings the window shows: new, open, save, close, the recent files and the window list,
// and the view following the open drawings and the active one.
#include "cadhost/MainWindow.h"

#include "cadhost/SocketServer.h"
#include "common/Ini.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <algorithm>

namespace cadhost {

using cad::DocumentState;
using cad::Variant;

namespace {
constexpr int RecentCount = 8;
const QString RecentSection = QStringLiteral("OstatniePliki");
const QString DxfFilter = QStringLiteral("Rysunki DXF (*.dxf)|*.dxf|Wszystkie pliki (*.*)|*.*");
}  // namespace

void MainWindow::chooseAndOpen() {
    ui::FileRequest fr;
    fr.kind = ui::FileRequest::Open;
    fr.title = QStringLiteral("Otwórz rysunek");
    fr.filter = DxfFilter;
    const QStringList recent = recentFiles();
    if (DocumentState* d = model_.activeDocument(); d && !d->fullName.isEmpty())
        fr.initialFolder = QFileInfo(d->fullName).absolutePath();
    else if (!recent.isEmpty())
        fr.initialFolder = QFileInfo(recent.first()).absolutePath();
    if (const auto path = ui::Prompts().file(fr)) openFile(*path);
}

void MainWindow::rebuildWindowMenu() {
    windowMenu_->clear();
    auto* group = new QActionGroup(windowMenu_);
    int n = 1;
    for (DocumentState* d : model_.documents()) {
        QAction* a = windowMenu_->addAction(
            QStringLiteral("&%1 %2").arg(n++).arg(d->fullName.isEmpty() ? d->name : d->fullName));
        a->setCheckable(true);
        a->setChecked(d == model_.activeDocument());
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, d] {
            const auto& docs = model_.documents();
            if (std::find(docs.begin(), docs.end(), d) == docs.end()) return;
            model_.setActiveDocument(d);
            syncDocuments();
        });
    }
    if (n == 1) windowMenu_->addAction(QStringLiteral("(brak otwartych rysunków)"))->setEnabled(false);
}

QString MainWindow::settingsFile() {
    const QString forced = qEnvironmentVariable("TESMAR_CADHOST_INI");
    if (!forced.isEmpty()) return forced;
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Tesmar");
    QDir().mkpath(dir);
    return dir + QStringLiteral("/cadhost.ini");
}

QStringList MainWindow::recentFiles() const {
    QStringList out;
    for (int i = 1; i <= RecentCount; ++i) {
        const QString p =
            common::GetIni(settingsFile(), RecentSection, QStringLiteral("Plik%1").arg(i), QString());
        if (!p.isEmpty()) out << p;
    }
    return out;
}

void MainWindow::addRecent(const QString& path) {
    QStringList list = recentFiles();
    const QString abs = QFileInfo(path).absoluteFilePath();
    list.removeAll(abs);
    list.prepend(abs);
    for (int i = 1; i <= RecentCount; ++i)
        common::PutIni(settingsFile(), RecentSection, QStringLiteral("Plik%1").arg(i), list.value(i - 1));
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    recentMenu_->clear();
    const QStringList list = recentFiles();
    int n = 1;
    for (const QString& p : list)
        recentMenu_->addAction(QStringLiteral("&%1 %2").arg(n++).arg(p), this, [this, p] { openFile(p); });
    recentMenu_->setEnabled(!list.isEmpty());
}

DrawingScene* MainWindow::sceneOf(DocumentState* doc) {
    auto it = scenes_.find(doc);
    if (it == scenes_.end())
        it = scenes_.emplace(doc, std::make_unique<DrawingScene>(doc->db.get(), doc->highlighted)).first;
    return it->second.get();
}

void MainWindow::followDocuments(bool paintNow) {
    const auto& docs = model_.documents();
    for (auto it = scenes_.begin(); it != scenes_.end();) {
        if (std::find(docs.begin(), docs.end(), it->first) == docs.end()) {
            view_->forgetScene(it->second.get());
            it = scenes_.erase(it);
        } else {
            ++it;
        }
    }
    DocumentState* active = model_.activeDocument();
    view_->setScene(active ? sceneOf(active) : nullptr, paintNow);
    known_ = docs;
}

void MainWindow::syncDocuments(bool paintNow) {
    followDocuments(paintNow);
    DocumentState* active = model_.activeDocument();
    QString title = Title();
    if (active)
        title +=
            QStringLiteral(" - [%1]%2").arg(active->name, active->saved ? QString() : QStringLiteral("*"));
    setWindowTitle(title);
    rebuildWindowMenu();
    layers_->refresh();
}

void MainWindow::newDrawing() {
    try {
        const Variant d = call(model_.documentsId, QStringLiteral("Add"));
        // A drawing the user just made holds nothing to lose yet.
        model_.record(d.toObject()).doc->saved = true;
    } catch (const cad::Error& e) {
        ui::MsgBox(QStringLiteral("Nie można utworzyć rysunku:\n%1").arg(e.message()), ui::Exclamation,
                   Title());
    }
    syncDocuments();
}

bool MainWindow::openFile(const QString& path) {
    const QString abs = QFileInfo(path).absoluteFilePath();
    for (DocumentState* d : model_.documents())
        if (!d->fullName.isEmpty() &&
            (QFileInfo(d->fullName).absoluteFilePath() == abs ||
             QFileInfo(d->fullName).canonicalFilePath() == QFileInfo(abs).canonicalFilePath())) {
            model_.setActiveDocument(d);
            syncDocuments();
            return true;
        }
    try {
        call(model_.documentsId, QStringLiteral("Open"), {Variant(abs)});
    } catch (const cad::Error& e) {
        ui::MsgBox(QStringLiteral("Nie można otworzyć rysunku %1:\n%2")
                       .arg(QDir::toNativeSeparators(abs), e.message()),
                   ui::Exclamation, Title());
        return false;
    }
    addRecent(abs);
    syncDocuments();
    return true;
}

bool MainWindow::saveDrawing(DocumentState* doc) {
    if (doc->fullName.isEmpty() || doc->readOnly) return saveDrawingAs(doc);
    try {
        call(doc->id, QStringLiteral("Save"));
    } catch (const cad::Error& e) {
        ui::MsgBox(e.message(), ui::Exclamation, Title());  // names the drawing and the cause
        return false;
    }
    syncDocuments();
    return true;
}

bool MainWindow::saveDrawingAs(DocumentState* doc) {
    ui::FileRequest fr;
    fr.kind = ui::FileRequest::Save;
    fr.title = QStringLiteral("Zapisz rysunek jako");
    fr.filter = DxfFilter;
    QString name = doc->fullName.isEmpty() ? doc->name : doc->fullName;
    if (name.endsWith(QLatin1String(".dwg"), Qt::CaseInsensitive))
        name = name.chopped(4) + QStringLiteral(".dxf");
    fr.fileName = name;
    if (!doc->fullName.isEmpty()) fr.initialFolder = QFileInfo(doc->fullName).absolutePath();
    const auto path = ui::Prompts().file(fr);
    if (!path || path->isEmpty()) return false;
    QString target = *path;
    if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".dxf");
    try {
        call(doc->id, QStringLiteral("SaveAs"), {Variant(target)});
    } catch (const cad::Error& e) {
        ui::MsgBox(e.message(), ui::Exclamation, Title());  // names the drawing and the cause
        return false;
    }
    addRecent(target);
    syncDocuments();
    return true;
}

bool MainWindow::closeDrawing(DocumentState* doc, bool askAboutPrograms) {
    if (askAboutPrograms && server_) {
        const QStringList programs = server_->attachedPrograms(doc);
        if (!programs.isEmpty() &&
            ui::MsgBox(QStringLiteral("Na rysunku %1 pracują programy: %2.\nZamknąć rysunek mimo to?")
                           .arg(doc->name, programs.join(QStringLiteral(", "))),
                       ui::YesNo | ui::Question, Title()) != ui::Yes)
            return false;
    }
    if (!doc->saved) {
        const int r = ui::MsgBox(QStringLiteral("Zapisać zmiany w rysunku %1?").arg(doc->name),
                                 ui::YesNoCancel | ui::Question, Title());
        if (r == ui::Cancel) return false;
        if (r == ui::Yes && !saveDrawing(doc)) return false;
    }
    try {
        call(doc->id, QStringLiteral("Close"));
    } catch (const cad::Error&) {
        // A drawing the model will not close stays open: syncDocuments below keeps it in the
        // window's list, where the user sees it still there.
    }
    syncDocuments();
    return true;
}

bool MainWindow::closeAll() {
    while (!model_.documents().empty())
        if (!closeDrawing(model_.documents().back(), false)) return false;
    return true;
}


}  // namespace cadhost
