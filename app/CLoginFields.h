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

// The main window's bound fields: server, account, password and "Tele2", and the quick-send
// panel's "Från:", "Text:" and "Till/Domän:". Each field is copied from and to its control as a
// whole; "Nollställ" clears the login and the recipient, "Återställ" brings back the account and
// password of the last connect and the recipient "Nollställ" cleared. Enter connects after the
// focus was last in the account or password, and tests an address after it was in the recipient.
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
    void restore();
    // "Tele2" locks the server field, whose host then comes from the table.
    void onTele2();
    // The focus to the server field, or the account field while "Tele2" is checked, with its
    // text selected.
    void focusLoginField();
    // Follows the focus for what Enter does.
    void noteFocus(QObject* watched, QEvent* event);
    bool enterConnects() const { return enterConnects_; }

    // The account and password as the controls were last read.
    const std::string& account() const { return account_; }
    const std::string& password() const { return password_; }

    void setQuickFrom(const std::string& address) { quickFrom_ = address; }
    const std::string& quickFrom() const { return quickFrom_; }
    const std::string& quickText() const { return quickText_; }
    const std::string& quickTo() const { return quickTo_; }

private:
    LoginControls controls_;
    CIspHostTable ispHostTable_;
    std::string server_, account_, password_;
    bool tele2_ = false;
    std::string quickFrom_, quickText_, quickTo_;
    std::string savedAccount_, savedPassword_, savedRecipient_;
    bool enterConnects_ = true;
};
