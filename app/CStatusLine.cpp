#include "app/CStatusLine.h"

#include <QAccessible>
#include <QAccessibleWidget>

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
    setAccessibleDescription(QStringLiteral("Status"));
}

void CStatusLine::setStatus(const QString& text) {
    // A new text announces itself: the label's name follows it.
    if (text != this->text()) {
        setText(text);
        return;
    }
    // The same text once more is news as well ("0 brev markerade." after another "Inget").
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
