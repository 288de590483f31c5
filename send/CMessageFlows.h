#pragma once

#include "resources/StringIds.h"

#include <string>
#include <vector>

class CComposeDlg;
class CSmtpLogin;
class CSmtpSession;
class CTempFile;
class ISendWindow;
struct AppSettings;

// The main window's three sending commands: a new message and a reply through the compose
// dialog, and the forward of the selected messages to one address (optionally deleting them
// on the server). They keep nothing between runs; every prompt goes through the window's runner.
// They see the window only as ISendWindow.
class CMessageFlows {
public:
    // The window must outlive the flows.
    explicit CMessageFlows(ISendWindow& window) : window_(window) {}

    void newMessage();
    void reply();
    void forward();

    // The domain part of an address: the text after the first "@" (all of it without one), with
    // every ">" removed, so "Namn <a@b.se>" gives "b.se".
    static std::string recipientDomain(const std::string& address);
    // Direct delivery goes to the recipient domain's mail exchanger when a DNS server is set
    // (the lookup may find none and leave the server empty); otherwise to "Smtpserver". False,
    // with nothing changed, when that is the way and no SMTP server is set: the caller says so
    // (NoSmtpServer) instead of trying to connect to nothing.
    static bool chooseServer(CSmtpSession& smtp, const AppSettings& settings, const std::string& to,
                             bool direct);
    // The typed login for the session's next operation, when it goes to "Smtpserver"; none for
    // the exchanger of a recipient's domain, which is someone else's server.
    static CSmtpLogin loginFor(ISendWindow& window);
    // "Brevet skickat.", and for a login with an access token what the user should know of it
    // (no keyring kept the sign-in, so the next start signs in again).
    static std::string sentText(const CSmtpLogin& login);
    // The text a reply quotes: what a person reads of the retrieved message (every byte of the
    // file after RETR; its header block is as long as the TOP reply of headerLength bytes,
    // terminating line included, says), as CQuoting::replyBody takes it.
    static std::string replyBody(const std::string& retrieved, std::size_t headerLength);
    // The user's own address: "E-postadress" when set, else the quick-send panel's "Från:".
    static std::string ownAddress(ISendWindow& window);

private:
    // Runs the compose dialog until "Avbryt", or "Skicka" with a sender; a "Skicka" without one
    // says so in the status line and shows the dialog again with everything typed. Then the
    // dialog's fields into the session, the server choice shown, and the send.
    void composeAndSend(CComposeDlg& dialog, bool isReply);
    void sendComposed(const std::string& from, const std::string& to, const std::string& subject,
                      const std::string& body, bool direct, bool isReply);
    // Reads at most limit bytes of the retrieved message's file and removes the file; false with
    // the reason in the status line.
    bool readRetrieved(CTempFile& retrieved, std::string& bytes, std::size_t limit);
    // The POP3 session is gone: the window goes back to disconnected, showing why.
    void connectionGone(const std::string& reason);

    void setStatus(StringId id);

    ISendWindow& window_;
};
