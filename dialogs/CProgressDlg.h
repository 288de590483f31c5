#pragma once

#include "platform/ProgressState.h"

#include <QDialog>

#include <memory>

class QProgressBar;
class QPushButton;

// "Arbetar...": the progress window of one long operation. It lives on the GUI thread next to
// the operation, which blocks in socket calls while the wait hook keeps this window ticking.
// It follows state->position on its tick, closes itself once the position reaches the total or
// the operation says it is over, and sets state->ended exactly once when it ends for whatever
// reason, state->cancelled too when the user ended it. It deletes itself when closed; the
// operation's shared_ptr keeps the state alive. It blocks no other window: input aimed at the
// main window meanwhile waits there until the operation returns.
//
// Show it with show(), never exec(): the operation goes on at once on the same thread.
class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    explicit CProgressDlg(std::shared_ptr<ProgressState> state, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // Progress windows shown and not yet ended.
    static int openCount();

    // Whether this window shows the operation behind state.
    bool shows(const ProgressState& state) const { return state_.get() == &state; }
    // The operation is over: the window closes now, and that is no cancel.
    void closeAtEnd();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void layOutFromDialogUnits();
    void placeAtCursor();
    void tick();
    void end();

    std::shared_ptr<ProgressState> state_;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    int tickTimer_ = 0; // Qt's id of the tick, TimerId::ProgressTick
    int lastShown_ = 0;
    bool counted_ = false;
    bool ended_ = false;
    bool reachedTotal_ = false;
};
