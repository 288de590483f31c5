#include "app/CWindowTimers.h"

#include <QTimer>
#include <QTimerEvent>

#include <utility>

CWindowTimers::BusyScope::BusyScope(CWindowTimers& timers) : timers_(timers) {
    ++timers_.busy_;
}

CWindowTimers::BusyScope::~BusyScope() {
    if (--timers_.busy_ != 0)
        return;
    if (timers_.pendingKeepAlive_ || timers_.pendingRetry_)
        QTimer::singleShot(0, &timers_, [t = &timers_] { t->runPendingTicks(); });
    if (timers_.onIdle_)
        timers_.onIdle_();
}

CWindowTimers::CWindowTimers(CMailboxCycle& cycle) : cycle_(cycle) {}

int& CWindowTimers::qtIdOf(TimerId id) {
    return id == TimerId::KeepAlive ? keepAliveTimerId_ : busyRetryTimerId_;
}

void CWindowTimers::start(TimerId id, int periodMs) {
    stop(id);
    qtIdOf(id) = startTimer(periodMs);
}

void CWindowTimers::stop(TimerId id) {
    int& qtId = qtIdOf(id);
    if (qtId)
        killTimer(qtId);
    qtId = 0;
    if (id == TimerId::BusyRetry)
        pendingRetry_ = false;
    else
        pendingKeepAlive_ = false;
}

bool CWindowTimers::isRunning(TimerId id) const {
    return (id == TimerId::KeepAlive ? keepAliveTimerId_ : busyRetryTimerId_) != 0;
}

void CWindowTimers::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    const bool keepAlive = id == keepAliveTimerId_ && id != 0;
    const bool retry = id == busyRetryTimerId_ && id != 0;
    if (!keepAlive && !retry) {
        QObject::timerEvent(event);
        return;
    }
    if (retry)
        stop(TimerId::BusyRetry); // one-shot
    if (isBusy()) {
        (keepAlive ? pendingKeepAlive_ : pendingRetry_) = true;
        return;
    }
    BusyScope busy(*this);
    keepAlive ? cycle_.onKeepAliveTick() : cycle_.onBusyRetryTick();
}

void CWindowTimers::runPendingTicks() {
    if (isBusy())
        return;
    BusyScope busy(*this);
    if (std::exchange(pendingRetry_, false))
        cycle_.onBusyRetryTick();
    if (std::exchange(pendingKeepAlive_, false) && cycle_.isConnected())
        cycle_.onKeepAliveTick();
}
