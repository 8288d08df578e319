// Qt's own texts in Polish: the standard buttons and the file dialog once the translations are in,
// and a program that runs on (with Qt's English) when they cannot be found.
#include "platform/ui/QtTranslations.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class QtTranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void missingTranslationsLeaveTheEnglishTexts() {
        QTemporaryDir empty;
        QVERIFY(!ui::InstallQtTranslations(*QCoreApplication::instance(), empty.path()));
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    }

    void standardButtonsAndTheFileDialogSpeakPolish() {
        QVERIFY2(ui::InstallQtTranslations(*QCoreApplication::instance()),
                 "Qt's Polish translations (qt6-translations-l10n, scripts/install-deps) are missing");
        QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Anuluj"));
        QCOMPARE(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Tak"));
        QFileDialog dialog(nullptr, QString(), QString(), QString());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QVERIFY(dialog.findChildren<QPushButton*>().size() > 0);
        QStringList texts;
        for (const QPushButton* b : dialog.findChildren<QPushButton*>()) texts << b->text();
        QVERIFY2(texts.contains(QStringLiteral("&Zachowaj")), qPrintable(texts.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
