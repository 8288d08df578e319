// frmKoordynacja, the coordination projects window: a new project is created as an empty ".prk"
// file in a chosen folder, an existing one is read into the coordination table; and
// frmWybierzKatalog, the folder (and project name) chooser it opens.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QToolBar;

namespace phaseplanner {

class FolderChooserDialog : public QDialog {
    Q_OBJECT
public:
    explicit FolderChooserDialog(QWidget* parent = nullptr);

    // Set by the caller before showing, read back after it closed.
    QString Folder;
    QString Title;
    bool FileMode = false;
    QString ProjectFile;

    // Load: fills the box from the fields (call before exec()).
    void Form_Load();
    void cmdKatalogSekcji_Click();
    void cmdOk_Click();
    QLineEdit* folderBox() const { return tbFolder; }

protected:
    void done(int result) override;

private:
    QString initialFolder_;  // the folder a bare project name is created in
    QLineEdit* tbFolder = nullptr;
    QLabel* labDir = nullptr;
    QPushButton* cmdKatalogSekcji = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdAnuluj = nullptr;
};

// The folder picker: the chosen folder, "" when cancelled.
QString BrowseForFolder(QWidget* owner, const QString& title, const QString& initialFolder);

class CoordinationWindow : public QDialog {
    Q_OBJECT
public:
    explicit CoordinationWindow(QWidget* parent = nullptr);
    ~CoordinationWindow() override;

    void mnuProjektNowy_Click();
    void mnuProjektOtworz_Click();
    // Reads the file into CoordinationTable and cmbCzasCyklu; on a fault the message is shown and
    // the table, the list and the shown project stay as they were. True when read.
    bool LoadCoordinationProject(const QString& path);
    void UpdateButtons();

    QLabel* projectLabel() const { return lblProjekt; }
    QComboBox* cycleTimes() const { return cmbCzasCyklu; }
    QPlainTextEdit* trace() const { return txtDebug; }

protected:
    void done(int result) override;

private:
    QLabel* lblProjekt = nullptr;
    QComboBox* cmbCzasCyklu = nullptr;
    QPushButton* cmdKoord = nullptr;
    QPushButton* cmdProg = nullptr;
    QPushButton* cmdCreate = nullptr;
    QTableWidget* grdKoord = nullptr;
    QPlainTextEdit* txtDebug = nullptr;
    QToolBar* tlbPrzyciski = nullptr;
};

// The last project folder ("DirProjekt" of the settings table).
QString ProjectFolderSetting();
void SetProjectFolderSetting(const QString& folder);

}  // namespace phaseplanner
