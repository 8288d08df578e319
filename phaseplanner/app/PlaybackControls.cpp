// Playback, stepping and cycle shifting of frmMain.
#include "phaseplanner/app/PlaybackControls.h"

#include "automation/CadConnection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/app/CadReconnect.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/CycleParameters.h"
#include "phaseplanner/editor/CycleShift.h"
#include "platform/ui/core/Prompt.h"
#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>

namespace phaseplanner {

namespace {
QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(common::Tlumacz(tip));
    b->setFixedWidth(32);
    return b;
}
QLineEdit* smallBox(QWidget* parent, const char* name, const QString& tip) {
    auto* e = new QLineEdit(QStringLiteral("1"), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setToolTip(common::Tlumacz(tip));
    e->setFixedWidth(36);
    return e;
}
// The pictures "PlayStan", "Play" and "Stop" of the play buttons; the button keeps the name shown.
void setPicture(QPushButton* b, const char* name) {
    const QString n = QString::fromLatin1(name);
    const QStyle::StandardPixmap pixmap = n == QLatin1String("Stop")   ? QStyle::SP_MediaStop
                                          : n == QLatin1String("Play") ? QStyle::SP_MediaPlay
                                                                       : QStyle::SP_MediaSeekForward;
    b->setIcon(b->style()->standardIcon(pixmap));
    b->setProperty("picture", n);
}
}  // namespace

PlaybackControls::PlaybackControls(MainWindow& window, QWidget* parent) : QWidget(parent), w_(window) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    cmdStart = button(this, "cmdStart", QStringLiteral("|◀"), QStringLiteral("Początek"));
    cmdStanLewo = button(this, "cmdStanLewo", QStringLiteral("◀◀"), QStringLiteral("Poprzedni stan"));
    cmdSekundaLewo =
        button(this, "cmdSekundaLewo", QStringLiteral("◀"), QStringLiteral("Poprzednia sekunda"));
    cmdSekundaPrawo =
        button(this, "cmdSekundaPrawo", QStringLiteral("▶"), QStringLiteral("Następna sekunda"));
    cmdStanPrawo = button(this, "cmdStanPrawo", QStringLiteral("▶▶"), QStringLiteral("Następny stan"));
    cmdEnd = button(this, "cmdEnd", QStringLiteral("▶|"), QStringLiteral("Koniec"));
    cmdPlaySekunda = button(this, "cmdPlaySekunda", QString(), QStringLiteral("Odtwarzaj sekundami"));
    setPicture(cmdPlaySekunda, "Play");
    cmdPlayStan = button(this, "cmdPlayStan", QString(), QStringLiteral("Odtwarzaj stanami"));
    setPicture(cmdPlayStan, "PlayStan");
    cmdSpeed = button(this, "cmdSpeed", QStringLiteral("x1"), QStringLiteral("Prędkość"));
    for (QPushButton* b : {cmdStart, cmdStanLewo, cmdSekundaLewo, cmdSekundaPrawo, cmdStanPrawo, cmdEnd,
                           cmdPlaySekunda, cmdPlayStan, cmdSpeed})
        row->addWidget(b);
    row->addSpacing(12);
    // The cycle frame: seconds added or removed at the shown second.
    auto* frame2 = new QGroupBox(common::Tlumacz(QStringLiteral("sek. -/+")), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* seconds = new QHBoxLayout(frame2);
    seconds->setContentsMargins(4, 2, 4, 2);
    edtZmianaSek = smallBox(frame2, "edtZmianaSek", QStringLiteral("wielkość zmiany"));
    cmdDodajSek = button(frame2, "cmdDodajSek", QStringLiteral("+"), QStringLiteral("Wydłuż cykl"));
    cmdOdejmijSek = button(frame2, "cmdOdejmijSek", QStringLiteral("-"), QStringLiteral("Skróć cykl"));
    seconds->addWidget(edtZmianaSek);
    seconds->addWidget(cmdDodajSek);
    seconds->addWidget(cmdOdejmijSek);
    row->addWidget(frame2);
    row->addSpacing(12);
    auto* frMove = new QLabel(common::Tlumacz(QStringLiteral("Przewiń program o:")), this);
    frMove->setObjectName(QStringLiteral("frMove"));
    row->addWidget(frMove);
    cmdMove[0] = button(this, "cmdMove0", QStringLiteral("◀"), QStringLiteral("Wcześniej"));
    edMove = smallBox(this, "edMove", QStringLiteral("sekundy"));
    cmdMove[1] = button(this, "cmdMove1", QStringLiteral("▶"), QStringLiteral("Później"));
    row->addWidget(cmdMove[0]);
    row->addWidget(edMove);
    row->addWidget(new QLabel(common::Tlumacz(QStringLiteral("sek.")), this));
    row->addWidget(cmdMove[1]);
    row->addStretch();
    timerPlay = new QTimer(this);
    timerPlay->setObjectName(QStringLiteral("timerPlay"));
    timerPlay->setInterval(1000);

    QSlider* s = w_.stateSlider();
    connect(cmdStart, &QPushButton::clicked, this, [this, s] {
        if (s->value() > s->minimum()) setValue(s->minimum());
    });
    connect(cmdEnd, &QPushButton::clicked, this, [this, s] {
        if (s->value() < s->maximum()) setValue(s->maximum());
    });
    connect(cmdSekundaLewo, &QPushButton::clicked, this, [this, s] {
        if (s->value() > s->minimum()) setValue(s->value() - 1);
    });
    connect(cmdSekundaPrawo, &QPushButton::clicked, this, [this, s] {
        if (s->value() < s->maximum()) setValue(s->value() + 1);
    });
    connect(cmdStanLewo, &QPushButton::clicked, this, &PlaybackControls::PreviousState);
    connect(cmdStanPrawo, &QPushButton::clicked, this, &PlaybackControls::NextState);
    connect(cmdPlaySekunda, &QPushButton::clicked, this, [this] { togglePlay(true); });
    connect(cmdPlayStan, &QPushButton::clicked, this, [this] { togglePlay(false); });
    connect(cmdSpeed, &QPushButton::clicked, this, &PlaybackControls::nextSpeed);
    connect(timerPlay, &QTimer::timeout, this, &PlaybackControls::tick);
    // The cycle controls redraw the program in the drawing: guarded as the menu commands are.
    connect(cmdDodajSek, &QPushButton::clicked, this,
            [this] { RunGuarded(w_.caption(), [this] { cmdDodajSek_Click(); }); });
    connect(cmdOdejmijSek, &QPushButton::clicked, this,
            [this] { RunGuarded(w_.caption(), [this] { cmdOdejmijSek_Click(); }); });
    connect(cmdMove[0], &QPushButton::clicked, this, [this] { RunGuarded(w_.caption(), [this] { cmdMove_Click(0); }); });
    connect(cmdMove[1], &QPushButton::clicked, this, [this] { RunGuarded(w_.caption(), [this] { cmdMove_Click(1); }); });
    // A typed cycle: only the shown ends and the states follow (a write by the program is no edit).
    connect(w_.cycleBox(), &QLineEdit::textEdited, this, &PlaybackControls::cycleTyped);
    followSlider(s->isEnabled());
    secondShown(-1);
}

void PlaybackControls::cycleTyped(const QString& text) {
    if (!w_.HasGroupRows || w_.grid()->Rows() < 2) return;
    CycleLength = common::ParseInteger(text);
    if (!IsCycleLengthValid(CycleLength)) return;
    for (int row = 1; row < w_.grid()->Rows(); ++row) w_.FillGroupRow(row, true);
    InvalidateShownState();
    w_.ComputeProgramStates(false);
}

PlaybackControls::~PlaybackControls() {
    try {
        ResetStreamColours(true);  // on exit no stream stays green or red
    } catch (const cad::Error&) {
        // At shut-down the CAD may be gone already, with the colours it showed; one that refuses
        // leaves a stream coloured in the drawing, where the user sees it.
    }
}

void PlaybackControls::setValue(int v) {
    QSlider* s = w_.stateSlider();
    if (s->value() == v) return;
    s->setValue(v);  // its change shows the second
}

void PlaybackControls::secondShown(int second) {
    int st = -1;
    try {
        st = ShowSecondInDrawing(second, w_.States, CycleLength);
    } catch (const std::exception& e) {
        stop();
        // A lost CAD host is offered a new connection; any other failure is shown as it is.
        if (CadConnectionAnswers())
            ui::MsgBox(QString::fromUtf8(e.what()), ui::Critical, w_.caption());
        else
            ReconnectIfLost(w_.caption());
    }
    const bool on = st >= 0;
    edtZmianaSek->setEnabled(on);
    cmdDodajSek->setEnabled(on);
    cmdOdejmijSek->setEnabled(on);
}

void PlaybackControls::followSlider(bool enabled) {
    if (!enabled) stop();
    for (QPushButton* b : {cmdStart, cmdEnd, cmdStanLewo, cmdStanPrawo, cmdSekundaLewo, cmdSekundaPrawo,
                           cmdPlayStan, cmdPlaySekunda, cmdSpeed})
        b->setEnabled(enabled);
}

void PlaybackControls::NextState() {
    QSlider* s = w_.stateSlider();
    const int v = s->value();
    const ProgramStates& st = w_.States;
    if (v >= s->maximum() || st.LastState < 0) return;
    const int f = v < 0 ? -1 : StateAtSecond(st, v, CycleLength);
    if (f == st.LastState) {
        setValue(s->maximum());
        return;
    }
    const int n = f + 1;
    const int start = st.StateStarts[std::size_t(n)];
    setValue(start - 1 != v ? start - 1 : start);
}

void PlaybackControls::PreviousState() {
    QSlider* s = w_.stateSlider();
    const int v = s->value();
    const ProgramStates& st = w_.States;
    if (v <= s->minimum() || st.LastState < 0) return;
    const int f = StateAtSecond(st, v, CycleLength);
    if (v == 0 || f < 0)
        setValue(s->minimum());
    else if (st.StateStarts[std::size_t(f)] >= v)
        setValue(v - 1);
    else
        setValue(st.StateStarts[std::size_t(f)]);
}

void PlaybackControls::togglePlay(bool bySecond) {
    PlayBySecond = bySecond;
    // Nothing to play: the timer never runs without states, and the buttons never show Stop then.
    IsPlaying = !IsPlaying && w_.States.LastState >= 0;
    setPicture(cmdPlayStan, IsPlaying ? "Stop" : "PlayStan");
    setPicture(cmdPlaySekunda, IsPlaying ? "Stop" : "Play");
    if (IsPlaying)
        timerPlay->start();
    else
        timerPlay->stop();
    QApplication::processEvents();
}

void PlaybackControls::nextSpeed() {
    SpeedFactor = SpeedFactor != 3 ? SpeedFactor + 1 : 1;
    cmdSpeed->setText(QStringLiteral("x") + QString::number(SpeedFactor));
    timerPlay->setInterval(int(1000.0 / SpeedFactor + 0.5));
}

void PlaybackControls::tick() {
    QSlider* s = w_.stateSlider();
    if (w_.States.LastState < 0) {
        stop();
        return;
    }
    if (s->value() == s->maximum())
        setValue(0);
    else if (PlayBySecond)
        setValue(s->value() + 1);
    else
        NextState();
}

void PlaybackControls::stop() {
    if (IsPlaying) togglePlay(PlayBySecond);
    timerPlay->stop();
    IsPlaying = false;
}

void PlaybackControls::cmdDodajSek_Click() {
    const int d = common::ParseInteger(edtZmianaSek->text());
    if (CycleLength + d > MaxCycleLength) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nieprawidłowa wartość długości cyklu!")) +
                       QLatin1Char('\n') +
                       common::Tlumacz(QStringLiteral("Maksymalna długość cyklu wynosi: ")) +
                       QString::number(MaxCycleLength) + QStringLiteral(" [s]"),
                   ui::Critical, w_.caption());
        return;
    }
    if (d > 0) ShiftCycle(d);
}

void PlaybackControls::cmdOdejmijSek_Click() {
    const int d = common::ParseInteger(edtZmianaSek->text());
    if (d <= 0) return;
    // The cycle never goes below its minimum: a removal that would is refused, not shortened.
    if (ClampRemoval(CycleLength, d) < d) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nieprawidłowa wartość długości cyklu!")) +
                       QLatin1Char('\n') +
                       common::Tlumacz(QStringLiteral("Minimalna długość cyklu wynosi: ")) +
                       QString::number(MinCycleLength) + QStringLiteral(" [s]"),
                   ui::Critical, w_.caption());
        return;
    }
    ShiftCycle(-d);
}

void PlaybackControls::ShiftCycle(int delta) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CycleLength = ShiftGreens(GroupTable, CycleLength, w_.CurrentSecond, delta);
    w_.FillGroupGrid();
    {
        const QSignalBlocker block(w_.cycleBox());
        w_.cycleBox()->setText(QString::number(CycleLength));
    }
    // The shown colours belong to the old program: the next second shown recolours.
    InvalidateShownState();
    w_.ComputeProgramStates(true);
    QApplication::restoreOverrideCursor();
    if (automation::CheckDocumentOpen(false) && ProgramTableOrigin.Known) DrawProgram(true);
}

void PlaybackControls::cmdMove_Click(int index) {
    int s = common::ParseInteger(edMove->text());
    if (s == 0) {
        edMove->setText(QStringLiteral("1"));
        return;
    }
    if (index == 0) s = -s;
    if (!w_.HasGroupRows) return;
    MoveGreens(GroupTable, CycleLength, s);
    w_.FillGroupGrid();
    InvalidateShownState();
    w_.ComputeProgramStates(true);
}

}  // namespace phaseplanner
