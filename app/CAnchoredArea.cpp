#include "app/CAnchoredArea.h"

#include <QResizeEvent>

void CAnchoredArea::settle() {
    base_ = size();
    setMinimumSize(base_);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    for (Anchored& a : anchored_)
        if (a.control)
            a.base = a.control->geometry();
}

void CAnchoredArea::anchor(QWidget* control, int anchors) {
    anchored_.push_back({control, anchors, control->geometry()});
}

void CAnchoredArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (base_.isEmpty())
        return;
    const int dx = std::max(0, width() - base_.width());
    const int dy = std::max(0, height() - base_.height());
    for (const Anchored& a : anchored_) {
        if (!a.control)
            continue;
        QRect r = a.base;
        r.translate(a.anchors & MoveRight ? dx : 0, a.anchors & MoveDown ? dy : 0);
        r.setWidth(r.width() + (a.anchors & GrowWidth ? dx : 0));
        r.setHeight(r.height() + (a.anchors & GrowHeight ? dy : 0));
        a.control->setGeometry(r);
    }
}
