// The phase and intersection pickers.
#include "conflictor/dialogs/Pickers.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "common/ui/FormWindow.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamViews.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace conflictor {

namespace {

const QString PhaseWindowKey = QStringLiteral("Okno_Wybierz_Faze");

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

QPushButton* button(const char* name, const char* caption, const char* tip) {
    auto* b = new QPushButton(tr_(caption));
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tr_(tip));
    return b;
}

// Label, list and the two buttons, one below the other.
QListWidget* buildPicker(QDialog* dialog, const char* label, const char* listName, QPushButton* ok,
                         QPushButton* cancel) {
    auto* layout = new QVBoxLayout(dialog);
    auto* lab = new QLabel(tr_(label));
    lab->setObjectName(QStringLiteral("labFaza"));
    lab->setWordWrap(true);
    auto* list = new QListWidget;
    list->setObjectName(QString::fromLatin1(listName));
    layout->addWidget(lab);
    layout->addWidget(list, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    return list;
}

}  // namespace

PhasePickerDialog::PhasePickerDialog(int phase, bool selectMode, QWidget* owner)
    : QDialog(owner), PickerPhase(phase), PickerSelectMode(selectMode) {
    setObjectName(QStringLiteral("frmWybierzFaze"));
    setWindowTitle(tr_("Wybór fazy"));
    setModal(true);
    cmdOk = button("cmdOk", "", "Zatwierdź wprowadzone wartości i zamknij dialog");
    auto* cancel = button("cmdAnuluj", "Za&kończ", "Anuluj wprowadzone zmiany i zamknij dialog");
    lstFaza = buildPicker(this, "Wybierz fazę", "lstFaza", cmdOk, cancel);
    connect(cmdOk, &QPushButton::clicked, this, Guarded(this, [this] { cmdOk_Click(); }));
    connect(lstFaza, &QListWidget::itemDoubleClicked, this, Guarded(this, [this] { cmdOk_Click(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    rebuild_ = true;
    common::TranslateFormCaptions(this, 0);
    cmdOk->setText(PickerSelectMode ? tr_("&Zaznacz") : tr_("&Pokaż"));
    std::vector<int> phases;
    CollectPhaseNumbers(phases);
    for (int p : phases) {
        auto* item = new QListWidgetItem(QString::number(p), lstFaza);
        if (p == PickerPhase) lstFaza->setCurrentItem(item);
    }
    PickerPhase = -1;
    common::LoadFormPosition(this, PhaseWindowKey);
}

void PhasePickerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    common::SetFormTopmost(this, common::AlwaysOnTop);
    lstFaza->setFocus();
}

void PhasePickerDialog::done(int result) {
    common::SaveFormPosition(this, PhaseWindowKey);
    QDialog::done(result);
}

void PhasePickerDialog::cmdOk_Click() {
    const QListWidgetItem* item = lstFaza->currentItem();
    if (!item || !item->isSelected()) return;
    PickerPhase = common::ParseInteger(item->text());
    cmdOk->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    struct Back {
        QPushButton* b;
        ~Back() {
            QApplication::restoreOverrideCursor();
            b->setEnabled(true);
        }
    } back{cmdOk};
    if (PickerSelectMode)
        SelectPhaseStreams(PickerPhase, rebuild_);
    else
        ZmienWidok(PickerPhase);
}

IntersectionPickerDialog::IntersectionPickerDialog(const QStringList& numbers, QWidget* owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("frmWybierzSkrzyz"));
    setWindowTitle(tr_("Wybór skrzyżowania"));
    setModal(true);
    auto* ok = button("cmdOk", "&Ok", "Zatwierdź wprowadzone wartości i zamknij dialog");
    auto* cancel = button("cmdAnuluj", "Za&kończ", "Anuluj wprowadzone zmiany i zamknij dialog");
    lstSkrzyz = buildPicker(this, "Wybierz skrzyżowanie, z którego chcesz pobrać nazwy sygnalizatorów",
                            "lstSkrzyz", ok, cancel);
    lstSkrzyz->addItems(numbers);
    if (lstSkrzyz->count() > 0) lstSkrzyz->setCurrentRow(0);
    common::TranslateFormCaptions(this, 0);
    // Only OK gives a choice; Cancel and the close box leave it empty.
    connect(ok, &QPushButton::clicked, this, [this] {
        const QListWidgetItem* item = lstSkrzyz->currentItem();
        ChosenIntersection = item ? item->text() : QString();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        ChosenIntersection.clear();
        reject();
    });
}

}  // namespace conflictor
