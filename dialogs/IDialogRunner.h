#pragma once

#include <QString>

class QDialog;

// Every modal interaction of a command goes through here: the program runs the real dialog or
// box, GUI tests answer from a script.
class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // Runs a dialog modally: 1 for OK, 2 for cancel.
    virtual int run(QDialog& dialog) = 0;
    // A question with Yes and No: true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A notice with OK.
    virtual void notify(const QString& text) = 0;
};
