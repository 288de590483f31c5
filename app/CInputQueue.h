#pragma once

#include <QObject>
#include <QPointer>

#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QWidget;

// Holds the main window's input while a command runs, and delivers it in order once the command
// has returned. Socket waits keep processing every event, so that a progress window takes its
// Avbryt at once; mouse, wheel, key and context-menu input aimed at the main window (and its
// close request) is copied here instead of being handled in the middle of a command or thrown
// away. A command asked for while another runs (an accessibility action, a menu item) waits in
// the same line. Replay is one event per pass of the event loop, so that whatever a replayed
// event posts runs before the next one, as it would have when typed.
class CInputQueue : public QObject {
public:
    // busy says whether a command runs now. The queue filters the application's events for as
    // long as it lives.
    CInputQueue(QWidget& window, std::function<bool()> busy);
    ~CInputQueue() override;

    // Escape, and a click on stopControl or Space on it, while a command runs: stop is called
    // at once and the input is not held, so that it neither waits for the command it means to
    // end nor acts after it (a held Escape would close the window).
    void setStopInput(QWidget* stopControl, std::function<void()> stop);
    // Runs fn once no command runs and everything held before it has been delivered.
    void defer(std::function<void()> fn);
    // A command has returned: what was held is delivered from the next pass of the event loop.
    void commandEnded();
    std::size_t heldCount() const { return held_.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
        std::function<void()> run;
    };
    bool holding() const;
    bool aimedAtWindow(QObject* watched) const;
    bool isStopInput(QObject* watched, const QEvent* event) const;
    void scheduleReplay();
    void replayNext();
    void deliver(Held& held);

    QWidget& window_;
    std::function<bool()> busy_;
    QPointer<QWidget> stopControl_;
    std::function<void()> stop_;
    std::deque<Held> held_;
    bool replaying_ = false;
    bool scheduled_ = false;
};
