#pragma once

#include "send/CSmtpLogin.h"
#include "send/IForwardHost.h"

#include <string>
#include <vector>

struct AppSettings;
class CPop3Session;
class CSmtpSession;
class IDialogRunner;
class QWidget;

// What the sending commands (new message, reply, forward, the quick-send panel) need of the
// main window: the settings, the status line, both sessions, the marked rows, the runner of
// every prompt with the parent of its dialogs, the account and password typed for the login, the
// quick-send panel's sender, and, through IForwardHost, the mailbox cycle's disconnect and
// reconnect. The window implements it; nothing in send/ knows the window itself.
class ISendWindow : public IForwardHost {
public:
    virtual const AppSettings& settings() const = 0;
    virtual CPop3Session& pop3() = 0;
    virtual CSmtpSession& smtp() = 0;
    // The marked list rows, ascending; row r is message r + 1.
    virtual std::vector<int> selectedRows() const = 0;
    virtual IDialogRunner& runner() = 0;
    virtual QWidget* dialogParent() = 0;
    // The account and password as they stand in the login fields now, for an SMTP server that
    // asks for a login. The caller keeps them for one operation only.
    virtual CSmtpLogin typedLogin() = 0;
    // The quick-send panel's "Från:" as it stands now.
    virtual std::string quickFrom() = 0;
};
