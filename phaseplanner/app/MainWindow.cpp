// frmMain: controls, start-up, shut-down and the intersection list.
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/PlaybackControls.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/ProgramReading.h"

#include "automation/CadConnection.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/SettingBindings.h"
#include "common/SingleInstance.h"
#include "common/TextHelpers.h"
#include "common/Version.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "phaseplanner/app/GroupGridEditor.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace phaseplanner {

namespace {
QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}
}  // namespace

MainWindow::MainWindow(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vilmar Program"));
    buildControls();
    buildCommands();
}

MainWindow::~MainWindow() {
    if (&MainProgramWindow() == this) SetProgramWindow(nullptr);
    if (ownsInstanceLock_) common::ReleaseSingleInstance(QStringLiteral("phaseplanner"));
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* top = new QHBoxLayout;
    auto* labNo = new QLabel(tr_("Nr skrzyż. (prog.):"), central);
    labNo->setObjectName(QStringLiteral("labNo"));
    cmbNo = new QComboBox(central);
    cmbNo->setObjectName(QStringLiteral("cmbNo"));
    cmbNo->setMinimumContentsLength(6);
    cmdAddNo = new QPushButton(QStringLiteral("+"), central);
    cmdAddNo->setObjectName(QStringLiteral("cmdAddNo"));
    cmdAddNo->setFixedWidth(28);
    auto* labTyp = new QLabel(tr_("Typ programu:"), central);
    cmbTypProgramu = new QComboBox(central);
    cmbTypProgramu->setObjectName(QStringLiteral("cmbTypProgramu"));
    cmbTypProgramu->addItems({tr_("Zwykły"), tr_("Startowy"), tr_("Końcowy")});
    auto* labWym = new QLabel(tr_("Wymiarowanie"), central);
    cmbWymiarowanie = new QComboBox(central);
    cmbWymiarowanie->setObjectName(QStringLiteral("cmbWymiarowanie"));
    top->addWidget(labNo);
    top->addWidget(cmbNo);
    top->addWidget(cmdAddNo);
    top->addSpacing(12);
    top->addWidget(labTyp);
    top->addWidget(cmbTypProgramu);
    top->addSpacing(12);
    top->addWidget(labWym);
    top->addWidget(cmbWymiarowanie);
    top->addSpacing(12);
    // The service view: the table's frame off in the drawing, the program texts hidden.
    auto* chkSerwis = new QCheckBox(tr_("Serwis"), central);
    chkSerwis->setObjectName(QStringLiteral("chkSerwis"));
    connect(chkSerwis, &QCheckBox::toggled, this, [](bool on) { ServiceView = on; });
    top->addWidget(chkSerwis);
    top->addStretch();
    layout->addLayout(top);

    auto* cycle = new QHBoxLayout;
    cycle->addWidget(new QLabel(QStringLiteral("Tc="), central));
    edtCzasCyklu = new QLineEdit(central);
    edtCzasCyklu->setObjectName(QStringLiteral("edtCzasCyklu"));
    edtCzasCyklu->setFixedWidth(50);
    edtCzasCyklu->setAlignment(Qt::AlignRight);
    cycle->addWidget(edtCzasCyklu);
    cycle->addWidget(new QLabel(QStringLiteral("[s]"), central));
    labTcMax = new QLabel(central);
    labTcMax->setObjectName(QStringLiteral("labTcMax"));
    cycle->addSpacing(12);
    cycle->addWidget(labTcMax);
    cycle->addStretch();
    layout->addLayout(cycle);

    grdGrupy = new ui::FlexGrid(central);
    grdGrupy->setObjectName(QStringLiteral("grdGrupy"));
    grdGrupy->setCols(7);
    grdGrupy->setRows(2);
    grdGrupy->setFixedRows(1);  // row 0 becomes the header
    grdGrupy->setRows(2);
    grdGrupy->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdGrupy->setSelectionMode(QAbstractItemView::SingleSelection);
    grdGrupy->viewport()->installEventFilter(this);
    {
        // The grid's small type, so that the columns of their given widths hold their
        // texts; the current cell shows cyan.
        QFont f = grdGrupy->font();
        f.setPointSizeF(8);
        grdGrupy->setFont(f);
        grdGrupy->horizontalHeader()->setFont(f);
        QPalette pal = grdGrupy->palette();
        pal.setColor(QPalette::Highlight, QColor(0, 255, 255));
        pal.setColor(QPalette::HighlightedText, Qt::black);
        grdGrupy->setPalette(pal);
    }
    layout->addWidget(grdGrupy, 1);
    editor_ = new GroupGridEditor(grdGrupy, *this);
    connect(grdGrupy, &ui::FlexGrid::cellEntered, this, [this](int row, int col) {
        if (GridFilled && row > 0 && grdGrupy->FixedRows() > 0)
            grdGrupy->setCellBackColor(row, col, QColor(0, 255, 255));
    });
    connect(grdGrupy, &ui::FlexGrid::cellLeft, this, [this](int row, int col) {
        if (row > 0) grdGrupy->setCellBackColor(row, col, SavedCellColor);
    });

    Frame1 = new QGroupBox(tr_("Stany"), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* states = new QHBoxLayout(Frame1);
    sldStany = new QSlider(Qt::Horizontal, Frame1);
    sldStany->setObjectName(QStringLiteral("sldStany"));
    sldStany->setMinimum(-1);
    sldStany->setMaximum(CycleLength);
    sldStany->setValue(-1);
    sldStany->setEnabled(false);
    edtSekunda = new QLineEdit(Frame1);
    edtSekunda->setObjectName(QStringLiteral("edtSekunda"));
    edtSekunda->setReadOnly(true);
    edtSekunda->setFixedWidth(50);
    edtSekunda->setAlignment(Qt::AlignRight);
    edtSekunda->setEnabled(false);
    states->addWidget(sldStany, 1);
    states->addWidget(edtSekunda);
    layout->addWidget(Frame1);
    playback_ = new PlaybackControls(*this, Frame1);
    layout->addWidget(playback_);
    connect(sldStany, &QSlider::valueChanged, this, &MainWindow::showSecond);

    setCentralWidget(central);
    // The smallest window is 5500 x 6400 twips.
    setMinimumSize(5500 / 15, 6400 / 15);

    connect(cmbNo, &QComboBox::currentIndexChanged, this, [] { cmbNo_Click(); });
    connect(cmdAddNo, &QPushButton::clicked, this, [this] { RunCommand(QStringLiteral("cmdAddNo")); });
}

void MainWindow::showSecond(int value) {
    CurrentSecond = value;
    edtSekunda->setText(value >= 0 ? QString::number(value) : QString());
    if (playback_) playback_->secondShown(value);
}

bool MainWindow::Form_Load() {
    SetProgramWindow(this);
    SuppressIntersectionClick = true;
    MaxCycleLength = 120;
    cmbTypProgramu->setCurrentIndex(0);
    const QString title = ProgramTitleText();
    QCoreApplication::setApplicationName(title);

    if (!common::AcquireSingleInstance(QStringLiteral("phaseplanner"))) {
        const QString text =
            tr_("Uwaga! Ponowne uruchomienie już pracującej aplikacji.") + QStringLiteral("\r\n") +
            tr_("Aplikacja ") + title + tr_(" już została uruchomiana i pracuje.") + QStringLiteral("\r\n") +
            tr_("Proszę skorzystać z już pracującej aplikacji, na przykład") + QStringLiteral("\r\n") +
            tr_("wybierając ") + title + tr_(" z systemowego paska zadań.");
        ui::MsgBox(text, ui::Exclamation, title + tr_(" - ponowne uruchomienie"));
        unloaded_ = true;  // nothing is written by a refused copy
        SetProgramWindow(nullptr);
        return false;
    }
    ownsInstanceLock_ = true;

    edtSekunda->clear();
    CurrentSecond = -1;
    ExcelWorkbookName.clear();
    ExcelWorkbookPath.clear();
    PhaseOrderText.clear();

    common::SetHelpFolder(
        common::JoinPath(common::JoinPath(common::GetParentFolder(programFolder_), QStringLiteral("Zasoby")),
                         QStringLiteral("Pomoc")));
    common::SetHelpContext(this, HelpContext);
    common::IniFilePath = common::IniFileLocation(programFolder_);
    if (const QString problem = common::UnusableIniMessage(common::IniFilePath); !problem.isEmpty())
        ui::MsgBox(problem, ui::Exclamation, windowTitle());
    LoadCycleParameters();

    using common::SettingBindings;
    for (common::SettingBinding& b : SettingBindings) b = common::SettingBinding{};
    SettingBindings[0] = {QStringLiteral("frmMain"),    QString(), common::KindText,
                          QStringLiteral("DirProjekt"), {},        QDir::currentPath()};
    SettingBindings[1] = {QStringLiteral("frmMain"),
                          QStringLiteral("cmbWymiarowanie"),
                          common::KindListIndex,
                          QStringLiteral("cmbWymiarowanie"),
                          {},
                          QStringLiteral("2")};
    SettingBindings[2] = {QStringLiteral("frmKonf"),
                          QStringLiteral("edtMinCzerwMSR"),
                          common::KindText,
                          QStringLiteral("edtMinCzerwMSR"),
                          {},
                          QStringLiteral("0")};
    SettingBindings[3] = {QStringLiteral("frmKonf"),
                          QStringLiteral("chkParametrySzczegolowe"),
                          common::KindCheckBox,
                          QStringLiteral("chkParametrySzczegolowe"),
                          {},
                          QStringLiteral("0")};
    SettingBindings[4] = {QStringLiteral("frmKonf"),
                          QStringLiteral("chkWydluzZielone"),
                          common::KindCheckBox,
                          QStringLiteral("chkWydluzZielone"),
                          {},
                          QStringLiteral("1")};

    cmbWymiarowanie->clear();
    cmbWymiarowanie->addItems({tr_("Brak"), tr_("Bazowe"), tr_("Całkowite")});
    common::LoadFormControlSettings(this, false);
    common::TranslateFormCaptions(this, 0);

    automation::CadApplication = automation::ConnectToAutoCad(false);
    if (automation::CadApplication.isNull()) {
        ui::MsgBox(windowTitle() + QLatin1Char('\n') + tr_("Nie można nawiązać połączenia z programem") +
                       QLatin1Char('\n') + QStringLiteral("[Dravin PL] lub [Dravin Viewer Plus]"),
                   ui::OkOnly, title);
        unloaded_ = true;
        common::ReleaseSingleInstance(QStringLiteral("phaseplanner"));
        ownsInstanceLock_ = false;
        SetProgramWindow(nullptr);
        return false;
    }
    try {
        automation::CadApplication.setVisible(true);
    } catch (const cad::Error&) {
        // A CAD that cannot show itself still serves the drawing; the user brings its window up,
        // and a host gone is offered again at the next command.
    }

    setWindowTitle(common::Tlumacz(title) + tr_(" w.") + common::GetVersionText());
    initialGrid();
    common::LoadFormPosition(this, QStringLiteral("Program"), QString(), QStringLiteral("1000"));
    edtCzasCyklu->setText(QString::number(CycleLength));
    showMaxCycleLength(MaxCycleLength);

    show();
    QCoreApplication::processEvents();

    readDrawingAtStart();
    // The states are computed at the end of every start-up, drawing or not.
    ComputeProgramStates(false);
    SuppressIntersectionClick = false;
    return true;
}

void MainWindow::readDrawingAtStart() {
    try {
        if (!automation::CheckDocumentOpen(false)) return;
        RemoveStaleTimeMarkers();
        UpdateDrawingProgram(true);
        bool found = false;
        SprawdzSkrzyzowania(found);
        GetAtrybutyProgramu();
        // The drawing carries its own program: its groups are read back quietly.
        if (found) {
            bool ok = false;
            ReadProgramFromDrawing(true, ok);
        }
        edtCzasCyklu->setText(QString::number(CycleLength));
        FillGroupGrid();
    } catch (const std::exception& e) {
        ui::MsgBox(tr_("Nie udało się odczytać programu z rysunku:") + QLatin1Char('\n') +
                       QString::fromUtf8(e.what()),
                   ui::Exclamation, windowTitle());
    }
}

void MainWindow::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    editor_->CommitCellEdit();
    common::SaveFormPosition(this, QStringLiteral("Program"));
    ResetInvalidCycleLength();
    SaveCycleParameters();
    common::SaveFormControlSettings(this, false);
    common::ReleaseSingleInstance(QStringLiteral("phaseplanner"));
    ownsInstanceLock_ = false;
    SetProgramWindow(nullptr);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Unsaved changes of the intergreen workbook are offered for saving; Cancel keeps the program open.
    if (!unloaded_ && !CloseIntergreenWorkbook()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void MainWindow::mnuPlik_Zakoncz_Click() {
    close();
}

void MainWindow::clearIntersections() {
    cmbNo->blockSignals(true);
    cmbNo->clear();
    cmbNo->blockSignals(false);
}

void MainWindow::insertIntersection(int index, const QString& number) {
    cmbNo->blockSignals(true);
    const int current = cmbNo->currentIndex();
    cmbNo->insertItem(index, number);
    cmbNo->setCurrentIndex(current >= index ? current + 1 : current);
    cmbNo->blockSignals(false);
}

int MainWindow::intersectionCount() const {
    return cmbNo->count();
}

QString MainWindow::intersectionText(int index) const {
    return cmbNo->itemText(index);
}

int MainWindow::selectedIntersection() const {
    return cmbNo->currentIndex();
}

void MainWindow::selectIntersection(int index) {
    cmbNo->blockSignals(true);
    cmbNo->setCurrentIndex(index >= 0 && index < cmbNo->count() ? index : -1);
    cmbNo->blockSignals(false);
    cmbNo_Click();
}

int MainWindow::programType() const {
    return cmbTypProgramu->currentIndex();
}

void MainWindow::setProgramType(int index) {
    cmbTypProgramu->setCurrentIndex(index >= 0 && index < cmbTypProgramu->count() ? index : -1);
}

void MainWindow::showMaxCycleLength(int seconds) {
    labTcMax->setText(QStringLiteral("Tc max = %1 [s]").arg(seconds));
}

}  // namespace phaseplanner
