// The coordination projects window and its folder chooser. Writing a project's contents, new
// coordinations and adding programs are not part of the program: their controls stay disabled.
#include "phaseplanner/app/CoordinationWindow.h"

#include "common/FileNameHelpers.h"
#include "common/PathHelpers.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "phaseplanner/drawing/CoordinationProject.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

common::SettingBinding* projectFolderBinding() {
    for (common::SettingBinding& b : common::SettingBindings)
        if (b.Key == QLatin1String("DirProjekt")) return &b;
    return nullptr;
}

// The text before the last "\" or "/"; "" when there is none.
QString folderPart(const QString& path) {
    const int p = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return p > 0 ? path.left(p) : QString();
}

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}
}  // namespace

QString ProjectFolderSetting() {
    const common::SettingBinding* b = projectFolderBinding();
    return b ? b->Value.toString() : QString();
}

void SetProjectFolderSetting(const QString& folder) {
    if (common::SettingBinding* b = projectFolderBinding()) b->Value = folder;
}

QString BrowseForFolder(QWidget*, const QString& title, const QString& initialFolder) {
    return ui::Prompts().folder(title, initialFolder).value_or(QString());
}

// ---- frmWybierzKatalog ----

FolderChooserDialog::FolderChooserDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWybierzKatalog"));
    setWindowTitle(tr_("Wybierz katalog"));
    tbFolder = new QLineEdit(this);
    tbFolder->setObjectName(QStringLiteral("tbFolder"));
    labDir = new QLabel(this);
    labDir->setObjectName(QStringLiteral("labDir"));
    cmdKatalogSekcji = new QPushButton(QStringLiteral("..."), this);
    cmdKatalogSekcji->setObjectName(QStringLiteral("cmdKatalogSekcji"));
    cmdOk = new QPushButton(tr_("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdAnuluj = new QPushButton(tr_("Anuluj"), this);
    cmdAnuluj->setObjectName(QStringLiteral("cmdAnuluj"));

    auto* row = new QHBoxLayout;
    row->addWidget(tbFolder, 1);
    row->addWidget(cmdKatalogSekcji);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdAnuluj);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labDir);
    layout->addLayout(row);
    layout->addLayout(buttons);
    resize(480, sizeHint().height());

    connect(cmdKatalogSekcji, &QPushButton::clicked, this, [this] { cmdKatalogSekcji_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdAnuluj, &QPushButton::clicked, this, &QDialog::reject);
}

void FolderChooserDialog::Form_Load() {
    ProjectFile.clear();
    initialFolder_ = Folder;
    tbFolder->setText(FileMode ? common::JoinPath(Folder, QStringLiteral("Projekt1.prk")) : Folder);
    Folder.clear();
    labDir->setText(Title);
    setWindowTitle(Title);
    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, QStringLiteral("WybierzKatalog"));
}

void FolderChooserDialog::cmdKatalogSekcji_Click() {
    const QString chosen = BrowseForFolder(this, tr_("Wybierz folder"), tbFolder->text());
    if (!chosen.isEmpty()) tbFolder->setText(chosen);
}

void FolderChooserDialog::cmdOk_Click() {
    const QString t = tbFolder->text().trimmed();
    QString filePath;
    if (FileMode) {
        const QString name = common::GetFileBaseName(t);
        if (name.isEmpty()) {
            ui::MsgBox(tr_("Niepoprawna nazwa projektu."), ui::Exclamation, windowTitle());
            tbFolder->setFocus();
            return;
        }
        const QString folder = folderPart(t);
        Folder = folder.isEmpty() ? initialFolder_ : folder;
        filePath = common::JoinPath(Folder, name + QStringLiteral(".prk"));
        if (QFileInfo::exists(filePath)) {
            ui::MsgBox(tr_("We wskazanej lokazlizacji istnieje plik o takiej nazwie."), ui::Exclamation,
                       windowTitle());
            return;
        }
    } else {
        Folder = t;
    }

    if (!isFolder(Folder)) {
        const int answer =
            ui::MsgBox(tr_("Katalog: nie istnieje.") + QLatin1Char('\n') + tr_("Czy utworzyć katalog?"),
                       ui::YesNo, windowTitle());
        if (answer == ui::Yes) {
            try {
                common::CreateFolderPath(Folder);
            } catch (const std::exception&) {
                // A file in the way or no right to create: said below.
            }
            if (!isFolder(Folder)) {
                ui::MsgBox(
                    tr_("Nie można utworzyć katalogu:") + QStringLiteral("\n[") + Folder + QLatin1Char(']'),
                    ui::Exclamation, windowTitle());
                Folder.clear();
            }
        } else {
            Folder.clear();
        }
    }

    if (FileMode && !Folder.isEmpty()) {
        QFile file(filePath);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.close();
            ProjectFile = filePath;
        } else {
            ui::MsgBox(tr_("Nie można utworzyć pliku projektu:") + QStringLiteral("\n[") + filePath +
                           QLatin1Char(']'),
                       ui::Exclamation, windowTitle());
        }
    }
    accept();
}

void FolderChooserDialog::done(int result) {
    FileMode = false;
    common::SaveFormPosition(this, QStringLiteral("WybierzKatalog"));
    QDialog::done(result);
}

// ---- frmKoordynacja ----

CoordinationWindow::CoordinationWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmKoordynacja"));
    setWindowTitle(tr_("Koordynacja"));

    auto* menuBar = new QMenuBar(this);
    QMenu* plik = menuBar->addMenu(tr_("&Plik"));
    plik->setObjectName(QStringLiteral("mnuPlik"));
    auto addItem = [&](const char* name, const char* label) {
        QAction* a = plik->addAction(tr_(label));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QAction* nowy = addItem("mnuProjektNowy", "&Nowy projekt");
    QAction* otworz = addItem("mnuProjektOtworz", "&Otwórz projekt");
    addItem("mnuZapiszProjekt", "&Zapisz projekt")->setEnabled(false);
    addItem("mnuKoordNowy", "Nowa &koordynacja")->setEnabled(false);

    tlbPrzyciski = new QToolBar(this);
    tlbPrzyciski->setObjectName(QStringLiteral("tlbPrzyciski"));
    QAction* nowyButton =
        tlbPrzyciski->addAction(QIcon(QStringLiteral(":/icons/nowy-projekt.svg")), tr_("Nowy projekt"));
    nowyButton->setObjectName(QStringLiteral("NowyProjekt"));
    QAction* otworzButton =
        tlbPrzyciski->addAction(QIcon(QStringLiteral(":/icons/otworz-projekt.svg")), tr_("Otwórz projekt"));
    otworzButton->setObjectName(QStringLiteral("OtworzProjekt"));

    lblProjekt = new QLabel(this);
    lblProjekt->setObjectName(QStringLiteral("lblProjekt"));
    cmbCzasCyklu = new QComboBox(this);
    cmbCzasCyklu->setObjectName(QStringLiteral("cmbCzasCyklu"));
    cmbCzasCyklu->setEditable(true);
    cmdKoord = new QPushButton(tr_("Nowa koordynacja"), this);
    cmdKoord->setObjectName(QStringLiteral("cmdKoord"));
    cmdProg = new QPushButton(tr_("Dodaj program do koordynacji"), this);
    cmdProg->setObjectName(QStringLiteral("cmdProg"));
    cmdCreate = new QPushButton(tr_("Create"), this);
    cmdCreate->setObjectName(QStringLiteral("cmdCreate"));
    for (QPushButton* b : {cmdKoord, cmdProg, cmdCreate}) b->setEnabled(false);
    grdKoord = new QTableWidget(this);
    grdKoord->setObjectName(QStringLiteral("grdKoord"));
    txtDebug = new QPlainTextEdit(this);
    txtDebug->setObjectName(QStringLiteral("txtDebug"));
    txtDebug->setReadOnly(true);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr_("Projekt:"), this), 0, 0);
    grid->addWidget(lblProjekt, 0, 1, 1, 3);
    grid->addWidget(new QLabel(tr_("Koordynacja (czas cyklu):"), this), 1, 0);
    grid->addWidget(cmbCzasCyklu, 1, 1);
    grid->addWidget(cmdKoord, 1, 2);
    grid->addWidget(cmdProg, 1, 3);
    grid->addWidget(cmdCreate, 2, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(tlbPrzyciski);
    layout->addLayout(grid);
    layout->addWidget(grdKoord, 1);
    layout->addWidget(txtDebug, 1);
    resize(640, 480);

    connect(nowy, &QAction::triggered, this, [this] { mnuProjektNowy_Click(); });
    connect(nowyButton, &QAction::triggered, this, [this] { mnuProjektNowy_Click(); });
    connect(otworz, &QAction::triggered, this, [this] { mnuProjektOtworz_Click(); });
    connect(otworzButton, &QAction::triggered, this, [this] { mnuProjektOtworz_Click(); });
    connect(cmbCzasCyklu, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });

    lblProjekt->clear();
    common::TranslateFormCaptions(this, 0);
    UpdateButtons();
    common::LoadFormPosition(this, QStringLiteral("Koordynacja"));
}

CoordinationWindow::~CoordinationWindow() = default;

void CoordinationWindow::UpdateButtons() {
    cmbCzasCyklu->setEnabled(!lblProjekt->text().isEmpty());
}

void CoordinationWindow::mnuProjektNowy_Click() {
    FolderChooserDialog chooser(this);
    chooser.Folder = ProjectFolderSetting();
    chooser.Title = tr_("Nowy projekt");
    chooser.FileMode = true;
    chooser.Form_Load();
    chooser.exec();
    if (!chooser.Folder.isEmpty()) SetProjectFolderSetting(chooser.Folder);
    if (!chooser.ProjectFile.isEmpty()) {
        lblProjekt->setText(chooser.ProjectFile);
        CoordinationTable.assign(1, CoordinationRecord{});
        cmbCzasCyklu->clear();
        txtDebug->clear();
        UpdateButtons();
    }
}

void CoordinationWindow::mnuProjektOtworz_Click() {
    ui::FileRequest request;
    request.kind = ui::FileRequest::Open;
    request.filter = QStringLiteral("prk (*.prk)|*.prk");
    request.initialFolder = ProjectFolderSetting();
    const std::optional<QString> chosen = ui::Prompts().file(request);
    if (!chosen || chosen->isEmpty() || !QFileInfo(*chosen).isFile()) return;
    SetProjectFolderSetting(QFileInfo(*chosen).absolutePath());
    if (!LoadCoordinationProject(*chosen)) return;
    lblProjekt->setText(*chosen);
    UpdateButtons();
}

bool CoordinationWindow::LoadCoordinationProject(const QString& path) {
    QString error;
    const std::optional<CoordinationProject> project = ReadCoordinationProject(path, error);
    if (!project) {
        ui::MsgBox(error, ui::Exclamation, MainProgramWindow().caption());
        return false;
    }
    CoordinationTable = project->Records;
    QStringList trace = project->Trace;
    if (project->IgnoredEntries > 0)
        trace << tr_("Pominięto nadmiarowe węzły Koordynacja: ") + QString::number(project->IgnoredEntries);
    txtDebug->setPlainText(trace.join(QLatin1Char('\n')));
    cmbCzasCyklu->clear();
    cmbCzasCyklu->addItems(project->CycleTimes);
    cmbCzasCyklu->setEditText(project->CurrentCycle);
    return true;
}

void CoordinationWindow::done(int result) {
    common::SaveFormPosition(this, QStringLiteral("Koordynacja"));
    QDialog::done(result);
}

}  // namespace phaseplanner
