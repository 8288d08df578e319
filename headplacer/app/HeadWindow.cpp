// The head window: its controls and their layout.
#include "headplacer/app/HeadWindow.h"

#include "common/TextHelpers.h"
#include "common/Version.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HelpPages.h"
#include "headplacer/app/WidgetNames.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace headplacer {

namespace {

QRadioButton* option(const QString& array, int i, const QString& text, QWidget* parent) {
    auto* b =
        named(new QRadioButton(common::Tlumacz(text), parent), QStringLiteral("%1_%2").arg(array).arg(i));
    b->setProperty("index", i);
    return b;
}

}  // namespace

HeadWindow::HeadWindow(HeadPlacerApp& app) : app_(app) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(common::Tlumacz(QStringLiteral("Rodzaj i oznaczenie sygnalizatora")));
    build();
}

void HeadWindow::build() {
    auto* root = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    root->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    // Kind of signal.
    auto* kindFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Rodzaj sygnału")), this);
    auto* kindGrid = new QGridLayout(kindFrame);
    const QStringList kinds = {
        QStringLiteral("&Pojazdy"), QStringLiteral("&Autobusy"),           QStringLiteral("&Tramwaje"),
        QStringLiteral("&Piesi"),   QStringLiteral("Piesi i ro&werzyści"), QStringLiteral("&Rowerzyści")};
    auto* kindGroup = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        chkRodzSyg[i] = option(QStringLiteral("chkRodzSyg"), i, kinds[i], kindFrame);
        kindGroup->addButton(chkRodzSyg[i], i);
        kindGrid->addWidget(chkRodzSyg[i], i % 3, i / 3);
        // Choosing a kind sets its default symbol: a click on the kind already chosen changes
        // nothing and must keep the symbol the user (or the command line) chose.
        connect(chkRodzSyg[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) chkRodzSyg_Click(i);
        });
    }
    left->addWidget(kindFrame);

    frRdz2Syg =
        named(new QGroupBox(common::Tlumacz(QStringLiteral("Rodzaj")), this), QStringLiteral("frRdz2Syg"));
    auto* nameLayout = new QVBoxLayout(frRdz2Syg);
    cmbRdz2Syg = named(new QComboBox(frRdz2Syg), QStringLiteral("cmbRdz2Syg"));
    nameLayout->addWidget(cmbRdz2Syg);
    connect(cmbRdz2Syg, &QComboBox::activated, this, [this] { cmbRdz2Syg_Click(); });
    left->addWidget(frRdz2Syg);

    auto* intersectionFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Skrzyżowanie")), this);
    auto* intersectionLayout = new QHBoxLayout(intersectionFrame);
    cmbNumSkrzyz = freeTextCombo(intersectionFrame, QStringLiteral("cmbNumSkrzyz"));
    cmbNumSkrzyz->setToolTip(common::Tlumacz(
        QStringLiteral("Wybierz z listy lub wpisz: Nr nowego [spacja] opis nowego skrzyżowania")));
    cmbNumSkrzyz->setMinimumWidth(220);
    cmdDodajWpis = commandButton(intersectionFrame, "cmdDodajWpis");
    intersectionLayout->addWidget(cmbNumSkrzyz, 1);
    intersectionLayout->addWidget(cmdDodajWpis);
    connect(cmbNumSkrzyz, &QComboBox::activated, this, [this] { cmbNumSkrzyz_Click(); });
    // The designation shows the number as it is typed, not only once an entry is picked from the list.
    connect(cmbNumSkrzyz->lineEdit(), &QLineEdit::textEdited, this, [this] { cmbNumSkrzyz_Click(); });
    left->addWidget(intersectionFrame);

    auto* orientFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Orientacja geograficzna")), this);
    auto* orientGrid = new QGridLayout(orientFrame);
    const QStringList orientations = {QStringLiteral("1 (N)"),  QStringLiteral("2 (E)"),
                                      QStringLiteral("3 (S)"),  QStringLiteral("4 (W)"),
                                      QStringLiteral("5 (NE)"), QStringLiteral("6 (SE)"),
                                      QStringLiteral("7 (SW)"), QStringLiteral("8 (NW)")};
    auto* orientGroup = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        chkOrientGeo[i] = option(QStringLiteral("chkOrientGeo"), i, orientations[i], orientFrame);
        orientGroup->addButton(chkOrientGeo[i], i);
        orientGrid->addWidget(chkOrientGeo[i], i % 4, i / 4);
        connect(chkOrientGeo[i], &QRadioButton::clicked, this, [this, i] { chkOrientGeo_Click(i); });
    }
    left->addWidget(orientFrame);

    auto* stopLayout = new QHBoxLayout;
    chkLinZatrz = named(
        new QCheckBox(common::Tlumacz(QStringLiteral("Dodatkowy na wcześniejszej linii zatrzymania")), this),
        QStringLiteral("chkLinZatrz"));
    Label2 = named(new QLabel(common::Tlumacz(QStringLiteral("Linia zatrzymania:")), this),
                   QStringLiteral("Label2"));
    cmbLinZatrz = named(new QComboBox(this), QStringLiteral("cmbLinZatrz"));
    stopLayout->addWidget(chkLinZatrz);
    stopLayout->addWidget(Label2);
    stopLayout->addWidget(cmbLinZatrz);
    connect(chkLinZatrz, &QCheckBox::clicked, this, [this] { chkLinZatrz_Click(); });
    connect(cmbLinZatrz, &QComboBox::activated, this, [this] { cmbLinZatrz_Click(); });
    left->addLayout(stopLayout);

    auto* extraFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Sygnalizatory dodatkowe")), this);
    auto* extraGrid = new QGridLayout(extraFrame);
    const QStringList extras = {QStringLiteral("Dodatkowy"), QStringLiteral("Kierunkowy"),
                                QStringLiteral("Dodatkowy kierunkowego"), QStringLiteral("brak")};
    cmbPowt = named(new QComboBox(extraFrame), QStringLiteral("cmbPowt"));
    cmbStrum = named(new QComboBox(extraFrame), QStringLiteral("cmbStrum"));
    cmbPowtStrum = named(new QComboBox(extraFrame), QStringLiteral("cmbPowtStrum"));
    QComboBox* lists[3] = {cmbPowt, cmbStrum, cmbPowtStrum};
    auto* extraGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        chkPowtStr[i] = option(QStringLiteral("chkPowtStr"), i, extras[i], extraFrame);
        extraGroup->addButton(chkPowtStr[i], i);
        extraGrid->addWidget(chkPowtStr[i], i, 0);
        if (i < 3) {
            extraGrid->addWidget(lists[i], i, 1);
            connect(lists[i], &QComboBox::activated, this, [this, i] { cmbSuffix_Click(i); });
        }
        connect(chkPowtStr[i], &QRadioButton::clicked, this, [this, i] { chkPowtStr_Click(i); });
    }
    left->addWidget(extraFrame);

    auto* lensFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Średnica soczewki (mm)")), this);
    auto* lensLayout = new QHBoxLayout(lensFrame);
    auto* lensGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        chkFiSocz[i] = option(QStringLiteral("chkFiSocz"), i, QString::number(LensDiameters[i]), lensFrame);
        lensGroup->addButton(chkFiSocz[i], i);
        lensLayout->addWidget(chkFiSocz[i]);
        connect(chkFiSocz[i], &QRadioButton::clicked, this, [this, i] { chkFiSocz_Click(i); });
    }
    right->addWidget(lensFrame);

    auto* sourceFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Źródło światła")), this);
    auto* sourceLayout = new QVBoxLayout(sourceFrame);
    cmbZrodSwiatla = named(new QComboBox(sourceFrame), QStringLiteral("cmbZrodSwiatla"));
    cmbZrodSwiatla->setPlaceholderText(common::Tlumacz(QStringLiteral("brak danych")));
    sourceLayout->addWidget(cmbZrodSwiatla);
    right->addWidget(sourceFrame);

    auto* typeFrame = named(new QGroupBox(common::Tlumacz(QStringLiteral("Typ sygnalizatora")), this),
                            QStringLiteral("frmTyp"));
    auto* typeLayout = new QVBoxLayout(typeFrame);
    cmbTypSyg = named(new QComboBox(typeFrame), QStringLiteral("cmbTypSyg"));
    typeLayout->addWidget(cmbTypSyg);
    right->addWidget(typeFrame);

    auto* equipFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Wyposażenie")), this);
    auto* equipLayout = new QVBoxLayout(equipFrame);
    chkSygnAkust =
        named(new QCheckBox(common::Tlumacz(QStringLiteral("Sygnalizatory akustyczne")), equipFrame),
              QStringLiteral("chkSygnAkust"));
    chkWkladyAntyZl =
        named(new QCheckBox(common::Tlumacz(QStringLiteral("Filtry antyzłudzeniowe")), equipFrame),
              QStringLiteral("chkWkladyAntyZl"));
    chkEkrany = named(new QCheckBox(common::Tlumacz(QStringLiteral("Ekrany kontrastowe")), equipFrame),
                      QStringLiteral("chkEkrany"));
    auto* screenLayout = new QHBoxLayout;
    auto* screenGroup = new QButtonGroup(this);
    const QStringList shapes = {QStringLiteral("Prostokątny"), QStringLiteral("Owalny")};
    for (int i = 0; i < 2; ++i) {
        optRodzEkran[i] = option(QStringLiteral("optRodzEkran"), i, shapes[i], equipFrame);
        screenGroup->addButton(optRodzEkran[i], i);
        screenLayout->addWidget(optRodzEkran[i]);
        optRodzEkran[i]->setEnabled(false);
        connect(optRodzEkran[i], &QRadioButton::clicked, this, [this, i] { optRodzEkran_Click(i); });
    }
    equipLayout->addWidget(chkSygnAkust);
    equipLayout->addWidget(chkWkladyAntyZl);
    equipLayout->addWidget(chkEkrany);
    equipLayout->addLayout(screenLayout);
    chkSygnAkust->setEnabled(false);
    connect(chkSygnAkust, &QCheckBox::clicked, this, [this] { AcousticSignals = chkSygnAkust->isChecked(); });
    connect(chkWkladyAntyZl, &QCheckBox::clicked, this, [this] { chkWkladyAntyZl_Click(); });
    connect(chkEkrany, &QCheckBox::clicked, this, [this] { chkEkrany_Click(); });
    right->addWidget(equipFrame);

    auto* detFrame = new QGroupBox(common::Tlumacz(QStringLiteral("Detektory")), this);
    auto* detLayout = new QVBoxLayout(detFrame);
    chkUstawDetektory = named(new QCheckBox(detFrame), QStringLiteral("chkUstawDetektory"));
    detLayout->addWidget(chkUstawDetektory);
    connect(chkUstawDetektory, &QCheckBox::clicked, this,
            [this] { SetPushButtons = chkUstawDetektory->isChecked(); });
    right->addWidget(detFrame);
    right->addStretch(1);

    Label3 = named(new QLabel(this), QStringLiteral("Label3"));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    root->addWidget(Label3);

    auto* buttons = new QHBoxLayout;
    cmdAccept = commandButton(this, "cmdAccept");
    cmdAccept->setDefault(true);
    cmdCancel = commandButton(this, "cmdCancel");
    cmdHelp = commandButton(this, "cmdHelp");
    cmdUstawienia = commandButton(this, "cmdUstawienia");
    buttons->addWidget(cmdUstawienia);
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdAccept);
    buttons->addWidget(cmdCancel);
    root->addLayout(buttons);
    // Every command button runs its row of the command table.
    for (QPushButton* b : {cmdDodajWpis, cmdUstawienia, cmdHelp, cmdAccept, cmdCancel}) {
        const QString id = b->objectName();
        connect(b, &QPushButton::clicked, this, [this, id] { app_.RunCommand(id); });
    }

    // The window opens with vehicles, 300 mm and no additional head.
    {
        const QSignalBlocker quiet(chkRodzSyg[0]);  // the symbol is applied once the window is filled
        chkRodzSyg[0]->setChecked(true);
    }
    chkFiSocz[0]->setChecked(true);
    chkPowtStr[3]->setChecked(true);
    cmbPowt->setEnabled(false);
    cmbStrum->setEnabled(false);
    cmbPowtStrum->setEnabled(false);
    cmbLinZatrz->setEnabled(false);
    Label2->setEnabled(false);
    chkUstawDetektory->setEnabled(false);
}

void HeadWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    app_.endProgram();
}

void HeadWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        ShowHelpPage(HelpWindow::Head, this);
        return;
    }
    QWidget::keyPressEvent(e);
}

}  // namespace headplacer
