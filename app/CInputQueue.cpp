#include "app/CInputQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace {

bool isKeyInput(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::InputMethod;
}

bool isHeldInput(const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        // Hovering moves nothing; a move with a button down is part of a drag.
        return static_cast<const QMouseEvent*>(event)->buttons() != Qt::NoButton;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// A replayed event is not one from the window system, so Qt gives no focus for it: the click
// gives it here as the press would have, to the first widget up from the one under the pointer
// that takes the focus that way.
void giveFocusFor(QWidget* widget, Qt::FocusPolicy policy) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->isEnabled() && (w->focusPolicy() & policy) == policy) {
            w->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (w->isWindow() || w->hasFocus())
            return;
    }
}

} // namespace

CInputQueue::CInputQueue(QWidget& window, std::function<bool()> busy)
    : window_(window), busy_(std::move(busy)) {
    QCoreApplication::instance()->installEventFilter(this);
}

CInputQueue::~CInputQueue() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void CInputQueue::setStopInput(QWidget* stopControl, std::function<void()> stop) {
    stopControl_ = stopControl;
    stop_ = std::move(stop);
}

bool CInputQueue::isStopInput(QObject* watched, const QEvent* event) const {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        return key == Qt::Key_Escape ||
               (key == Qt::Key_Space && stopControl_ && window_.focusWidget() == stopControl_);
    }
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    return mouse && stopControl_ && watched == stopControl_;
}

void CInputQueue::defer(std::function<void()> fn) {
    held_.push_back({nullptr, nullptr, std::move(fn)});
    if (!busy_())
        scheduleReplay();
}

void CInputQueue::commandEnded() {
    if (!held_.empty())
        scheduleReplay();
}

// While a command runs, and after it for as long as older input waits: what comes now must
// not overtake it. What a replayed event sets off itself passes.
bool CInputQueue::holding() const {
    return busy_() || (!held_.empty() && !replaying_);
}

bool CInputQueue::aimedAtWindow(QObject* watched) const {
    return watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == &window_;
}

bool CInputQueue::eventFilter(QObject* watched, QEvent* event) {
    if (!aimedAtWindow(watched) || !holding())
        return false;
    if (stop_ && busy_() && isStopInput(watched, event)) {
        // Acted on when pressed; its release goes with it.
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            stop_();
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed, the key comes as a key press, which waits here; its shortcut (a menu's
        // letter) runs when the press is delivered.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::Close && watched == &window_) {
        event->ignore();
        defer([window = QPointer<QWidget>(&window_)] {
            if (window)
                window->close();
        });
        return true;
    }
    if (!isHeldInput(event))
        return false;
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone()), {}});
    event->accept();
    return true;
}

void CInputQueue::scheduleReplay() {
    if (scheduled_)
        return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        this, [this] { replayNext(); }, Qt::QueuedConnection);
}

void CInputQueue::replayNext() {
    scheduled_ = false;
    // A command that runs now delivers the rest when it returns.
    if (held_.empty() || busy_())
        return;
    Held next = std::move(held_.front());
    held_.pop_front();
    const bool wasReplaying = std::exchange(replaying_, true);
    deliver(next);
    replaying_ = wasReplaying;
    if (!held_.empty())
        scheduleReplay();
}

void CInputQueue::deliver(Held& held) {
    if (held.run) {
        held.run();
        return;
    }
    QObject* receiver = held.receiver;
    QEvent* event = held.event.get();
    // Keys go where the focus is now: an earlier click or Tab may have moved it.
    if (isKeyInput(event->type()) && window_.focusWidget())
        receiver = window_.focusWidget();
    if (!receiver)
        return; // the control went away meanwhile
    if (event->type() == QEvent::MouseButtonPress)
        giveFocusFor(static_cast<QWidget*>(receiver), Qt::ClickFocus);
    else if (event->type() == QEvent::Wheel)
        giveFocusFor(static_cast<QWidget*>(receiver), Qt::WheelFocus);
    QCoreApplication::sendEvent(receiver, event);
}
