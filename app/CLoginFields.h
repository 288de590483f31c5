#pragma once

#include "app/CIspHostTable.h"
#include "app/IMailboxWindow.h"

#include <string>

class QCheckBox;
class QEvent;
class QLineEdit;
class QObject;

// The controls the login fields are bound to; the window's layout makes them.
struct LoginControls {
    QLineEdit* server = nullptr;
    QLineEdit* account = nullptr;
    QLineEdit* password = nullptr;
    QCheckBox* tele2 = nullptr;
    QLineEdit* quickFrom = nullptr;
    QLineEdit* quickText = nullptr;
    QLineEdit* quickTo = nullptr;
};

// The main window's bound fields: server, account and "Tele2", and the quick-send panel's "Från:",
// "Text:" and "Till/Domän:". Each is copied from and to its control as a whole. The password is
// no bound field: it stays in its control and is read from there, into a CSecret, only when a
// command needs it, so that no copy of it lives here. "Nollställ" clears the login and the
// recipient, "Återställ" brings back the account and password of the last connect and the
// recipient "Nollställ" cleared. Enter connects after the focus was last in the account or
// password, and tests an address after it was in the recipient.
class CLoginFields {
public:
    explicit CLoginFields(const LoginControls& controls) : controls_(controls) {}

    // The controls into the fields, and back.
    void readControls();
    void writeControls();

    // The fields as they stand, the server replaced from the host table while "Tele2" is
    // checked, shown back in their controls and kept for "Återställ".
    IMailboxWindow::LoginFields take();
    // "Nollställ": server, account, password and recipient emptied, the recipient kept for
    // "Återställ".
    void clear();
    // "Återställ": last is the login of the last connect.
    void restore(const IMailboxWindow::LoginFields& last);
    // "Tele2" locks the server field, whose host then comes from the table.
    void onTele2();
    // The focus to the server field, or the account field while "Tele2" is checked, with its
    // text selected.
    void focusLoginField();
    // Follows the focus for what Enter does.
    void noteFocus(QObject* watched, QEvent* event);
    bool enterConnects() const { return enterConnects_; }

    // The account as the controls were last read; the password as its control holds it now.
    const std::string& account() const { return account_; }
    CSecret typedPassword() const;

    void setQuickFrom(const std::string& address) { quickFrom_ = address; }
    const std::string& quickFrom() const { return quickFrom_; }
    const std::string& quickText() const { return quickText_; }
    const std::string& quickTo() const { return quickTo_; }

private:
    LoginControls controls_;
    CIspHostTable ispHostTable_;
    std::string server_, account_;
    bool tele2_ = false;
    std::string quickFrom_, quickText_, quickTo_;
    std::string savedRecipient_;
    bool enterConnects_ = true;
};
