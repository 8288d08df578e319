// The crossing-links dialog.
#include "conflictor/dialogs/CrossingLinksDialog.h"

#include "automation/CadConnection.h"
#include "automation/CrossingLinks.h"
#include "automation/Picking.h"
#include "automation/WindowSearch.h"
#include "common/Ini.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/phases/CrossingLinkConfirm.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace conflictor {

namespace {

const QString WindowKey = QStringLiteral("Okno_Powiazania_Przejsc");

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

QPushButton* button(const char* name, const char* caption) {
    auto* b = new QPushButton(tr_(caption));
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLabel* label(const char* name, const char* caption) {
    auto* l = new QLabel(tr_(caption));
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

}  // namespace

QString StreamNameFromBlockName(const QString& blockName) {
    const QString prefix = IntersectionNumber + QStringLiteral("^STRUMIEN");
    if (!blockName.startsWith(prefix, Qt::CaseInsensitive)) return QString();
    QString s = blockName.mid(prefix.size() + 1);
    const int p = s.indexOf(QLatin1Char('^'));
    if (p < 0) return QString();
    s = s.mid(p + 1);
    const int q = s.indexOf(QLatin1Char('^'));
    if (q >= 0) s = s.left(q);
    return FindStreamIndex(s) >= 0 ? s : QString();
}

CrossingLinksDialog::CrossingLinksDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmPowiazaniaPrzejsc"));
    setWindowTitle(tr_("Przejścia - powiązania strumieni"));
    setModal(true);
    if (owner) setWindowIcon(owner->windowIcon());

    grdPrzejscia = new ui::FlexGrid;
    grdPrzejscia->setObjectName(QStringLiteral("grdPrzejscia"));
    grdPrzejscia->setRows(2);
    grdPrzejscia->setCols(3);
    grdPrzejscia->setFixedRows(1);
    grdPrzejscia->setFixedCols(1);
    const char* headers[] = {"Powiązanie", "Od środka skrzyżowania", "Zewnętrzne"};
    const int widths[] = {1000, 1200, 1200};
    for (int c = 0; c < 3; ++c) {
        grdPrzejscia->setColWidthTwips(c, widths[c]);
        grdPrzejscia->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        grdPrzejscia->setTextMatrix(0, c, tr_(headers[c]));
    }
    grdPrzejscia->horizontalHeader()->setMinimumHeight(2 *
                                                       grdPrzejscia->verticalHeader()->defaultSectionSize());

    cmdNowePowiazanie = button("cmdNowePowiazanie", "Twórz nowe powiązanie");
    cmdEdytujPowiazanie = button("cmdEdytujPowiazanie", "Edytuj powiązanie");
    auto* cmdZakoncz = button("cmdZakoncz", "Za&kończ");
    cmdZakoncz->setToolTip(tr_("Anuluj wprowadzone zmiany i zamknij dialog"));
    frEdycjaPrzejscia = new QGroupBox(tr_("Definiowanie przejścia"));
    frEdycjaPrzejscia->setObjectName(QStringLiteral("frEdycjaPrzejscia"));
    labStrona1 = label("labStrona1", "Od środka skrzyżowania");
    labStrona2 = label("labStrona2", "Zewnętrzne");
    tbOdSrodka = new QLineEdit;
    tbOdSrodka->setObjectName(QStringLiteral("tbOdSrodka"));
    tbZewn = new QLineEdit;
    tbZewn->setObjectName(QStringLiteral("tbZewn"));
    cmdTworzPrzejscie = button("cmdTworzPrzejscie", "Wskaż strumienie przejścia");
    cmdZatwierdzPrzejscie = button("cmdZatwierdzPrzejscie", "Zatwierdź");
    cmdAnulujEdycje = button("cmdAnulujEdycje", "Anuluj");

    auto* edit = new QGridLayout(frEdycjaPrzejscia);
    edit->addWidget(label("Label1", "Strumienie powiązania"), 0, 0, 1, 2);
    edit->addWidget(labStrona1, 1, 0);
    edit->addWidget(tbOdSrodka, 1, 1);
    edit->addWidget(labStrona2, 2, 0);
    edit->addWidget(tbZewn, 2, 1);
    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(cmdTworzPrzejscie);
    editButtons->addWidget(cmdZatwierdzPrzejscie);
    editButtons->addWidget(cmdAnulujEdycje);
    edit->addLayout(editButtons, 3, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label("Label3", "Lista powiązań strumieni pieszych lub rowerowych"));
    layout->addWidget(grdPrzejscia, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdNowePowiazanie);
    listButtons->addWidget(cmdEdytujPowiazanie);
    listButtons->addStretch();
    listButtons->addWidget(cmdZakoncz);
    layout->addLayout(listButtons);
    layout->addWidget(frEdycjaPrzejscia);

    connect(grdPrzejscia, &ui::FlexGrid::cellClickedAt, this, Guarded(this, [this] { grdPrzejscia_Click(); }));
    connect(grdPrzejscia, &ui::FlexGrid::cellEntered, this, Guarded(this, [this] { grdPrzejscia_Click(); }));
    connect(cmdNowePowiazanie, &QPushButton::clicked, this, Guarded(this, [this] { cmdNowePowiazanie_Click(); }));
    connect(cmdEdytujPowiazanie, &QPushButton::clicked, this, Guarded(this, [this] { cmdEdytujPowiazanie_Click(); }));
    connect(cmdAnulujEdycje, &QPushButton::clicked, this, Guarded(this, [this] { cmdAnulujEdycje_Click(); }));
    connect(cmdTworzPrzejscie, &QPushButton::clicked, this,
            [this] { RunDialogCommand(this, [this] { cmdTworzPrzejscie_Click(); }); });
    connect(cmdZatwierdzPrzejscie, &QPushButton::clicked, this,
            [this] { RunDialogCommand(this, [this] { cmdZatwierdzPrzejscie_Click(); }); });
    connect(cmdZakoncz, &QPushButton::clicked, this, &QDialog::accept);

    common::TranslateFormCaptions(this, 0);
    automation::CrossingLinkTable.clear();
    if (automation::CheckDocumentOpen(false)) automation::ReadCrossingLinks(IntersectionNumber);
    FillLinkGrid();
    FitGridToColumns();
    SetEditMode(false);
    grdPrzejscia_Click();
    common::LoadFormPosition(this, WindowKey);
}

void CrossingLinksDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    common::SetFormTopmost(this, common::AlwaysOnTop);
}

void CrossingLinksDialog::done(int result) {
    if (!isMinimized()) common::SaveFormPosition(this, WindowKey);
    QDialog::done(result);
}

void CrossingLinksDialog::FillLinkGrid() {
    const auto& table = automation::CrossingLinkTable;
    if (table.isEmpty()) {
        HasLinks = false;
        return;
    }
    grdPrzejscia->setRows(int(table.size()) + 1);
    for (int i = 0; i < table.size(); ++i) {
        grdPrzejscia->setTextMatrix(i + 1, 0, QString::number(i + 1));
        grdPrzejscia->setTextMatrix(i + 1, 1, table[i].InnerStreams);
        grdPrzejscia->setTextMatrix(i + 1, 2, table[i].OuterStreams);
    }
    HasLinks = true;
    grdPrzejscia->setCurrent(1, 1);
}

void CrossingLinksDialog::FitGridToColumns() {
    // The given widths are the least: a header (drawn on one line, however tall its row) and every
    // list widen their column, and the grid is as wide as its columns.
    static const int least[] = {1000, 1200, 1200};
    const QFontMetrics header(grdPrzejscia->horizontalHeader()->font());
    const QFontMetrics cells(grdPrzejscia->font());
    const int padding = 2 * grdPrzejscia->style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
    int total = 0;
    for (int c = 0; c < 3; ++c) {
        int width = grdPrzejscia->colWidthTwips(c) > 0 ? least[c] / 15 : 0;
        width = std::max({width, header.horizontalAdvance(grdPrzejscia->TextMatrix(0, c)) + padding,
                          cells.horizontalAdvance(grdPrzejscia->TextMatrix(0, c)) + padding});
        for (int r = 1; r < grdPrzejscia->Rows(); ++r)
            width = std::max(width, cells.horizontalAdvance(grdPrzejscia->TextMatrix(r, c)) + padding);
        grdPrzejscia->setColWidthTwips(c, width * 15);
        if (c > 0) total += grdPrzejscia->colWidthTwips(c) / 15;  // column 0 is the row header
    }
    const int frame = 2 * grdPrzejscia->frameWidth();
    const int scrollBar = grdPrzejscia->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int header0 = grdPrzejscia->verticalHeader()->isVisible() ? grdPrzejscia->verticalHeader()->width() : 0;
    grdPrzejscia->setMinimumWidth(total + frame + scrollBar + header0);
}

void CrossingLinksDialog::SetEditMode(bool editing) {
    grdPrzejscia->setEnabled(!editing);
    cmdNowePowiazanie->setEnabled(!editing);
    cmdEdytujPowiazanie->setEnabled(grdPrzejscia->Row() > 0 && HasLinks && !editing);
    for (QWidget* w :
         std::initializer_list<QWidget*>{frEdycjaPrzejscia, cmdTworzPrzejscie, labStrona1, labStrona2,
                                         tbOdSrodka, tbZewn, cmdZatwierdzPrzejscie, cmdAnulujEdycje})
        w->setEnabled(editing);
}

void CrossingLinksDialog::grdPrzejscia_Click() {
    const int row = grdPrzejscia->Row();
    if (row > 0 && HasLinks) {
        tbOdSrodka->setText(grdPrzejscia->TextMatrix(row, 1));
        tbZewn->setText(grdPrzejscia->TextMatrix(row, 2));
    }
}

void CrossingLinksDialog::cmdNowePowiazanie_Click() {
    tbOdSrodka->clear();
    tbZewn->clear();
    SetEditMode(true);
    EditedLinkIndex = -1;
}

void CrossingLinksDialog::cmdEdytujPowiazanie_Click() {
    const int row = grdPrzejscia->Row();
    if (row <= 0 || !HasLinks) return;
    SetEditMode(true);
    EditedLinkIndex = row - 1;
}

void CrossingLinksDialog::cmdAnulujEdycje_Click() {
    SetEditMode(false);
}

void CrossingLinksDialog::cmdTworzPrzejscie_Click() {
    if (!automation::CheckDocumentOpen(true)) return;
    tbOdSrodka->clear();
    tbZewn->clear();
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    const QString more =
        QStringLiteral("\n") + tr_("Wskaż puste miejsce lub naciśnij 'Escape' aby przejść dalej...");
    const QString innerPrompt = tr_("Wskaż strumienie piesze lub rowerowe OD ŚRODKA skrzyżowania.") + more;
    const QString outerPrompt = tr_("Wskaż strumienie piesze lub rowerowe ZEWNĘTRZNE.") + more;
    QLineEdit* box = tbOdSrodka;
    int count = 0;
    while (true) {
        cad::Entity picked;
        const common::PlanePoint p =
            automation::PickEntity(box == tbOdSrodka ? innerPrompt : outerPrompt, picked);
        bool next = common::IsMissingPoint(p) || picked.isNull();
        if (!next) {
            QString name;
            try {
                name = StreamNameFromBlockName(picked.name());
            } catch (const cad::ConnectionLost&) {
                throw;
            } catch (const cad::Error&) {
                // Lines, texts and hatches have no block name: such a pick names no stream and the
                // user picks again.
            }
            if (!name.isEmpty()) {
                box->setText(box->text().isEmpty() ? name : box->text() + QLatin1Char(':') + name);
                next = ++count == 2;
            }
        }
        if (!next) continue;
        if (box == tbZewn) break;
        box = tbZewn;
        count = 0;
    }
    if (common::AlwaysOnTop) {
        activateWindow();
        raise();
    }
}

void CrossingLinksDialog::cmdZatwierdzPrzejscie_Click() {
    CrossingSide failed = CrossingSide::None;
    int index = EditedLinkIndex;
    const bool isNew = index < 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorBack {
        ~CursorBack() { QApplication::restoreOverrideCursor(); }
    };
    bool ok;
    {
        CursorBack back;
        ok = ConfirmCrossingLink(tbOdSrodka->text(), tbZewn->text(), index, windowTitle(), failed);
    }
    if (!ok) {
        if (failed == CrossingSide::Inner) tbOdSrodka->setFocus();
        if (failed == CrossingSide::Outer) tbZewn->setFocus();
        return;
    }
    SetEditMode(false);
    if (isNew) {
        if (HasLinks)
            grdPrzejscia->addRow();
        else
            HasLinks = true;
    }
    EditedLinkIndex = index;
    const int r = index + 1;
    if (grdPrzejscia->Rows() <= r) grdPrzejscia->setRows(r + 1);
    grdPrzejscia->setTextMatrix(r, 0, QString::number(r));
    grdPrzejscia->setTextMatrix(r, 1, tbOdSrodka->text().trimmed());
    grdPrzejscia->setTextMatrix(r, 2, tbZewn->text().trimmed());
    FitGridToColumns();
    QCoreApplication::processEvents();
    grdPrzejscia->setCurrent(r, 1);
    grdPrzejscia->setFocus();
    SetEditMode(false);
}

}  // namespace conflictor
