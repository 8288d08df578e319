// The CAD host's main window: the drawing view, the prompt line, the status line with the cursor
// position, the menu Plik (new, open, save, save as, close, recent files, exit), the menu Edycja
// (undo, redo, erase the selection), the menu Tesmar (the suite's programs) and the window list Okno
// of the open drawings.
#pragma once

#include "cadhost/DrawingView.h"
#include "cadhost/HostCommands.h"
#include "cadhost/HostInteraction.h"
#include "cadhost/LayerPanel.h"
#include "cadhost/ProgramLauncher.h"
#include "cadhost/ProgramWindows.h"
#include "cadhost/RepaintPolicy.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace cadhost {

class SocketServer;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // How much a change touches the view, least first (as the dispatch tables declare it).
    using Change = cad::ViewChange;

    MainWindow(cad::ObjectModel& model, HostInteraction& interaction, QWidget* parent = nullptr);
    ~MainWindow() override;

    DrawingView* view() const { return view_; }
    QLineEdit* promptInput() const { return input_; }
    LayerPanel* layerPanel() const { return layers_; }
    QString promptText() const;
    // The last note shown above the prompt (an unknown command, a refused answer).
    QString messageText() const;
    // Runs what the user typed at the prompt line, as Enter would.
    void submitText(const QString& text);

    // Menu actions, callable directly.
    void newDrawing();
    bool openFile(const QString& path);
    bool saveDrawing(cad::DocumentState* doc);
    bool saveDrawingAs(cad::DocumentState* doc);
    // Asks first when programs work on the drawing, then about unsaved changes; false when the
    // user cancels.
    bool closeDrawing(cad::DocumentState* doc, bool askAboutPrograms = true);
    bool closeAll();
    // The socket server the programs attach through: closing asks about them, their windows are
    // kept above this one, the menu Tesmar raises those already running.
    void setServer(SocketServer* server);
    ProgramLauncher& launcher() { return launcher_; }
    // Where the shipped head symbols are (overridable for tests).
    void setSymbolFolder(const QString& folder) { symbolFolder_ = folder; }
    QString symbolFolder() const { return symbolFolder_; }
    // Menu Tesmar: starts (or raises) a program on the active drawing; headplacer with a symbol.
    void startProgram(const QString& program, const QStringList& arguments = {});
    // Menu Tesmar, Headplacer: the symbol palette, then headplacer with the chosen symbol.
    void chooseSymbolAndPlaceHead();

    // Double-click: edits the value of the text or attribute clicked, as one undo step.
    void editTextAt(const cad::db::Entity* clicked, const cad::Point& at);
    // Erases the view's selection as one undo step; returns the note for the user.
    QString eraseSelection();
    // "_properties": the properties window over the view's selection; one undo step.
    QString editSelectionProperties();
    // Undoes or redoes one step of the active drawing (Ctrl+Z, Ctrl+Y).
    void undoStep();
    void redoStep();

    // Brings the window to the front (normal or maximised, as the programs ask).
    void bringToFront();
    // The window's state follows the model: open drawings, the active one, changes.
    void syncDocuments(bool paintNow = true);
    // The view follows the open drawings and the active one; the rest of the window does not.
    void followDocuments(bool paintNow);
    // A program's call was served: refresh what it may have changed.
    void afterCall(const cad::Call& call, const cad::Reply& reply);
    // The recent-files list (newest first).
    QStringList recentFiles() const;
    // Where the recent files are kept (overridable for tests).
    static QString settingsFile();

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QString Title() { return QStringLiteral("cadhost"); }
    // The steps of putting the window together.
    void buildLayout();
    void buildMenus();
    void connectView();
    // The prompt, the notes and the view follow the interaction, the commands and the programs.
    void followChanges();
    // Menu Plik, Otwórz: asks for a drawing and opens it.
    void chooseAndOpen();
    void rebuildWindowMenu();
    void rebuildRecentMenu();
    void addRecent(const QString& path);
    void submitTyped();
    void showMessage(const QString& text);
    // A command chosen from a menu or the toolbar: whatever runs is cancelled, then it starts.
    void runFromMenu(const QString& command);
    // A printable key typed anywhere in the window but a text field goes to the prompt line.
    bool typedToPrompt(QObject* watched, QEvent* event);
    // Ctrl+Z inside a command: its "Cofaj" where its prompt offers one; false when it has none.
    bool undoInCommand();
    // Space acts as Enter unless the prompt asks for free text.
    bool spaceEnters() const;
    void updatePrompt();
    // A command of the window took an input: the prompt and the view follow.
    void afterHostInput();
    // A change made in the window: painted at once.
    void scheduleRefresh(Change change = Change::Any);
    // A change a program made: painted as `RepaintPolicy` says.
    void programChanged(Change change) { programChanged(change, clock_.elapsed()); }
    void programChanged(Change change, qint64 now);
    // Paints what waits, now or when the policy says.
    void armRefresh();
    void refreshNow();
    // A program's call waits unserved (or a program is connecting).
    bool callWaiting() const;
    DrawingScene* sceneOf(cad::DocumentState* doc);
    cad::Variant call(cad::ObjectId id, const QString& member, std::initializer_list<cad::Variant> args = {});

    cad::ObjectModel& model_;
    HostInteraction& interaction_;
    SocketServer* server_ = nullptr;
    ProgramLauncher launcher_;
    ProgramWindows programWindows_;
    QString symbolFolder_;
    DrawingView* view_;
    QLabel* prompt_;
    QLabel* message_;
    LayerPanel* layers_;
    HostCommands hostCommands_;
    QStringList history_;
    int historyAt_ = 0;
    QString lastCommand_;
    QLineEdit* input_;
    QLabel* coords_;
    QLabel* snap_;
    QMenu* windowMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QTimer* refresh_;
    std::map<cad::DocumentState*, std::unique_ptr<DrawingScene>> scenes_;
    std::vector<cad::DocumentState*> known_;
    Change pending_ = Change::None;
    RepaintPolicy repaint_;
    QElapsedTimer clock_;
    bool cancelShown_ = false;  // the last cancel mark was shown already
    quint64 lastReplays_ = 0;  // the active drawing's undo and redo count when last painted
    // Undo and redo anywhere in the drawing: everything is repainted.
    bool replayedSincePaint();
    void stepBack(bool redo);
    bool busy() const;
};

}  // namespace cadhost
