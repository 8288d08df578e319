// Starts the suite's programs from cadhost's menu "Tesmar": "conflictor" and "phaseplanner" once
// per user (their start-up refuses a second copy: a second start raises the running one and names
// the drawing it works on), "hatcher" once per drawing (a second start on it raises the running
// one), "headplacer" once per head with the chosen symbol on its command line. The programs lie
// beside cadhost and attach to it themselves.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <utility>

namespace cad {
struct DocumentState;
}

namespace cadhost {

class ProgramLauncher {
public:
    // `folder` holds the programs (cadhost's own folder in the installed suite).
    explicit ProgramLauncher(QString folder) : folder_(std::move(folder)) {}
    // Who tells the process of a program attached and working on a drawing (any drawing when
    // none is given; 0: none).
    void setAttached(std::function<qint64(const QString&, const cad::DocumentState*)> attached) {
        attached_ = std::move(attached);
    }
    // Who tells the open drawing an attached process works on (nullptr: none known).
    void setWorkingOn(std::function<const cad::DocumentState*(qint64)> workingOn) {
        workingOn_ = std::move(workingOn);
    }
    // Who brings a process's windows to the front (false when it could not).
    void setRaiser(std::function<bool(qint64)> raiser) { raiser_ = std::move(raiser); }
    // How a program is started (a detached process by default; tests record instead). Returns
    // the new process id, 0 on failure.
    void setStarter(std::function<qint64(const QString&, const QStringList&)> starter) {
        starter_ = std::move(starter);
    }

    // Starts the program for the drawing, or raises the copy already running; returns a note for
    // the user (what was done, or why not).
    QString start(const QString& program, const cad::DocumentState* doc, const QStringList& arguments = {});
    QString folder() const { return folder_; }
    void setFolder(const QString& folder) { folder_ = folder; }

private:
    struct Started {
        qint64 pid = 0;
        QString drawing;  // the name of the drawing it was started on
    };
    // The running copy (on the drawing, or on any when `doc` is nullptr) and the name of the
    // drawing it was started on when it has not told yet.
    std::pair<qint64, QString> running(const QString& program, const cad::DocumentState* doc) const;
    QString raise(const QString& program, qint64 pid, const QString& where, bool onlyOne) const;

    QString folder_;
    std::function<qint64(const QString&, const cad::DocumentState*)> attached_;
    std::function<const cad::DocumentState*(qint64)> workingOn_;
    std::function<bool(qint64)> raiser_;
    std::function<qint64(const QString&, const QStringList&)> starter_;
    // Programs started from here per drawing, which may not have attached yet.
    std::map<std::pair<QString, const cad::DocumentState*>, Started> started_;
};

}  // namespace cadhost
