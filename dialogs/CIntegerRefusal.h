#pragma once

#include <QString>

#include <functional>
#include <utility>

class QLineEdit;
class QWidget;

// How a dialog refuses what was typed into one of its fields: a warning box titled "Maroket",
// then the focus on the field with its text selected, ready to be typed over. Integer fields are
// read by the integer rule that every dialog shares.
class CIntegerRefusal {
public:
    // Where a refusal is shown; by default the modal warning box. Tests put their own here to
    // see the text without a nested event loop.
    using WarningHook = std::function<void(const QString& text)>;

    // dialog is the warning box's parent and the window the field must be visible in.
    explicit CIntegerRefusal(QWidget* dialog) : dialog_(dialog) {}

    void setWarningHook(WarningHook hook) { warningHook_ = std::move(hook); }

    // The field's integer into value; on refusal the warning and the focus, value left as it was.
    bool readInteger(QLineEdit* edit, int& value);
    // The warning, then the focus on the field. A field the user cannot see cannot take the
    // focus: it stays where it was rather than pointing at a visible field that is not at fault.
    void refuse(QLineEdit* edit, const QString& text);

private:
    QWidget* dialog_;
    WarningHook warningHook_;
};
