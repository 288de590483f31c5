#include "dialogs/CLayoutFit.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QRect>
#include <QToolBar>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Controls placed by hand; bars size themselves, hidden controls wait for someone to show them.
QList<QWidget*> controlsOf(QWidget& container) {
    QList<QWidget*> controls;
    for (QObject* child : container.children()) {
        if (!child->isWidgetType())
            continue;
        auto* w = static_cast<QWidget*>(child);
        if (!w->isWindow() && !w->isHidden() && !qobject_cast<QToolBar*>(w) &&
            !qobject_cast<QMenuBar*>(w))
            controls << w;
    }
    return controls;
}

bool fits(const QWidget& control) {
    const QSize need = CLayoutFit::needed(control);
    return need.width() <= control.width() && need.height() <= control.height();
}

// The control's rectangle grown to what it needs: sideways away from a label's alignment, both
// ways for a push button, up and down alike. otherWay grows a label towards its alignment
// instead, for where the room away from it is taken (a longer label beside its field).
QRect grown(const QWidget& control, bool otherWay = false) {
    const QRect r = control.geometry();
    const QSize need = CLayoutFit::needed(control);
    const int dw = std::max(0, need.width() - r.width());
    const int dh = std::max(0, need.height() - r.height());
    Qt::Alignment align = Qt::AlignLeft;
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        align = label->alignment();
    else if (qobject_cast<const QAbstractButton*>(&control) &&
             !qobject_cast<const QCheckBox*>(&control) &&
             !qobject_cast<const QRadioButton*>(&control))
        align = Qt::AlignHCenter;
    int left = r.left();
    if (align & Qt::AlignHCenter)
        left -= dw / 2;
    else if (static_cast<bool>(align & Qt::AlignRight) != otherWay)
        left -= dw;
    return {left, r.top() - dh / 2, r.width() + dw, r.height() + dh};
}

// Room for control at to: inside the container, inside a group box it stands in (below the
// box's title) and off every other control.
bool roomFor(const QWidget& control, const QRect& to, const QList<QWidget*>& controls,
             const QRect& bounds) {
    if (!bounds.contains(to))
        return false;
    for (const QWidget* other : controls) {
        if (other == &control)
            continue;
        const QRect r = other->geometry();
        if (qobject_cast<const QGroupBox*>(other) && r.contains(control.geometry())) {
            if (!r.adjusted(1, other->fontMetrics().height(), -1, -1).contains(to))
                return false;
        } else if (r.intersects(to)) {
            return false;
        }
    }
    return true;
}

void growInPlace(const QWidget& container, const QList<QWidget*>& controls) {
    for (QWidget* control : controls) {
        if (fits(*control))
            continue;
        const bool label = qobject_cast<QLabel*>(control) != nullptr;
        for (const bool otherWay : {false, true}) {
            if (otherWay && !label)
                break;
            const QRect to = grown(*control, otherWay);
            if (roomFor(*control, to, controls, container.rect())) {
                control->setGeometry(to);
                break;
            }
        }
    }
}

// Edges are scaled rather than sizes, so that controls that touched still touch and none
// comes to cover its neighbour.
QRect scaled(const QRect& r, double sx, double sy) {
    const auto at = [](int v, double s) { return static_cast<int>(std::lround(v * s)); };
    return QRect(QPoint(at(r.left(), sx), at(r.top(), sy)),
                 QPoint(at(r.left() + r.width(), sx) - 1, at(r.top() + r.height(), sy) - 1));
}

} // namespace

QSize CLayoutFit::needed(const QWidget& control) {
    if (qobject_cast<const QAbstractScrollArea*>(&control))
        return {0, 0}; // it scrolls
    const QSize hint = control.sizeHint();
    if (qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QProgressBar*>(&control))
        return {0, hint.height()}; // the width of a field is the layout's to choose
    if (qobject_cast<const QGroupBox*>(&control))
        return {control.minimumSizeHint().width(), 0}; // its title; the rest is a frame
    if (const auto* label = qobject_cast<const QLabel*>(&control); label && label->wordWrap())
        return {0, label->heightForWidth(label->width())};
    return hint;
}

void CLayoutFit::fit(QWidget& container) {
    const QList<QWidget*> controls = controlsOf(container);
    growInPlace(container, controls);
    double sx = 1.0;
    double sy = 1.0;
    for (const QWidget* control : controls) {
        // One pixel more than needed makes up for the rounding of the scaled edges.
        const QSize need = needed(*control);
        if (need.width() > control->width())
            sx = std::max(sx, (need.width() + 1.0) / std::max(1, control->width()));
        if (need.height() > control->height())
            sy = std::max(sy, (need.height() + 1.0) / std::max(1, control->height()));
    }
    if (sx == 1.0 && sy == 1.0)
        return;
    const bool fixed = container.minimumSize() == container.maximumSize();
    const QSize size = scaled(container.rect(), sx, sy).size();
    if (fixed)
        container.setFixedSize(size);
    else
        container.resize(size);
    for (QWidget* control : controls)
        control->setGeometry(scaled(control->geometry(), sx, sy));
}
