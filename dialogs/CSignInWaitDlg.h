#pragma once

#include <QDialog>

#include <string>

class QLabel;

// "Logga in": stands while the user signs in with a provider in the system browser, and says
// where to look. Its "Avbryt" (also Escape, Enter and the close box) ends the wait; the sign-in
// that waits watches rejected(). Show it with show(): the wait runs on the same thread.
class CSignInWaitDlg : public QDialog {
    Q_OBJECT

public:
    // providerTitle as the user reads it: "Microsoft".
    explicit CSignInWaitDlg(const std::string& providerTitle, QWidget* parent = nullptr);

private:
    QLabel* text_ = nullptr;
};
