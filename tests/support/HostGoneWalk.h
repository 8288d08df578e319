// Every command a user can give in a window, given with the CAD host gone: the walk finds the window's
// menu entries, toolbar buttons (and their drop-down entries) and buttons in the widget tree, gives
// each as the user does (QAction::trigger from the menu seen, a mouse click on a button), opens the
// dialogs a command opens and clicks each of their buttons in turn, one opening per button. After each
// the caller checks what the user was told. A failure that escapes a command, or crosses Qt's event
// loop, fails the walk naming the command, so a walk that passes proves the program went on.
#pragma once

#include "automation/Automation.h"
#include "platform/cad/Channel.h"
#include "platform/cad/socket/SocketChannel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace suitetest {

// The channel of a CAD host that went away: a socket that is no longer connected (its every call
// fails with the Polish "Brak połączenia z programem CAD (cadhost)"), counting the calls made on it.
class GoneHostChannel : public cad::Channel {
public:
    int calls = 0;
    cad::Variant call(cad::ObjectId o, const QString& m, cad::CallKind k, std::span<const cad::Variant> a) override {
        ++calls;
        return dead_.call(o, m, k, a);
    }
    void post(cad::ObjectId o, const QString& m, cad::CallKind k, std::span<const cad::Variant> a) override {
        ++calls;
        dead_.post(o, m, k, a);
    }
    cad::Variant create(cad::ObjectId o, const QString& m, cad::CallKind k, std::span<const cad::Variant> a) override {
        ++calls;
        return dead_.create(o, m, k, a);
    }
    void beginDeferring(cad::DeferralMode m) override { dead_.beginDeferring(m); }
    void endDeferring(bool q) override { dead_.endDeferring(q); }
    void flushDeferred() override { dead_.flushDeferred(); }

private:
    cad::SocketChannel dead_;
};

// The host goes away under the program: the connection's objects now reach the dead channel.
class HostGoneNow {
public:
    HostGoneNow() : channel_(std::make_unique<GoneHostChannel>()) {
        cad::Channel* dead = channel_.get();
        automation::CadApplication = cad::Application(dead);
        automation::CadDocument = cad::Document(dead, automation::CadDocument.id());
        automation::CadModelSpace = cad::Block(dead, automation::CadModelSpace.id());
        automation::CadState = cad::State(dead, automation::CadState.id());
    }
    HostGoneNow(const HostGoneNow&) = delete;
    HostGoneNow& operator=(const HostGoneNow&) = delete;
    int calls() const { return channel_->calls; }
    void resetCalls() { channel_->calls = 0; }
    static QString Message() { return QString::fromUtf8("Brak połączenia z programem CAD (cadhost)"); }

private:
    std::unique_ptr<GoneHostChannel> channel_;
};

// One command of the walk: what the user sees of it and how it is given.
struct Command {
    QString what;
    std::function<void()> give;
};

// A readable name of a widget or an action for the failure messages.
inline QString NameOf(const QObject* o) {
    QString text;
    if (auto* a = qobject_cast<const QAction*>(o)) text = a->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(o)) text = b->text().isEmpty() ? b->toolTip() : b->text();
    return o->objectName() + QStringLiteral(" \"") + text + QLatin1Char('"');
}

// The buttons of a window a user can click: shown and enabled push buttons, tool buttons outside
// the toolbars (those come with their actions) and check boxes.
inline std::vector<QAbstractButton*> ClickableButtons(QWidget* window) {
    std::vector<QAbstractButton*> out;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(window) || !b->isEnabled()) continue;
        if (!qobject_cast<QPushButton*>(b) && !qobject_cast<QToolButton*>(b) && !qobject_cast<QCheckBox*>(b))
            continue;
        if (qobject_cast<QToolBar*>(b->parentWidget())) continue;  // a toolbar button: walked with the toolbar
        if (b->window() != window) continue;
        if (b->objectName().startsWith(QLatin1String("qt_"))) continue;  // Qt's own (scroll arrows, extensions)
        out.push_back(b);
    }
    return out;
}

inline void ClickButton(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

// The entries of a menu and of its submenus that run something.
inline void CollectMenu(QMenu* menu, std::vector<QAction*>& out) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible()) continue;
        if (a->menu())
            CollectMenu(a->menu(), out);
        else
            out.push_back(a);
    }
}

// Every command of the main window: menu entries, toolbar buttons and their drop-down entries, buttons.
inline std::vector<Command> CommandsOf(QWidget* window) {
    std::vector<Command> out;
    std::vector<QAction*> actions;
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (QAction* a : bar->actions())
            if (a->menu() && a->isVisible()) CollectMenu(a->menu(), actions);
    for (QAction* a : actions) {
        QPointer<QAction> p(a);
        out.push_back({QStringLiteral("menu ") + NameOf(a), [p] {
                           if (p && p->isEnabled()) p->trigger();
                       }});
    }
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        if (!bar->isVisibleTo(window)) continue;
        for (QAction* a : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            if (!button || !button->isVisibleTo(window)) continue;
            QPointer<QToolButton> p(button);
            out.push_back({QStringLiteral("toolbar ") + NameOf(button), [p] {
                               if (p && p->isEnabled()) ClickButton(p);
                           }});
            std::vector<QAction*> entries;
            if (button->menu()) CollectMenu(button->menu(), entries);
            if (a->menu() && a->menu() != button->menu()) CollectMenu(a->menu(), entries);
            for (QAction* e : entries) {
                QPointer<QAction> pe(e);
                out.push_back({QStringLiteral("drop-down ") + NameOf(e), [pe] {
                                   if (pe && pe->isEnabled()) pe->trigger();
                               }});
            }
        }
    }
    for (QAbstractButton* b : ClickableButtons(window)) {
        QPointer<QAbstractButton> p(b);
        out.push_back({QStringLiteral("button ") + NameOf(b), [p] {
                           if (p && p->isEnabled() && p->isVisible()) ClickButton(p);
                       }});
    }
    return out;
}

// Gives `give` while a watcher acts on the dialogs it opens (modal, or left open when it returns): on the first one `onDialog` runs
// (it may click a button of it, which may open dialogs of its own); whatever is still open afterwards,
// and every dialog opened beyond the first, is rejected. Returns the first dialog's buttons, named, as
// they were when it showed. The watcher's tick never waits in a dialog (a timer does not fire again
// while its own tick runs): the click goes through a timer of its own.
inline QStringList GiveWatchingDialogs(const std::function<void()>& give,
                                       const std::function<void(QDialog&)>& onDialog) {
    QStringList firstButtons;
    QPointer<QDialog> first;
    enum State { NotSeen, Clicking, Clicked };
    auto state = std::make_shared<State>(NotSeen);  // the click's timer may outlive this call
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (*state == NotSeen && dialog) {
            *state = Clicking;
            first = dialog;
            for (QAbstractButton* b : ClickableButtons(dialog)) firstButtons << NameOf(b);
            QTimer::singleShot(0, dialog, [state, onDialog, dialog] {
                if (*state != Clicking) return;
                onDialog(*dialog);
                *state = Clicked;
            });
            return;
        }
        if (modal == first && *state == Clicking) return;  // its button's work is under way
        if (dialog)
            dialog->reject();
        else
            modal->close();
    });
    std::set<QWidget*> before;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) before.insert(w);
    watcher.start();
    give();
    watcher.stop();
    // A dialog the command left open without a loop of its own (shown, not executed): acted on as
    // a modal one, then closed.
    std::vector<QPointer<QDialog>> left;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible() && !before.count(w)) left.emplace_back(d);
    for (const QPointer<QDialog>& d : left) {
        if (d && *state == NotSeen) {
            *state = Clicking;
            for (QAbstractButton* b : ClickableButtons(d)) firstButtons << NameOf(b);
            try {
                onDialog(*d);
            } catch (const std::exception& e) {
                QTest::qFail(qPrintable(QStringLiteral("a button of \"") + d->windowTitle() +
                                        QStringLiteral("\": escaped: ") + QString::fromUtf8(e.what())),
                             __FILE__, __LINE__);
            }
        }
        if (d && d->isVisible()) d->reject();
    }
    *state = Clicked;  // a click not given by now is given no more
    return firstButtons;
}

// The kind a walk's tests count a given command under: "dialog button" for a dialog's button (named
// "<command>, then <button>"), otherwise the first word of its name (the menu entry, the button, ...).
inline QString KindOf(const QString& what) {
    return what.contains(QStringLiteral(", then ")) ? QStringLiteral("dialog button")
                                                    : what.section(QLatin1Char(' '), 0, 0);
}

// What a walk does around each command.
struct WalkSteps {
    std::function<void()> hostBack;  // the host answers again (and the window's state is set up)
    std::function<void()> hostGone;  // the host goes away (and what the user was told is cleared)
    std::function<void(const QString&)> check;  // after a command or a dialog's button, named
};

// The walk: each command given with the host gone; each dialog a command opens (found with the host
// there) opened once per button, the host going away while it is open, and the button clicked.
inline void WalkEveryCommand(QWidget* window, const WalkSteps& steps) {
    // A failure crossing a dialog's event loop reaches the command's guard only by chance (Qt warns,
    // and ends the program where no guard waits): each handler traps its own.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("Qt has caught an exception")));
    const QPointer<QWidget> guard(window);
    const auto reopen = [&] {
        if (guard && !guard->isVisible()) guard->show();  // a command that closed the window
    };
    // A failure escaping the command's handler (the program would end) fails the walk, named.
    const auto untrapped = [](const QString& what, const std::function<void()>& give) {
        return [what, give] {
            try {
                give();
            } catch (const std::exception& e) {
                QTest::qFail(qPrintable(what + QStringLiteral(": escaped: ") + QString::fromUtf8(e.what())),
                             __FILE__, __LINE__);
            }
        };
    };
    for (const Command& c : CommandsOf(window)) {
        if (!guard) return;
        reopen();
        steps.hostBack();
        const QStringList buttons = GiveWatchingDialogs(c.give, [](QDialog&) {});
        reopen();
        steps.hostGone();
        GiveWatchingDialogs(untrapped(c.what, c.give), [](QDialog&) {});
        steps.check(c.what);
        for (const QString& name : buttons) {
            if (!guard) return;
            reopen();
            steps.hostBack();
            GiveWatchingDialogs(untrapped(c.what, c.give), [&steps, name](QDialog& d) {
                steps.hostGone();
                for (QAbstractButton* b : ClickableButtons(&d))
                    if (NameOf(b) == name) {
                        ClickButton(b);
                        return;
                    }
            });
            steps.check(c.what + QStringLiteral(", then ") + name);
        }
    }
}

}  // namespace suitetest
