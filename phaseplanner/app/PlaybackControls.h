// The playback and cycle-shift controls of frmMain beside the state slider: stepping by seconds and
// by states, playing by a timer at three speeds, adding or removing seconds at the shown second and
// moving the whole program; showing a second colours the drawing.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTimer;

namespace phaseplanner {

class MainWindow;

class PlaybackControls : public QWidget {
    Q_OBJECT
public:
    PlaybackControls(MainWindow& window, QWidget* parent);
    ~PlaybackControls() override;

    // The drawing side of a shown second, and the shift controls on only while a second is shown.
    void secondShown(int second);

    // The step and play buttons are usable exactly while the slider is (a program with states).
    void followSlider(bool enabled);

    void NextState();
    void PreviousState();
    void togglePlay(bool bySecond);
    void nextSpeed();
    void tick();
    // Inserts (delta > 0) or removes (delta < 0) seconds at the shown second and redraws.
    void ShiftCycle(int delta);
    void cmdDodajSek_Click();
    void cmdOdejmijSek_Click();
    void cmdMove_Click(int index);
    // The change event of edtCzasCyklu.
    void cycleTyped(const QString& text);
    // Stops the playback and gives the streams their colours back.
    void stop();

    bool IsPlaying = false;
    bool PlayBySecond = true;
    int SpeedFactor = 1;

    QPushButton *cmdStart, *cmdSekundaLewo, *cmdStanLewo, *cmdStanPrawo, *cmdSekundaPrawo, *cmdEnd;
    QPushButton *cmdPlaySekunda, *cmdPlayStan, *cmdSpeed;
    QLineEdit* edtZmianaSek;
    QPushButton *cmdDodajSek, *cmdOdejmijSek;
    QLineEdit* edMove;
    QPushButton* cmdMove[2];
    QTimer* timerPlay;

private:
    void setValue(int v);
    MainWindow& w_;
};

}  // namespace phaseplanner
