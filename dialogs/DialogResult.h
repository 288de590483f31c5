#pragma once

#include <QDialog>

// The one way the program runs a modal dialog (CDialogRunner does, and so do the tests that
// drive a dialog themselves). run() gives 1 when the dialog ended with OK (its fields have then
// been read from the controls), 2 when it was cancelled by "Avbryt", Escape or the close box
// (nothing was read). QDialog's own codes (Accepted 1, Rejected 0) stay inside.
namespace DialogResult {

constexpr int ok = 1;
constexpr int cancel = 2;

inline int run(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? ok : cancel;
}

} // namespace DialogResult
