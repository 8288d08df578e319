// What the commands of hatcher use of its main window frmMain: the chosen intersection, the search
// layers, the hidden lock-cache lists, the status and count labels and the progress bar. The window
// implements it; tests and the headless tool use HeadlessForm.
#pragma once

#include <QString>
#include <QStringList>

namespace hatcher {

// The progress bar pbPostep.
class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual void setMaximum(int value) = 0;
    virtual int maximum() const = 0;
    virtual void setValue(int value) = 0;
    virtual int value() const = 0;
};

class HatcherForm {
public:
    virtual ~HatcherForm() = default;
    // cmbNo: the chosen intersection's text, and whether an item is chosen at all.
    virtual QString intersectionText() const = 0;
    virtual bool hasChosenIntersection() const = 0;
    // lstWarstwy: the names of the chosen layer set.
    virtual QStringList searchLayers() const = 0;
    // labStatus, labLiczba, pbPostep.
    virtual void setStatus(const QString& text) = 0;
    virtual void setCountText(const QString& text) = 0;
    virtual ProgressBar& progressBar() = 0;
    // The caption used as the title of messages.
    virtual QString caption() const = 0;
    // Hidden while the user draws in the CAD window; the message loop gets a turn.
    virtual void hideForm() {}
    virtual void showForm() {}
    virtual void processEvents() {}

    // lstLocked and lstUnlocked: layers found locked and unlocked (the lock cache).
    QStringList lockedLayers;
    QStringList unlockedLayers;
    // StatusText: the idle status text.
    QString statusText;
    // TransitionTemplatePath: the drawing that contains the phase-transition block.
    QString transitionTemplatePath;
};

// A form without widgets: values set by the caller, labels and bar kept as data.
class HeadlessForm : public HatcherForm, public ProgressBar {
public:
    QString intersectionText() const override { return intersection; }
    bool hasChosenIntersection() const override { return chosen; }
    QStringList searchLayers() const override { return layers; }
    void setStatus(const QString& text) override { status = text; }
    void setCountText(const QString& text) override { count = text; }
    ProgressBar& progressBar() override { return *this; }
    QString caption() const override { return title; }
    void setMaximum(int v) override { max = v; }
    int maximum() const override { return max; }
    void setValue(int v) override {
        val = v;
        if (v > highest) highest = v;
    }
    int value() const override { return val; }

    QString intersection;
    bool chosen = true;
    QStringList layers;
    QString status, count;
    QString title = QStringLiteral("Tesmar Schemat faz");
    int max = 100, val = 0, highest = 0;
};

}  // namespace hatcher
