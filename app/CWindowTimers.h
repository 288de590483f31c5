#pragma once

#include "app/CMailboxCycle.h"
#include "resources/WindowIds.h"

#include <QObject>

#include <functional>
#include <utility>

// The main window's two timers of the mailbox cycle, keep-alive (TimerId::KeepAlive) and busy
// retry (TimerId::BusyRetry), and the commands in progress. A command cannot start inside
// another one's network wait, and a tick that arrives meanwhile (the wait hook lets timers run)
// is deferred until the command is over. The progress window's own tick (TimerId::ProgressTick)
// stays with that window.
class CWindowTimers : public QObject {
public:
    // Marks a command in progress for as long as it lives.
    class BusyScope {
    public:
        explicit BusyScope(CWindowTimers& timers);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CWindowTimers& timers_;
    };

    // The cycle must outlive the timers.
    explicit CWindowTimers(CMailboxCycle& cycle);

    void start(TimerId id, int periodMs);
    // Also drops a tick of this timer that waits for a command to end.
    void stop(TimerId id);
    bool isRunning(TimerId id) const;
    // A command is in progress.
    bool isBusy() const { return busy_ > 0; }
    // Runs each time the last command in progress has ended.
    void setOnIdle(std::function<void()> onIdle) { onIdle_ = std::move(onIdle); }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void runPendingTicks();
    int& qtIdOf(TimerId id);

    CMailboxCycle& cycle_;
    // Qt's ids of the running timers (0 when stopped).
    int keepAliveTimerId_ = 0;
    int busyRetryTimerId_ = 0;
    int busy_ = 0;
    std::function<void()> onIdle_;
    bool pendingKeepAlive_ = false;
    bool pendingRetry_ = false;
};
