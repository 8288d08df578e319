// The phase editor window.
#include "conflictor/dialogs/PhaseEditorDialog.h"

#include "automation/CadConnection.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/streams/StreamViews.h"
#include "platform/ui/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace conflictor {

namespace {

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// The tick and the empty box of a phase cell.
QIcon cellPicture(bool checked) {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(1, 1, 12, 12);
    if (checked) {
        p.setPen(QPen(QColor(0, 130, 0), 2.2));
        p.drawPolyline(QPolygonF({QPointF(3, 7), QPointF(6, 10.5), QPointF(11.5, 3)}));
    }
    return QIcon(pixmap);
}

struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

struct Command {
    const char* menu;
    const char* name;
    const char* caption;
    const char* key;
    const char* tooltip;
};
// Menu items and the toolbar keys that run them (the toolbar in table order, without mnu_Zakoncz).
const Command Commands[] = {
    {"mnu_Plik", "mnu_Zakoncz", "&Zakończ", nullptr, nullptr},
    {"mnu_Widok", "mnu_ZaznaczGrupe", "Zaznacz &grupę", "ZaznaczGrupe", "Zaznacz grupę"},
    {"mnu_Widok", "mnu_ZaznaczFaze", "Zaznacz &fazę", "ZaznaczFaze", "Zaznacz fazę"},
    {"mnu_Widok", "mnu_PokazFazeUkryj", "&Pokaż fazę (ukryj pozostałe)", "PokazFazeUkryj",
     "Pokaż fazę (ukryj pozostałe)"},
    {"mnu_Faza", "mnu_KopiujFaze", "&Kopiuj fazę", "KopiujFaze", "Kopiuj fazę"},
    {"mnu_Faza", "mnu_KopiujFazeBezPieszych", "Kopiuj fazę bez &pieszych", "KopiujFazeBezPieszych",
     "Kopiuj fazę bez pieszych"},
    {"mnu_Faza", "mnu_DodajFaze", "&Dodaj fazę", "DodajFaze", "Dodaj fazę"},
    {"mnu_Faza", "mnu_UsunFaze", "&Usuń fazę", "UsunFaze", "Usun fazę"},
};

}  // namespace

template <class F>
void PhaseEditorDialog::guarded(F&& work) {
    if (!RunDialogCommand(this, std::forward<F>(work))) {
        EditorReady = true;
        render();
    }
}

PhaseEditorDialog::PhaseEditorDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmFazy"));
    setWindowTitle(tr_("Fazy"));
    setModal(true);
    EditorReady = false;

    auto* bar = new QMenuBar(this);
    QMenu* menus[3] = {bar->addMenu(tr_("&Plik")), bar->addMenu(tr_("&Widok")), bar->addMenu(tr_("&Faza"))};
    menus[0]->setObjectName(QStringLiteral("mnu_Plik"));
    menus[1]->setObjectName(QStringLiteral("mnu_Widok"));
    menus[2]->setObjectName(QStringLiteral("mnu_Faza"));
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("tlbPrzyciski"));
    for (const Command& c : Commands) {
        QMenu* menu = menus[QString::fromLatin1(c.menu) == QLatin1String("mnu_Plik")    ? 0
                            : QString::fromLatin1(c.menu) == QLatin1String("mnu_Widok") ? 1
                                                                                        : 2];
        QAction* a = menu->addAction(tr_(c.caption));
        a->setObjectName(QString::fromLatin1(c.name));
        const QString name = QString::fromLatin1(c.name);
        const QString key = c.key ? QString::fromLatin1(c.key) : QString();
        if (key.isEmpty())
            connect(a, &QAction::triggered, this, &QDialog::accept);
        else
            connect(a, &QAction::triggered, this,
                    [this, key] { guarded([this, key] { runToolbarKey(key); }); });
        if (!key.isEmpty()) {
            QAction* b = toolbar->addAction(tr_(c.tooltip));
            b->setObjectName(key);
            b->setToolTip(tr_(c.tooltip));
            connect(b, &QAction::triggered, this,
                    [this, key] { guarded([this, key] { runToolbarKey(key); }); });
        }
    }

    grdFazy = new ui::FlexGrid;
    grdFazy->setObjectName(QStringLiteral("grdFazy"));
    cmbFazy = new QComboBox;
    cmbFazy->setObjectName(QStringLiteral("cmbFazy"));
    cmbGrupy = new QComboBox;
    cmbGrupy->setObjectName(QStringLiteral("cmbGrupy"));
    labTest = new QLabel;
    labTest->setObjectName(QStringLiteral("labTest"));
    labTest2 = new QLabel;
    labTest2->setObjectName(QStringLiteral("labTest2"));
    auto* cmdZaznaczFaze = new QPushButton(tr_("&Zaznacz fazę"));
    cmdZaznaczFaze->setObjectName(QStringLiteral("cmdZaznaczFaze"));
    auto* cmdZaznaczGrupe = new QPushButton(tr_("Zaznacz &grupę"));
    cmdZaznaczGrupe->setObjectName(QStringLiteral("cmdZaznaczGrupe"));
    auto* cmdOk = new QPushButton(tr_("Za&kończ"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));

    auto* choices = new QGridLayout;
    choices->addWidget(new QLabel(tr_("Wybrana grupa:")), 0, 0);
    choices->addWidget(cmbGrupy, 0, 1);
    choices->addWidget(cmdZaznaczGrupe, 0, 2);
    choices->addWidget(new QLabel(tr_("Wybrana faza:")), 1, 0);
    choices->addWidget(cmbFazy, 1, 1);
    choices->addWidget(cmdZaznaczFaze, 1, 2);
    choices->addWidget(new QLabel(tr_("Fazy:")), 2, 0);
    choices->addWidget(labTest2, 2, 1);
    choices->addWidget(labTest, 3, 0, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(toolbar);
    layout->addWidget(grdFazy, 1);
    layout->addLayout(choices);
    layout->addWidget(cmdOk, 0, Qt::AlignRight);

    connect(grdFazy, &ui::FlexGrid::cellClickedAt, this,
            [this](int r, int c) { guarded([=, this] { grdFazy_Click(r, c); }); });
    connect(grdFazy, &QTableWidget::cellDoubleClicked, this, [this](int r, int c) {
        guarded([=, this] { grdFazy_DblClick(r + grdFazy->FixedRows(), c + grdFazy->FixedCols()); });
    });
    connect(grdFazy->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { headerClick(c); });
    // A double click on a phase's header selects the phase in the drawing.
    connect(grdFazy->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int c) {
        if (c < 2 || c - 2 >= model_.phaseCount()) return;
        headerClick(c);
        guarded([this] { cmdZaznaczFaze_Click(); });
    });
    connect(cmdZaznaczFaze, &QPushButton::clicked, this,
            [this] { guarded([this] { cmdZaznaczFaze_Click(); }); });
    connect(cmdZaznaczGrupe, &QPushButton::clicked, this,
            [this] { guarded([this] { cmdZaznaczGrupe_Click(); }); });
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmbFazy, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (EditorReady) model_.CurrentPhase = i;
    });
    connect(cmbGrupy, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (EditorReady) model_.CurrentGroup = i;
    });

    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, QStringLiteral("frmFazy"));
    model_.Load();
    render();
    EditorReady = true;
}

QString PhaseEditorDialog::toggleText() const {
    return labTest->text();
}

void PhaseEditorDialog::setCellPicture(int row, int phaseColumn) {
    const int col = phaseColumn + 2;
    QTableWidgetItem* item = grdFazy->item(grdFazy->tableRow(row), grdFazy->tableCol(col));
    if (!item) {
        grdFazy->setTextMatrix(row, col, QString());
        item = grdFazy->item(grdFazy->tableRow(row), grdFazy->tableCol(col));
    }
    if (item) item->setIcon(cellPicture(model_.PhaseCellStates[size_t(row - 1)][size_t(phaseColumn)]));
}

void PhaseEditorDialog::render() {
    const bool ready = EditorReady;
    EditorReady = false;
    grdFazy->setFixedRows(1);
    grdFazy->setFixedCols(0);
    grdFazy->setCols(model_.phaseCount() + 2);
    grdFazy->setRows(std::max(2, model_.rowCount() + 1));
    grdFazy->setTextMatrix(0, 0, tr_("Strumienie"));
    grdFazy->setTextMatrix(0, 1, tr_("Gr."));
    grdFazy->setColWidthTwips(0, 2000);
    grdFazy->setColWidthTwips(1, 400);
    grdFazy->setColAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    grdFazy->setColAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    cmbFazy->clear();
    cmbGrupy->clear();
    for (int k = 0; k < model_.phaseCount(); ++k) {
        grdFazy->setColWidthTwips(k + 2, 300);
        grdFazy->setColAlignment(k + 2, Qt::AlignCenter);
        grdFazy->setTextMatrix(0, k + 2, model_.PhaseHeaders[k]);
        cmbFazy->addItem(model_.PhaseHeaders[k]);
    }
    if (model_.rowCount() == 0) {
        grdFazy->setTextMatrix(1, 0, QString());
        grdFazy->setTextMatrix(1, 1, QString());
    }
    for (int r = 0; r < model_.rowCount(); ++r) {
        grdFazy->setTextMatrix(r + 1, 0, model_.GroupNames[r]);
        grdFazy->setTextMatrix(r + 1, 1, QString::number(model_.Groups[size_t(r)]));
        cmbGrupy->addItem(QString::number(model_.Groups[size_t(r)]));
        for (int k = 0; k < model_.phaseCount(); ++k) setCellPicture(r + 1, k);
    }
    cmbFazy->setCurrentIndex(model_.CurrentPhase);
    cmbGrupy->setCurrentIndex(model_.CurrentGroup);
    EditorReady = ready;
}

void PhaseEditorDialog::grdFazy_Click(int row, int col) {
    if (row < 1) return;
    if (col < 2) {
        if (row - 1 < model_.rowCount()) {
            model_.CurrentGroup = row - 1;
            cmbGrupy->setCurrentIndex(row - 1);
        }
        return;
    }
    if (grdFazy->RowSel() != row || grdFazy->ColSel() != col) return;  // several cells
    if (row - 1 >= model_.rowCount()) return;  // phases over an empty grid: no group to change
    model_.CurrentGroup = row - 1;
    cmbGrupy->setCurrentIndex(row - 1);
    model_.Toggle(row - 1, col - 2);
    setCellPicture(row, col - 2);
    labTest->setText(model_.LastToggleText);
}

void PhaseEditorDialog::headerClick(int col) {
    if (col < 2 || col - 2 >= model_.phaseCount()) return;
    model_.CurrentPhase = col - 2;
    cmbFazy->setCurrentIndex(col - 2);
    labTest2->setText(model_.PhaseHeaders[col - 2]);
}

void PhaseEditorDialog::grdFazy_DblClick(int row, int col) {
    if (row < 1 || row - 1 >= model_.rowCount()) return;
    (void)col;
    model_.CurrentGroup = row - 1;
    cmbGrupy->setCurrentIndex(row - 1);
    cmdZaznaczGrupe_Click();
}

void PhaseEditorDialog::cmdZaznaczFaze_Click() {
    if (cmbFazy->currentIndex() < 0) return;
    const int phase = common::ParseInteger(cmbFazy->currentText());
    BusyCursor busy;
    if (!automation::CheckDocumentOpen(true)) return;
    SelectPhaseStreams(phase, rebuild_);
}

void PhaseEditorDialog::cmdZaznaczGrupe_Click() {
    if (cmbGrupy->currentIndex() < 0) return;
    const int group = common::ParseInteger(cmbGrupy->currentText());
    BusyCursor busy;
    if (!automation::CheckDocumentOpen(true)) return;
    if (ShownPhase > -1) {
        ZmienWidok(-2);
        ShownPhase = -1;
    }
    ZmienWidok(-1);
    bool rebuild = true;
    ColourStreamsOfPhaseOrGroup(group, common::Settings.PisakZaznaczenia, rebuild, false);
}

void PhaseEditorDialog::mnu_PokazFazeUkryj_Click() {
    if (cmbFazy->currentIndex() < 0) return;
    const int phase = common::ParseInteger(cmbFazy->currentText());
    BusyCursor busy;
    if (!automation::CheckDocumentOpen(true)) return;
    ZmienWidok(phase);
}

void PhaseEditorDialog::addPhase(bool copy, bool withoutPedestrians) {
    EditorReady = false;
    if (model_.AddPhaseColumn(copy, withoutPedestrians, windowTitle())) {
        render();
        grdFazy->setCol(model_.phaseCount() + 1);
    }
    EditorReady = true;
}

void PhaseEditorDialog::mnu_UsunFaze_Click() {
    EditorReady = false;
    if (cmbFazy->currentIndex() >= 0) {
        BusyCursor busy;
        model_.CurrentPhase = cmbFazy->currentIndex();
        model_.DeleteCurrentPhase();
        render();
    }
    EditorReady = true;
}

void PhaseEditorDialog::runToolbarKey(const QString& key) {
    if (key == QLatin1String("ZaznaczGrupe"))
        cmdZaznaczGrupe_Click();
    else if (key == QLatin1String("ZaznaczFaze"))
        cmdZaznaczFaze_Click();
    else if (key == QLatin1String("PokazFazeUkryj"))
        mnu_PokazFazeUkryj_Click();
    else if (key == QLatin1String("KopiujFaze"))
        mnu_KopiujFaze_Click();
    else if (key == QLatin1String("KopiujFazeBezPieszych"))
        mnu_KopiujFazeBezPieszych_Click();
    else if (key == QLatin1String("DodajFaze"))
        mnu_DodajFaze_Click();
    else if (key == QLatin1String("UsunFaze"))
        mnu_UsunFaze_Click();
}

void PhaseEditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    common::SetFormTopmost(this, common::AlwaysOnTop);
}

void PhaseEditorDialog::done(int result) {
    if (!isMinimized()) common::SaveFormPosition(this, QStringLiteral("frmFazy"));
    QDialog::done(result);
}

void PhaseEditorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // At least 4650 × 7000 twips.
    const QSize least(4650 / 15, 7000 / 15);
    if (width() < least.width() || height() < least.height()) resize(size().expandedTo(least));
}

}  // namespace conflictor
