// The headless main window, the intersection list and its click.
#include "phaseplanner/editor/ProgramWindow.h"

#include "common/TextHelpers.h"
#include "phaseplanner/editor/GroupEditing.h"
#include "platform/ui/core/Prompt.h"

namespace phaseplanner {

QString IntersectionNumber;

namespace {
ProgramWindow& headless() {
    static ProgramWindow w;
    return w;
}
ProgramWindow* installed = nullptr;
}  // namespace

ProgramWindow& MainProgramWindow() {
    return installed ? *installed : headless();
}

ProgramWindow* SetProgramWindow(ProgramWindow* window) {
    ProgramWindow* previous = installed;
    installed = window;
    return previous;
}

int ProgramWindow::addIntersection(const QString& number) {
    int index = 0;
    while (index < intersectionCount() && intersectionText(index).compare(number, Qt::CaseInsensitive) <= 0)
        ++index;
    insertIntersection(index, number);
    return index;
}

void ProgramWindow::selectIntersection(int index) {
    Selected = index >= 0 && index < intersectionCount() ? index : -1;
    cmbNo_Click();
}

void cmbNo_Click() {
    ProgramWindow& w = MainProgramWindow();
    if (w.SuppressIntersectionClick) return;
    const int i = w.selectedIntersection();
    IntersectionNumber = i >= 0 ? w.intersectionText(i) : QString();
}

void AddIntersectionNumber(const QString& number, bool quiet) {
    if (number.isEmpty()) return;
    ProgramWindow& w = MainProgramWindow();
    const QString upper = number.toUpper();
    for (int i = 0; i < w.intersectionCount(); ++i) {
        if (w.intersectionText(i).toUpper() != upper) continue;
        if (!quiet)
            ui::MsgBox(common::Tlumacz(QStringLiteral("Istnieje już skrzyżowanie o podanym numerze.")),
                       ui::Exclamation, w.caption());
        return;
    }
    const int index = w.addIntersection(number);
    w.selectIntersection(index);
    cmbNo_Click();
}

void cmdAddNo_Click() {
    ProgramWindow& w = MainProgramWindow();
    QString answer =
        ui::InputBox(common::Tlumacz(QStringLiteral("Podaj numer skrzyżowania:")), w.caption(), QString());
    answer = answer.trimmed();
    common::ReplaceCharInText(answer, QLatin1Char(' '), QString());
    if (answer.isEmpty()) return;
    if (!IsValidNewIntersectionNumber(answer)) {
        ui::MsgBox(common::Tlumacz(
                       QStringLiteral("Numer skrzyżowania może zawierać tylko litery, cyfry i znak \"-\".")),
                   ui::Exclamation, w.caption());
        return;
    }
    AddIntersectionNumber(answer, false);
}

}  // namespace phaseplanner
