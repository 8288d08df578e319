// The settings dialog frmKonfig of hatcher.
#include "hatcher/app/ConfigDialog.h"

#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace hatcher {

using common::Tlumacz;

ConfigDialog::ConfigDialog(QWidget* parent) : QDialog(parent), sets_(LayerSets) {
    setObjectName(QStringLiteral("frmKonfig"));
    setWindowTitle(Tlumacz(QStringLiteral("Konfiguracja")));
    auto* grid = new QGridLayout(this);
    auto* frame = new QGroupBox(Tlumacz(QStringLiteral("  Warstwy schematu  ")), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* fl = new QGridLayout(frame);
    optAll_ = new QRadioButton(Tlumacz(QStringLiteral("Wszystkie warstwy")), frame);
    optAll_->setObjectName(QStringLiteral("optWarstwy_0"));
    optChosen_ = new QRadioButton(Tlumacz(QStringLiteral("Wybrane warstwy")), frame);
    optChosen_->setObjectName(QStringLiteral("optWarstwy_1"));
    cmbZestaw_ = new QComboBox(frame);
    cmbZestaw_->setObjectName(QStringLiteral("cmbZestaw"));
    for (int i = 1; i <= LayerSetCount; ++i) cmbZestaw_->addItem(QStringLiteral("Zestaw %1").arg(i));
    lstWarstwy_ = new QListWidget(frame);
    lstWarstwy_->setObjectName(QStringLiteral("lstWarstwy"));
    lstWarstwy_->installEventFilter(this);
    cmbWarstwy_ = new QComboBox(frame);
    cmbWarstwy_->setObjectName(QStringLiteral("cmbWarstwy"));
    cmdPobierzWarstwy_ = new QToolButton(frame);
    cmdPobierzWarstwy_->setObjectName(QStringLiteral("cmdPobierzWarstwy"));
    cmdPobierzWarstwy_->setText(QStringLiteral("⟳"));
    cmdPobierzWarstwy_->setToolTip(Tlumacz(QStringLiteral("Pobierz listę warstw")));
    cmdDodaj_ = new QToolButton(frame);
    cmdDodaj_->setObjectName(QStringLiteral("cmdDodajWarstweDoZestawu"));
    cmdDodaj_->setText(QStringLiteral("+"));
    cmdDodaj_->setToolTip(Tlumacz(QStringLiteral("Dodaj warstwę do listy")));
    cmdUsun_ = new QPushButton(Tlumacz(QStringLiteral("Usuń warstwę [Delete]")), frame);
    cmdUsun_->setObjectName(QStringLiteral("cmdUsunWarstwe"));
    cmdWyczysc_ = new QPushButton(Tlumacz(QStringLiteral("Wyczyść listę warstw")), frame);
    cmdWyczysc_->setObjectName(QStringLiteral("cmdWyczyscListe"));
    lstWarstwyTmp_ = new QListWidget(this);
    lstWarstwyTmp_->setObjectName(QStringLiteral("lstWarstwyTmp"));
    lstWarstwyTmp_->setSortingEnabled(true);
    lstWarstwyTmp_->hide();
    fl->addWidget(optAll_, 0, 0, 1, 3);
    fl->addWidget(optChosen_, 1, 0, 1, 3);
    fl->addWidget(cmbZestaw_, 2, 0, 1, 3);
    fl->addWidget(cmbWarstwy_, 3, 0);
    fl->addWidget(cmdPobierzWarstwy_, 3, 1);
    fl->addWidget(cmdDodaj_, 3, 2);
    fl->addWidget(lstWarstwy_, 4, 0, 1, 3);
    fl->addWidget(cmdUsun_, 5, 0);
    fl->addWidget(cmdWyczysc_, 5, 1, 1, 2);
    grid->addWidget(frame, 0, 0, 1, 2);
    edtFazaWys_ = new QLineEdit(this);
    edtFazaWys_->setObjectName(QStringLiteral("edtFazaWys"));
    edtPrzejscieWys_ = new QLineEdit(this);
    edtPrzejscieWys_->setObjectName(QStringLiteral("edtPrzejscieWys"));
    grid->addWidget(new QLabel(Tlumacz(QStringLiteral("Wysokość napisu określającego fazę")), this), 1, 0);
    grid->addWidget(edtFazaWys_, 1, 1);
    grid->addWidget(
        new QLabel(Tlumacz(QStringLiteral("Wysokość napisu określającego możliwe przejście międzyfazowe")),
                   this),
        2, 0);
    grid->addWidget(edtPrzejscieWys_, 2, 1);
    chkTextScaled_ = new QCheckBox(Tlumacz(QStringLiteral("Skaluj teksty")), this);
    chkTextScaled_->setObjectName(QStringLiteral("chkTextScaled"));
    chkPowiazania_ = new QCheckBox(
        Tlumacz(QStringLiteral("Uwzględniaj powiązania przejść przy zaznaczaniu i wyświetlaniu faz")), this);
    chkPowiazania_->setObjectName(QStringLiteral("chkPowiazania"));
    grid->addWidget(chkTextScaled_, 3, 0, 1, 2);
    grid->addWidget(chkPowiazania_, 4, 0, 1, 2);
    auto* ok = new QPushButton(Tlumacz(QStringLiteral("OK")), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    auto* cancel = new QPushButton(Tlumacz(QStringLiteral("Anuluj")), this);
    cancel->setObjectName(QStringLiteral("cmdAnuluj"));
    grid->addWidget(ok, 5, 0);
    grid->addWidget(cancel, 5, 1);

    connect(optAll_, &QRadioButton::toggled, this, [this] { SetControls(); });
    connect(cmbZestaw_, &QComboBox::currentIndexChanged, this, [this] { cmbZestaw_Click(); });
    connect(cmdPobierzWarstwy_, &QToolButton::clicked, this, [this] {
        try {
            cmdPobierzWarstwy_Click();
        } catch (const cad::Error& e) {
            ui::MsgBox(e.message(), ui::Exclamation, windowTitle());  // the CAD went away
        }
    });
    connect(cmdDodaj_, &QToolButton::clicked, this, [this] { cmdDodajWarstweDoZestawu_Click(); });
    connect(cmdUsun_, &QPushButton::clicked, this, [this] { cmdUsunWarstwe_Click(); });
    connect(cmdWyczysc_, &QPushButton::clicked, this, [this] { cmdWyczyscListe_Click(); });
    connect(ok, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cmdAnuluj_Click(); });

    common::TranslateFormCaptions(this, 0);
    common::LoadFormPosition(this, objectName());
    common::LoadFormControlSettings(this, true);
    cmbZestaw_Click();
    SetControls();
}

int ConfigDialog::chosenSet() const {
    return cmbZestaw_->currentIndex();
}

void ConfigDialog::SetControls() {
    const bool on = optChosen_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{cmbZestaw_, cmbWarstwy_, cmdPobierzWarstwy_, cmdDodaj_,
                                                      lstWarstwy_, cmdWyczysc_})
        w->setEnabled(on);
}

void ConfigDialog::cmbZestaw_Click() {
    lstWarstwy_->clear();
    lstWarstwy_->addItems(LayerSetNames(sets_, chosenSet()));
}

void ConfigDialog::cmdPobierzWarstwy_Click() {
    if (!automation::CheckDocumentOpen(true)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cmbWarstwy_->clear();
    lstWarstwyTmp_->clear();
    try {
        for (const cad::Layer& l : automation::CadDocument.layers().all()) {
            const QString name = l.name().trimmed();
            if (name.isEmpty() || TrafficLayers().contains(name)) continue;
            // Shown trimmed, kept as the drawing's table stores it, so the search finds the layer.
            auto* item = new QListWidgetItem(name);
            item->setData(Qt::UserRole, l.name());
            lstWarstwyTmp_->addItem(item);
        }
    } catch (const cad::Error&) {
        QApplication::restoreOverrideCursor();
        throw;  // told by the button: an empty list alone would read as a drawing without layers
    }
    for (int i = 0; i < lstWarstwyTmp_->count(); ++i)
        cmbWarstwy_->addItem(lstWarstwyTmp_->item(i)->text(), lstWarstwyTmp_->item(i)->data(Qt::UserRole));
    QApplication::restoreOverrideCursor();
}

void ConfigDialog::cmdDodajWarstweDoZestawu_Click() {
    if (cmbWarstwy_->currentIndex() < 0) return;
    const int set = chosenSet();
    if (set < 0 || set >= LayerSetCount) return;
    const QVariant stored = cmbWarstwy_->currentData();
    const QString name = stored.isValid() ? stored.toString() : cmbWarstwy_->currentText();
    for (int i = 0; i < lstWarstwy_->count(); ++i)
        if (lstWarstwy_->item(i)->text().compare(name, Qt::CaseInsensitive) == 0) {
            ui::MsgBox(Tlumacz(QStringLiteral("Lista zawiera już taką pozycję.")), ui::Exclamation,
                       windowTitle());
            return;
        }
    const int slot = lstWarstwy_->count();
    if (slot >= LayerSetSize) {
        ui::MsgBox(Tlumacz(QStringLiteral("Zestaw może zawierać najwyżej 50 warstw.")), ui::Exclamation,
                   windowTitle());
        return;
    }
    sets_[size_t(set)][size_t(slot)] = name;
    lstWarstwy_->addItem(name);
}

void ConfigDialog::cmdUsunWarstwe_Click() {
    const int row = lstWarstwy_->currentRow();
    const int set = chosenSet();
    if (row < 0 || set < 0 || set >= LayerSetCount) return;
    delete lstWarstwy_->takeItem(row);
    sets_[size_t(set)].fill(QString());
    if (lstWarstwy_->count() > 0) {
        lstWarstwy_->setCurrentRow(row > 0 ? row - 1 : 0);
        for (int i = 0; i < lstWarstwy_->count() && i < LayerSetSize; ++i)
            sets_[size_t(set)][size_t(i)] = lstWarstwy_->item(i)->text();
    }
}

void ConfigDialog::cmdWyczyscListe_Click() {
    const int set = chosenSet();
    if (set < 0 || set >= LayerSetCount) return;
    sets_[size_t(set)].fill(QString());
    lstWarstwy_->clear();
}

void ConfigDialog::cmdOk_Click() {
    LayerSets = sets_;
    if (!WriteLayerSets(LayerSetsFilePath, LayerSets))
        ui::MsgBox(Tlumacz(QStringLiteral("Nie można zapisać pliku:")) + QStringLiteral("\n[") +
                       LayerSetsFilePath + QStringLiteral("]"),
                   ui::Exclamation, windowTitle());
    common::SaveFormControlSettings(this, false);
    accept();
}

void ConfigDialog::cmdAnuluj_Click() {
    reject();
}

void ConfigDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    common::SetFormTopmost(this, true);
}

void ConfigDialog::done(int result) {
    common::SaveFormPosition(this, objectName());
    QDialog::done(result);
}

bool ConfigDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstWarstwy_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        cmdUsunWarstwe_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace hatcher
