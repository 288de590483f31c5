#pragma once

#include "platform/CSecret.h"
#include "resources/WindowIds.h"

#include <string>

class IAccessTokens;

// What the mailbox cycle needs of the main window: the login fields, the status line, the
// connect toggle, the message list's rows, the two window timers and the delete question. The
// window implements it with its controls; tests implement it with plain values.
class IMailboxWindow {
public:
    struct LoginFields {
        std::string server;
        std::string account;
        CSecret password;
    };

    virtual ~IMailboxWindow() = default;

    // The login fields as they stand, the server already replaced from the host table where the
    // window says so, shown back in their controls and kept for "Återställ".
    virtual LoginFields takeLoginFields() = 0;
    // Copies the window's bound fields into their controls.
    virtual void writeControls() = 0;
    virtual void focusLoginField() = 0;
    virtual void setStatus(const std::string& text) = 0;
    // The connect toggle shown pressed while connected.
    virtual void showConnected(bool connected) = 0;
    virtual void clearRows() = 0;
    virtual void appendRow(const std::string& first, const std::string& subject,
                           const std::string& date, const std::string& size) = 0;
    virtual void startWindowTimer(TimerId id, int periodMs) = 0;
    virtual void stopWindowTimer(TimerId id) = 0;
    virtual bool askYesNo(const std::string& question) = 0;
    // From this many messages the load lists numbers only.
    virtual int quickLogin() const = 0;
    // Minutes without a command other than NOOP before the window disconnects.
    virtual int idleTimeout() const = 0;
    // Where the access token comes from when the account at server signs in with OAuth 2.0 (no
    // password typed, a provider for the server); null for the password login.
    virtual IAccessTokens* accessTokensFor(const std::string& /*server*/,
                                           const CSecret& /*password*/) {
        return nullptr;
    }
};
