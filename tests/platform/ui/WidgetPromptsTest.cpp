// The Qt Widgets prompt service: button, icon and default mapping, and dialogs answered by a timer.
#include "platform/ui/WidgetPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Runs `answer` on the first visible dialog of type T as soon as one is shown (polled by a timer), so
// that a modal exec() returns without a person.
template <class T>
void answerWhenShown(std::function<void(T*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<T*>(w);
            if (dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                answer(dialog);
                return;
            }
        }
    });
    timer->start();
}

// Rejects every dialog still open after a few seconds, so that a test whose answer went astray fails
// instead of waiting for a person. Lives for one prompt call.
class DialogGuard {
public:
    DialogGuard() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
        });
        timer_.start(10000);
    }

private:
    QTimer timer_;
};

QPushButton* buttonWithText(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text) return qobject_cast<QPushButton*>(b);
    return nullptr;
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) texts << b->text();
    texts.sort();
    return texts;
}

}  // namespace

class WidgetPromptsTest : public QObject {
    Q_OBJECT

    ui::WidgetPrompts prompts;
    ui::PromptService* previous = nullptr;

private slots:
    void initTestCase() {
        QApplication::setApplicationName(QStringLiteral("Tesmar Program"));
        previous = ui::SetPromptService(&prompts);
    }
    void cleanupTestCase() { ui::SetPromptService(previous); }

    void buttonSetsIconsAndDefaults() {
        struct Case {
            int flags;
            QStringList texts;
            QMessageBox::Icon icon;
            int defaultResult;
            int escapeResult;  // 0: no escape button
        };
        const QList<Case> cases{
            {ui::OkOnly, {QStringLiteral("OK")}, QMessageBox::NoIcon, ui::Ok, ui::Ok},
            {ui::OkCancel | ui::Exclamation,
             {QStringLiteral("Anuluj"), QStringLiteral("OK")},
             QMessageBox::Warning,
             ui::Ok,
             ui::Cancel},
            {ui::YesNo | ui::Question | ui::DefaultButton2,
             {QStringLiteral("Nie"), QStringLiteral("Tak")},
             QMessageBox::Question,
             ui::No,
             0},
            {ui::YesNoCancel | ui::Critical | ui::DefaultButton3,
             {QStringLiteral("Anuluj"), QStringLiteral("Nie"), QStringLiteral("Tak")},
             QMessageBox::Critical,
             ui::Cancel,
             ui::Cancel},
            {ui::AbortRetryIgnore | ui::Information | ui::DefaultButton2,
             {QStringLiteral("Ignoruj"), QStringLiteral("Ponów próbę"), QStringLiteral("Przerwij")},
             QMessageBox::Information,
             ui::Retry,
             0},
            {ui::RetryCancel,
             {QStringLiteral("Anuluj"), QStringLiteral("Ponów próbę")},
             QMessageBox::NoIcon,
             ui::Retry,
             ui::Cancel},
        };
        for (const Case& c : cases) {
            std::unique_ptr<QMessageBox> box(ui::WidgetPrompts::buildMessageBox(
                QStringLiteral("<b>tekst</b>"), c.flags, QString(), nullptr));
            QCOMPARE(buttonTexts(box.get()), c.texts);
            QCOMPARE(box->icon(), c.icon);
            QCOMPARE(ui::WidgetPrompts::resultOf(box->defaultButton()), c.defaultResult);
            QCOMPARE(ui::WidgetPrompts::resultOf(box->defaultButton()), ui::DefaultMessageResult(c.flags));
            if (c.escapeResult) QCOMPARE(ui::WidgetPrompts::resultOf(box->escapeButton()), c.escapeResult);
            QCOMPARE(box->windowTitle(), QStringLiteral("Tesmar Program"));
            QCOMPARE(box->textFormat(), Qt::PlainText);
        }
        std::unique_ptr<QMessageBox> box(ui::WidgetPrompts::buildMessageBox(
            QStringLiteral("x"), ui::YesNo, QStringLiteral("Tytuł"), nullptr));
        QCOMPARE(box->windowTitle(), QStringLiteral("Tytuł"));
        QCOMPARE(ui::WidgetPrompts::resultOf(buttonWithText(box.get(), QStringLiteral("Nie"))), int(ui::No));
    }

    void messageAnsweredByTimer() {
        answerWhenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->text(), QStringLiteral("Czy usunąć strumień?"));
            buttonWithText(box, QStringLiteral("Tak"))->click();
        });
        QCOMPARE(
            ui::MsgBox(QStringLiteral("Czy usunąć strumień?"), ui::YesNo | ui::Question | ui::DefaultButton2),
            int(ui::Yes));

        answerWhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(ui::MsgBox(QStringLiteral("Kontynuować?"), ui::OkCancel), int(ui::Cancel));

        answerWhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        QCOMPARE(ui::MsgBox(QStringLiteral("Zapisać?"), ui::YesNoCancel | ui::DefaultButton2), int(ui::No));
    }

    void yesNoBoxIgnoresEscapeAndClose() {
        for (int flags : {int(ui::YesNo | ui::Question), int(ui::AbortRetryIgnore)}) {
            std::unique_ptr<QMessageBox> box(
                ui::WidgetPrompts::buildMessageBox(QStringLiteral("?"), flags, QString(), nullptr));
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            QTest::keyClick(box.get(), Qt::Key_Escape);
            QVERIFY(box->isVisible());
            box->close();
            QVERIFY(box->isVisible());
            QVERIFY(box->clickedButton() == nullptr);
            box->buttons().first()->click();
            QVERIFY(!box->isVisible());
            QCOMPARE(ui::WidgetPrompts::resultOf(box->clickedButton()),
                     flags == ui::AbortRetryIgnore ? int(ui::Abort) : int(ui::Yes));
        }
    }

    void inputBoxAnswers() {
        answerWhenShown<QInputDialog>([](QInputDialog* d) {
            QCOMPARE(d->labelText(), QStringLiteral("Podaj nazwę sygnalizatora:"));
            QCOMPARE(d->textValue(), QStringLiteral("S-1"));
            d->setTextValue(QStringLiteral("S-2"));
            d->accept();
        });
        DialogGuard guard;
        ui::InputRequest request;
        request.prompt = QStringLiteral("Podaj nazwę sygnalizatora:");
        request.defaultText = QStringLiteral("S-1");
        QCOMPARE(prompts.input(request), std::optional<QString>(QStringLiteral("S-2")));

        answerWhenShown<QInputDialog>([](QInputDialog* d) { d->reject(); });
        QCOMPARE(prompts.input(request), std::optional<QString>());

        answerWhenShown<QInputDialog>([](QInputDialog* d) {
            d->setTextValue(QString());
            d->accept();
        });
        std::optional<QString> empty = prompts.input(request);
        QVERIFY(empty.has_value());
        QVERIFY(empty->isEmpty());

        answerWhenShown<QInputDialog>([](QInputDialog* d) { d->reject(); });
        QCOMPARE(ui::InputBox(QStringLiteral("Numer:")), QString());  // Cancel gives an empty text
    }

    void filterFormTranslated() {
        QCOMPARE(ui::WidgetPrompts::nameFiltersOf(QStringLiteral("prk (*.prk)|*.prk")),
                 QStringList{QStringLiteral("prk (*.prk)")});
        QCOMPARE(ui::WidgetPrompts::nameFiltersOf(
                     QStringLiteral("Skoroszyt (*.xlsx)|*.xlsx|Wszystkie pliki (*.*)|*.*")),
                 (QStringList{QStringLiteral("Skoroszyt (*.xlsx)"), QStringLiteral("Wszystkie pliki (*)")}));
        QCOMPARE(ui::WidgetPrompts::nameFiltersOf(QStringLiteral("Rysunki|*.dwg;*.dxf")),
                 QStringList{QStringLiteral("Rysunki (*.dwg *.dxf)")});
        QCOMPARE(ui::WidgetPrompts::nameFiltersOf(QString()), QStringList());
    }

    void fileDialogSetUp() {
        QTemporaryDir dir;
        ui::FileRequest save;
        save.kind = ui::FileRequest::Save;
        save.title = QStringLiteral("Zapisz skoroszyt");
        save.filter = QStringLiteral("Tekst (*.txt)|*.txt|Skoroszyt (*.xlsx)|*.xlsx");
        save.filterIndex = 2;
        save.initialFolder = dir.path();
        std::unique_ptr<QFileDialog> d(ui::WidgetPrompts::buildFileDialog(save, nullptr));
        QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(d->selectedNameFilter(), QStringLiteral("Skoroszyt (*.xlsx)"));
        QCOMPARE(d->defaultSuffix(), QStringLiteral("xlsx"));
        QCOMPARE(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        QVERIFY(!d->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(d->windowTitle(), QStringLiteral("Zapisz skoroszyt"));

        ui::FileRequest open;
        open.filter = QStringLiteral("prk (*.prk)|*.prk");
        std::unique_ptr<QFileDialog> o(ui::WidgetPrompts::buildFileDialog(open, nullptr));
        QCOMPARE(o->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(o->fileMode(), QFileDialog::ExistingFile);
    }

    void fileAndFolderAnsweredByTimer() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("projekt.prk"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        answerWhenShown<QFileDialog>([&dir](QFileDialog* d) {
            // Typed into the name box, as a person would; selectFile leaves a focused box alone.
            d->setDirectory(dir.path());
            auto* nameBox = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(nameBox);
            nameBox->setText(QStringLiteral("projekt.prk"));
            static_cast<QDialog*>(d)->accept();  // QFileDialog's own accept checks the file exists
        });
        DialogGuard guard;
        ui::FileRequest open;
        open.filter = QStringLiteral("prk (*.prk)|*.prk");
        open.initialFolder = dir.path();
        QCOMPARE(prompts.file(open), std::optional<QString>(path));

        answerWhenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
        QCOMPARE(prompts.file(open), std::optional<QString>());

        answerWhenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
        QCOMPARE(prompts.folder(QStringLiteral("Wybierz folder"), dir.path()), std::optional<QString>());
    }
};

QTEST_MAIN(WidgetPromptsTest)
#include "WidgetPromptsTest.moc"
