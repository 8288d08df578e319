// The about box: version line, caption and program name from the two fields the caller sets.
#include "common/ui/AboutDialog.h"

#include "common/TextHelpers.h"
#include "common/Version.h"
#include "common/ui/FormWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace common {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmOProgramie"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("imgLogo"));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    picture->setPixmap(icon.pixmap(64, 64));
    top->addWidget(picture, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    lblProgram = new QLabel(QStringLiteral("Program opis"));
    lblProgram->setObjectName(QStringLiteral("lblProgram"));
    lblProgram->setFont(QFont(QStringLiteral("Times New Roman"), 18));
    lblWersja = new QLabel;
    lblWersja->setObjectName(QStringLiteral("lblWersja"));
    auto* about = new QLabel(Tlumacz(QStringLiteral(
        "Program do projektowania sygnalizacji świetlnej: strumienie ruchu, punkty kolizji i czasy "
        "międzyzielone skrzyżowania.")));
    about->setObjectName(QStringLiteral("lblOpis"));
    about->setWordWrap(true);
    texts->addWidget(lblProgram);
    texts->addWidget(lblWersja);
    texts->addWidget(about);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    cmdOk = new QPushButton(QStringLiteral("&Ok"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    layout->addWidget(cmdOk, 0, Qt::AlignRight);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 180);
}

void AboutDialog::Form_Load() {
    TranslateFormCaptions(this, 0);
    lblWersja->setText(ProgramTitle + Tlumacz(QStringLiteral(" w. ")) + GetVersionText());
    setWindowTitle(ProgramTitle + Tlumacz(QStringLiteral(" - informacja o programie")));
    lblProgram->setText(ProgramName);
}

int AboutDialog::exec() {
    Form_Load();
    return QDialog::exec();
}

}  // namespace common
