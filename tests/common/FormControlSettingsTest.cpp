// Persisted dialog controls on small dialogs with named controls, and the always-on-top switch.
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/ui/FormControlSettings.h"
#include "common/ui/FormWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>
#include <memory>

using namespace common;

namespace {

const QString kTitle = QStringLiteral("Tesmar Konflikty");

SettingBinding entry(const char* form, const char* control, int kind, const char* key, const char* def,
                     const char* section = "") {
    SettingBinding b;
    b.FormName = QString::fromLatin1(form);
    b.ControlName = QString::fromLatin1(control);
    b.Kind = kind;
    b.Key = QString::fromLatin1(key);
    b.Default = QString::fromLatin1(def);
    b.Section = QString::fromLatin1(section);
    return b;
}

// The bindings conflictor fills at start-up, plus a text-box array, a spin box value, a Long and a String.
void fillTable() {
    for (SettingBinding& b : SettingBindings) b = SettingBinding();
    int i = 0;
    SettingBindings[i++] =
        entry("frmKonfiguracja", "chkMatrycaOdwrocona", KindCheckBox, "MatrycaOdwrocona", "0");
    SettingBindings[i++] = entry("frmKonfSchematFaz", "cmbZestaw", KindListIndex, "cmbZestaw", "0");
    SettingBindings[i++] = entry("frmKonfSchematFaz", "optWarstwy", KindOptionArray, "optWarstwy", "0");
    SettingBindings[i++] = entry("frmMain", "", KindInteger, "kmh", "0");
    SettingBindings[i++] = entry("frmKonfiguracja", "edtWspPoczatek", KindText, "edtWspPoczatek", "1");
    SettingBindings[i++] = entry("frmKonfiguracja", "edtWspKoniec", KindText, "edtWspKoniec", "1");
    SettingBindings[i++] =
        entry("frmKonfiguracja", "edtWspPojazdPojazd", KindText, "edtWspPojazdPojazd", "1");
    SettingBindings[i++] = entry("frmKonfiguracja", "edtWspPojazdPiesi", KindText, "edtWspPojazdPiesi", "1");
    SettingBindings[i++] =
        entry("frmKonfiguracja", "chkPowiazania", KindCheckBox, "chkPowiazania", "1", "Ogolne");
    SettingBinding arrayText = entry("frmKonfiguracja", "edtOpis", KindText, "edtOpis1", "brak");
    arrayText.IsArray = true;
    arrayText.Index = 1;
    SettingBindings[i++] = arrayText;
    SettingBindings[i++] = entry("frmKonfiguracja", "spnOdstep", KindControlValue, "spnOdstep", "7");
    SettingBindings[i++] = entry("frmMain", "", KindLong, "Licznik", "40000");
    SettingBindings[i++] = entry("frmMain", "", KindString, "OstatniPlik", "Export.xml");
}

QDialog* settingsDialog() {
    auto* d = new QDialog;
    d->setObjectName(QStringLiteral("frmKonfiguracja"));
    auto* layout = new QVBoxLayout(d);
    auto add = [&](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        layout->addWidget(w);
    };
    add(new QCheckBox, "chkMatrycaOdwrocona");
    add(new QLineEdit, "edtWspPoczatek");
    add(new QLineEdit, "edtWspKoniec");
    add(new QLineEdit, "edtWspPojazdPojazd");
    add(new QLineEdit, "edtWspPojazdPiesi");
    add(new QCheckBox, "chkPowiazania");
    add(new QLineEdit, "edtOpis_0");
    add(new QLineEdit, "edtOpis_1");
    auto* spin = new QSpinBox;
    spin->setRange(0, 100);
    add(spin, "spnOdstep");
    return d;
}

QDialog* phaseSchemeDialog(int comboItems) {
    auto* d = new QDialog;
    d->setObjectName(QStringLiteral("frmKonfSchematFaz"));
    auto* layout = new QVBoxLayout(d);
    auto* combo = new QComboBox;
    combo->setObjectName(QStringLiteral("cmbZestaw"));
    for (int i = 0; i < comboItems; ++i) combo->addItem(QStringLiteral("Zestaw %1").arg(i));
    layout->addWidget(combo);
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QStringLiteral("Opcja %1").arg(i));
        option->setObjectName(QStringLiteral("optWarstwy_%1").arg(i));
        layout->addWidget(option);
    }
    return d;
}

template <class T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

class HideCounter : public QObject {
public:
    int hides = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide) ++hides;
        return false;
    }
};

}  // namespace

class FormControlSettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QWidget mainWindow;

    QString ini(const QString& section, const char* key) {
        return GetIni(IniFilePath, section, QString::fromLatin1(key), QStringLiteral("<brak>"));
    }

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(kTitle);
        mainWindow.setObjectName(QStringLiteral("frmMain"));
    }

    void init() {
        dir = std::make_unique<QTemporaryDir>();
        IniFilePath = dir->filePath(QStringLiteral("Tesmar.ini"));
        fillTable();
    }

    void noIniFileGivesDefaults() {
        LoadFormControlSettings(&mainWindow, false);
        QCOMPARE(SettingsDefaultSection, kTitle);
        QCOMPARE(SettingBindings[3].Value.toInt(), 0);  // kmh
        QCOMPARE(SettingBindings[11].Value.toInt(), 40000);
        QCOMPARE(SettingBindings[12].Value.toString(), QStringLiteral("Export.xml"));
        std::unique_ptr<QDialog> d(settingsDialog());
        LoadFormControlSettings(d.get(), true);
        QCOMPARE(child<QCheckBox>(d.get(), "chkMatrycaOdwrocona")->checkState(), Qt::Unchecked);
        for (const char* name : {"edtWspPoczatek", "edtWspKoniec", "edtWspPojazdPojazd", "edtWspPojazdPiesi"})
            QCOMPARE(child<QLineEdit>(d.get(), name)->text(), QStringLiteral("1"));
        QCOMPARE(child<QCheckBox>(d.get(), "chkPowiazania")->checkState(), Qt::Checked);
        QCOMPARE(child<QLineEdit>(d.get(), "edtOpis_1")->text(), QStringLiteral("brak"));
        QCOMPARE(child<QLineEdit>(d.get(), "edtOpis_0")->text(), QString());
        QCOMPARE(child<QSpinBox>(d.get(), "spnOdstep")->value(), 7);
        QVERIFY(!QFile::exists(IniFilePath));
    }

    void listIndexOutOfRangeSelectsFirst() {
        PutIni(IniFilePath, kTitle, QStringLiteral("cmbZestaw"), QStringLiteral("7"));
        std::unique_ptr<QDialog> d(phaseSchemeDialog(5));
        child<QComboBox>(d.get(), "cmbZestaw")->setCurrentIndex(3);
        LoadFormControlSettings(d.get(), false);
        QCOMPARE(child<QComboBox>(d.get(), "cmbZestaw")->currentIndex(), 0);
        PutIni(IniFilePath, kTitle, QStringLiteral("cmbZestaw"), QStringLiteral("-1"));
        child<QComboBox>(d.get(), "cmbZestaw")->setCurrentIndex(3);
        LoadFormControlSettings(d.get(), false);
        QCOMPARE(child<QComboBox>(d.get(), "cmbZestaw")->currentIndex(), 0);
        PutIni(IniFilePath, kTitle, QStringLiteral("cmbZestaw"), QStringLiteral("4"));
        LoadFormControlSettings(d.get(), false);
        QCOMPARE(child<QComboBox>(d.get(), "cmbZestaw")->currentIndex(), 4);
        std::unique_ptr<QDialog> empty(phaseSchemeDialog(0));
        LoadFormControlSettings(empty.get(), false);
        QCOMPARE(child<QComboBox>(empty.get(), "cmbZestaw")->currentIndex(), -1);  // left alone
    }

    void listWidgetIndex() {
        for (SettingBinding& b : SettingBindings) b = SettingBinding();
        SettingBindings[0] = entry("frmLista", "lstSkrzyz", KindListIndex, "lstSkrzyz", "0");
        QWidget w;
        w.setObjectName(QStringLiteral("frmLista"));
        auto* list = new QListWidget(&w);
        list->setObjectName(QStringLiteral("lstSkrzyz"));
        list->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        PutIni(IniFilePath, kTitle, QStringLiteral("lstSkrzyz"), QStringLiteral("2"));
        LoadFormControlSettings(&w, false);
        QCOMPARE(list->currentRow(), 2);
        list->setCurrentRow(1);
        SaveFormControlSettings(&w, false);
        QCOMPARE(ini(kTitle, "lstSkrzyz"), QStringLiteral("1"));
    }

    void optionIndexBeyondArraySetsFirst() {
        PutIni(IniFilePath, kTitle, QStringLiteral("optWarstwy"), QStringLiteral("3"));
        std::unique_ptr<QDialog> d(phaseSchemeDialog(5));
        child<QRadioButton>(d.get(), "optWarstwy_1")->setChecked(true);
        LoadFormControlSettings(d.get(), false);
        QVERIFY(child<QRadioButton>(d.get(), "optWarstwy_0")->isChecked());
        QVERIFY(!child<QRadioButton>(d.get(), "optWarstwy_1")->isChecked());
        PutIni(IniFilePath, kTitle, QStringLiteral("optWarstwy"), QStringLiteral("1"));
        LoadFormControlSettings(d.get(), false);
        QVERIFY(child<QRadioButton>(d.get(), "optWarstwy_1")->isChecked());
        QVERIFY(!child<QRadioButton>(d.get(), "optWarstwy_0")->isChecked());
    }

    void noOptionSetSavesZero() {
        PutIni(IniFilePath, kTitle, QStringLiteral("optWarstwy"), QStringLiteral("-1"));
        std::unique_ptr<QDialog> d(phaseSchemeDialog(5));
        LoadFormControlSettings(d.get(), false);
        QVERIFY(!child<QRadioButton>(d.get(), "optWarstwy_0")->isChecked());
        QVERIFY(!child<QRadioButton>(d.get(), "optWarstwy_1")->isChecked());
        SaveFormControlSettings(d.get(), false);
        QCOMPARE(ini(kTitle, "optWarstwy"), QStringLiteral("0"));
    }

    void emptyValueReadsZero() {
        PutIni(IniFilePath, kTitle, QStringLiteral("MatrycaOdwrocona"), QString());
        std::unique_ptr<QDialog> d(settingsDialog());
        child<QCheckBox>(d.get(), "chkMatrycaOdwrocona")->setChecked(true);
        LoadFormControlSettings(d.get(), false);
        QCOMPARE(SettingBindings[0].Value.toInt(), 0);
        QVERIFY(!child<QCheckBox>(d.get(), "chkMatrycaOdwrocona")->isChecked());
    }

    void sharedSectionReadAndWrittenThere() {
        PutIni(IniFilePath, QStringLiteral("Ogolne"), QStringLiteral("chkPowiazania"), QStringLiteral("0"));
        PutIni(IniFilePath, kTitle, QStringLiteral("chkPowiazania"), QStringLiteral("1"));  // not this one
        LoadFormControlSettings(&mainWindow, false);
        QCOMPARE(SettingBindings[8].Value.toInt(), 0);
        std::unique_ptr<QDialog> d(settingsDialog());
        LoadFormControlSettings(d.get(), true);
        child<QCheckBox>(d.get(), "chkPowiazania")->setChecked(true);
        SaveFormControlSettings(d.get(), true);
        SaveFormControlSettings(&mainWindow, false);
        QCOMPARE(ini(QStringLiteral("Ogolne"), "chkPowiazania"), QStringLiteral("1"));
        QCOMPARE(ini(kTitle, "MatrycaOdwrocona"), QStringLiteral("0"));
    }

    void dialogChangesReachFileOnlyAtShutDown() {
        PutIni(IniFilePath, kTitle, QStringLiteral("cmbZestaw"), QStringLiteral("2"));
        PutIni(IniFilePath, kTitle, QStringLiteral("optWarstwy"), QStringLiteral("1"));
        PutIni(IniFilePath, kTitle, QStringLiteral("OstatniPlik"), QStringLiteral("a b.xml"));
        LoadFormControlSettings(&mainWindow, false);  // start-up
        std::unique_ptr<QDialog> d(settingsDialog());
        LoadFormControlSettings(d.get(), true);  // the dialog's load
        child<QCheckBox>(d.get(), "chkMatrycaOdwrocona")->setChecked(true);
        child<QLineEdit>(d.get(), "edtWspKoniec")->setText(QStringLiteral("1,5"));
        child<QLineEdit>(d.get(), "edtOpis_1")->setText(QStringLiteral("opis"));
        child<QSpinBox>(d.get(), "spnOdstep")->setValue(42);
        SaveFormControlSettings(d.get(), true);  // OK: the table only
        QCOMPARE(SettingBindings[0].Value.toInt(), 1);
        QCOMPARE(SettingBindings[5].Value.toString(), QStringLiteral("1,5"));
        QCOMPARE(ini(kTitle, "MatrycaOdwrocona"), QStringLiteral("<brak>"));

        // A second opening of the dialog shows the table's values.
        std::unique_ptr<QDialog> again(settingsDialog());
        LoadFormControlSettings(again.get(), true);
        QVERIFY(child<QCheckBox>(again.get(), "chkMatrycaOdwrocona")->isChecked());
        QCOMPARE(child<QSpinBox>(again.get(), "spnOdstep")->value(), 42);

        SaveFormControlSettings(&mainWindow, false);  // shut-down
        QCOMPARE(ini(kTitle, "MatrycaOdwrocona"), QStringLiteral("1"));
        QCOMPARE(ini(kTitle, "edtWspKoniec"), QStringLiteral("1,5"));
        QCOMPARE(ini(kTitle, "edtWspPoczatek"), QStringLiteral("1"));
        QCOMPARE(ini(kTitle, "edtOpis1"), QStringLiteral("opis"));
        QCOMPARE(ini(kTitle, "spnOdstep"), QStringLiteral("42"));
        QCOMPARE(ini(kTitle, "kmh"), QStringLiteral("0"));
        QCOMPARE(ini(kTitle, "Licznik"), QStringLiteral("40000"));
        QCOMPARE(ini(kTitle, "OstatniPlik"), QStringLiteral("a b.xml"));
        // The entries of a window this program does not have survive unchanged.
        QCOMPARE(ini(kTitle, "cmbZestaw"), QStringLiteral("2"));
        QCOMPARE(ini(kTitle, "optWarstwy"), QStringLiteral("1"));
    }

    void savingToFileUpdatesTheTableToo() {
        // A dialog that writes its values to the file on OK, while the table keeps serving the program
        // and is written again at shut-down.
        LoadFormControlSettings(&mainWindow, false);  // start-up: cmbZestaw 0
        std::unique_ptr<QDialog> d(phaseSchemeDialog(5));
        LoadFormControlSettings(d.get(), false);
        child<QComboBox>(d.get(), "cmbZestaw")->setCurrentIndex(3);
        child<QRadioButton>(d.get(), "optWarstwy_1")->setChecked(true);
        SaveFormControlSettings(d.get(), false);  // OK
        QCOMPARE(ini(kTitle, "cmbZestaw"), QStringLiteral("3"));
        QCOMPARE(SettingBindings[1].Value.toInt(), 3);  // the program reads the chosen set from here
        QCOMPARE(SettingBindings[2].Value.toInt(), 1);
        SaveFormControlSettings(&mainWindow, false);  // shut-down must not put the old values back
        QCOMPARE(ini(kTitle, "cmbZestaw"), QStringLiteral("3"));
        QCOMPARE(ini(kTitle, "optWarstwy"), QStringLiteral("1"));
    }

    void windowPositionsBeyondIntegerReadZero() {
        PutIni(IniFilePath, kTitle, QStringLiteral("Okno_Glowne_Lewy"), QStringLiteral("40000"));
        PutIni(IniFilePath, kTitle, QStringLiteral("Okno_Glowne_Gora"), QStringLiteral("-300"));
        QCOMPARE(ParseInteger(
                     GetIni(IniFilePath, kTitle, QStringLiteral("Okno_Glowne_Lewy"), QStringLiteral("1000"))),
                 0);
        QCOMPARE(ParseInteger(
                     GetIni(IniFilePath, kTitle, QStringLiteral("Okno_Glowne_Gora"), QStringLiteral("1000"))),
                 -300);
        QCOMPARE(ParseInteger(GetIni(IniFilePath, kTitle, QStringLiteral("Okno_Konfiguracja_Gora"),
                                     QStringLiteral("1000"))),
                 1000);
    }

    void windowPositionInTwips() {
        QWidget w;
        LoadFormPosition(&w, QStringLiteral("Okno_Glowne"));
        QCOMPARE(w.pos(), QPoint(1000 / 15, 1000 / 15));  // nothing stored: "1000"
        LoadFormPosition(&w, QStringLiteral("Parametry"), QString(), QStringLiteral("100"));
        QCOMPARE(w.pos(), QPoint(100 / 15, 100 / 15));  // a dialog whose default is "100"
        PutIni(IniFilePath, kTitle, QStringLiteral("Okno_Glowne_Lewy"), QStringLiteral("40000"));
        PutIni(IniFilePath, kTitle, QStringLiteral("Okno_Glowne_Gora"), QStringLiteral("-300"));
        LoadFormPosition(&w, QStringLiteral("Okno_Glowne"));
        QCOMPARE(w.pos(), QPoint(0, -20));
        w.move(200, 100);
        SaveFormPosition(&w, QStringLiteral("Okno_Glowne"));
        QCOMPARE(ini(kTitle, "Okno_Glowne_Lewy"), QStringLiteral("3000"));
        QCOMPARE(ini(kTitle, "Okno_Glowne_Gora"), QStringLiteral("1500"));
        SaveFormPosition(&w, QStringLiteral("Okno_Detektory"), QStringLiteral("OstatnioUzyte"));
        QCOMPARE(ini(QStringLiteral("OstatnioUzyte"), "Okno_Detektory_Lewy"), QStringLiteral("3000"));
    }

    void missingControlIsSkipped() {
        for (SettingBinding& b : SettingBindings) b = SettingBinding();
        SettingBindings[0] = entry("frmKonfiguracja", "chkNieMa", KindCheckBox, "chkNieMa", "1");
        SettingBindings[1] = entry("frmKonfiguracja", "edtWspPoczatek", KindText, "edtWspPoczatek", "2");
        std::unique_ptr<QDialog> d(settingsDialog());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("chkNieMa")));
        LoadFormControlSettings(d.get(), false);
        QCOMPARE(child<QLineEdit>(d.get(), "edtWspPoczatek")->text(), QStringLiteral("2"));
        QCOMPARE(SettingBindings[0].Value.toInt(), 1);
    }

    void topmostChangedOnlyWhenItChanges() {
        QWidget w;
        w.setObjectName(QStringLiteral("frmMain"));
        w.move(120, 80);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        HideCounter counter;
        w.installEventFilter(&counter);
        SetFormTopmost(&w, true);
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.isVisible());
        int hidesAfterChange = counter.hides;
        SetFormTopmost(&w, true);  // every activation calls it: no re-creation when nothing changes
        QCOMPARE(counter.hides, hidesAfterChange);
        SetFormTopmost(&w, false);
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.isVisible());
        QWidget hidden;
        SetFormTopmost(&hidden, false);
        QVERIFY(hidden.isVisible());  // it shows the window
    }

    void topmostOnActivationKeepsModalDialogOpen() {
        // Every dialog applies the setting when it is activated, while its exec() runs.
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("frmKonfiguracja"));
        bool stillVisible = false;
        bool flagSet = false;
        QTimer::singleShot(50, &dialog, [&] {
            SetFormTopmost(&dialog, true);
            QCoreApplication::processEvents();
            stillVisible = dialog.isVisible();
            flagSet = dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            QTimer::singleShot(50, &dialog, [&] { dialog.accept(); });
        });
        QTimer::singleShot(5000, &dialog, [&] { dialog.done(99); });  // never wait for a person
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(stillVisible);
        QVERIFY(flagSet);
        QVERIFY(dialog.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    }
};

QTEST_MAIN(FormControlSettingsTest)
#include "FormControlSettingsTest.moc"
