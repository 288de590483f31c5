#include "app/CStatusLine.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>

#include <algorithm>

namespace {

class CStatusLineAccessible : public QAccessibleWidget {
public:
    explicit CStatusLineAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* statusLineInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("CStatusLine") && object && object->isWidgetType())
        return new CStatusLineAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

CStatusLine::CStatusLine(QWidget* parent) : QLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(statusLineInterface);
        return true;
    }();
    (void)installed;
    // The name is the text; what the line is, is its role and description.
    setAccessibleDescription(tr("Status"));
}

void CStatusLine::setStatus(const QString& text) {
    // A new text announces itself: the label's name follows it. The same text once more is news
    // as well ("0 brev markerade." after another "Inget"), and so is a text cut to what another
    // one was cut to.
    const bool same = text == full_;
    full_ = text;
    if (same || !showFitting()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void CStatusLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitting();
}

bool CStatusLine::showFitting() {
    // The room inside the frame, less the label's margins and an indent of about one letter.
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width() - 2 * margin() -
                     std::max(indent(), metrics.horizontalAdvance(QLatin1Char('x')));
    const QString shown = room > 0 ? metrics.elidedText(full_, Qt::ElideRight, room) : full_;
    const bool cut = shown != full_;
    setAccessibleDescription(cut ? full_ : tr("Status"));
    setToolTip(cut ? full_ : QString());
    if (shown == text())
        return false;
    setText(shown);
    return true;
}
