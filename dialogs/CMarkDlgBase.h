#pragma once

#include "dialogs/CIntegerRefusal.h"
#include "resources/WindowIds.h"

#include <QDialog>

#include <functional>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;
class QRect;

// What the four "Markera" dialogs share: the 186 x 60 frame titled "Markera" with its system
// menu, OK (the default button) and "Avbryt", and the integer fields' refusal. Each dialog is
// made for one use, so it opens with its initial values; its fields are taken over only by an
// OK on which every field passed.
class CMarkDlgBase : public QDialog {
    Q_OBJECT

public:
    using WarningHook = CIntegerRefusal::WarningHook;

    // Runs through DialogResult::run: 1 after an OK on which every field passed, 2 after "Avbryt",
    // Escape or the close box.

    void setWarningHook(WarningHook hook) { refusal_.setWarningHook(std::move(hook)); }

protected:
    // The dialog's id becomes its object name, as the controls' ids become theirs.
    CMarkDlgBase(ControlId dialogId, QWidget* parent);

    // Laid out from dialog units of the dialog's font.
    QLabel* addLabel(const QString& text, const QRect& units);
    // A single-line field named by its label; it scrolls and takes any text of any length.
    QLineEdit* addEdit(ControlId id, QLabel* label, const QRect& units);
    // The focus walks the fields in the order given, then OK, then "Avbryt". The first field
    // has the focus when the dialog opens.
    void setFieldOrder(std::initializer_list<QWidget*> fields);

    // The integer rule shared with the settings dialog. On refusal: the warning, then the focus
    // on the field with its text selected for typing over; value is then left as it was.
    bool readInteger(QLineEdit* edit, int& value) { return refusal_.readInteger(edit, value); }

    void showEvent(QShowEvent* event) override;
    // Runs when the dialog opens, before it is seen.
    virtual void initDialog() {}

private:
    CIntegerRefusal refusal_;
    QWidget* firstField_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
