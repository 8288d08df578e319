// What the editor and the program drawing need of phaseplanner's main window: its caption, the
// intersection list cmbNo with its click guard, the program type and the maximum-cycle label. The
// main window derives from it and installs itself; until then, and in tests, a headless window that
// only keeps the state stands in.
#pragma once

#include <QString>
#include <QStringList>

namespace phaseplanner {

// The current intersection's number; empty while none is chosen.
extern QString IntersectionNumber;

class ProgramWindow {
public:
    virtual ~ProgramWindow() = default;

    // While set, choosing an entry of cmbNo does not change the intersection (the list is being
    // rebuilt by the program itself).
    bool SuppressIntersectionClick = false;

    virtual QString caption() const { return Caption; }

    // cmbNo: entries kept in text order, letter case ignored.
    virtual void clearIntersections() {
        Intersections.clear();
        Selected = -1;
    }
    // Inserts the number at its sorted place; returns that index.
    int addIntersection(const QString& number);
    virtual int intersectionCount() const { return int(Intersections.size()); }
    virtual QString intersectionText(int index) const { return Intersections.value(index); }
    virtual int selectedIntersection() const { return Selected; }
    // Selecting runs cmbNo_Click in the real window (and here).
    virtual void selectIntersection(int index);

    // cmbTypProgramu: 0 "Zwykły", 1 "Startowy", 2 "Końcowy".
    virtual int programType() const { return ProgramType; }
    virtual void setProgramType(int index) { ProgramType = index; }
    // labTcMax.
    virtual void showMaxCycleLength(int seconds) { MaxCycleShown = seconds; }

    QString Caption = QStringLiteral("Tesmar Program");
    QStringList Intersections;
    int Selected = -1;
    int ProgramType = 0;
    int MaxCycleShown = 120;

protected:
    virtual void insertIntersection(int index, const QString& number) { Intersections.insert(index, number); }
};

// The installed window; the headless one until a window installs itself.
ProgramWindow& MainProgramWindow();
// Installs a window (not owned); nullptr puts the headless one back. Returns the previous one.
ProgramWindow* SetProgramWindow(ProgramWindow* window);

// The click of cmbNo: unless suppressed, the intersection number becomes the selected entry's text
// (empty when none is selected). It reads nothing from the drawing.
void cmbNo_Click();
// Adds the number to cmbNo and selects it; a number listed already (letter case ignored) is refused
// with a message unless quiet. An empty number does nothing.
void AddIntersectionNumber(const QString& number, bool quiet);
// The "+" button: asks for a number, removes blanks, refuses a number that is not letters, digits
// and "-", and adds it.
void cmdAddNo_Click();

}  // namespace phaseplanner
