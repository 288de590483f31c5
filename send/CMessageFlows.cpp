#include "send/CMessageFlows.h"

#include "dialogs/CComposeDlg.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/CQuoting.h"
#include "dialogs/DialogResult.h"
#include "dialogs/IDialogRunner.h"
#include "platform/AppSettings.h"
#include "platform/CFile.h"
#include "platform/CTempFile.h"
#include "platform/IAccessTokens.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "pop3/ReplyLimits.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"
#include "send/CForwardRun.h"
#include "send/CRetrievedHeader.h"
#include "send/CSmtpSession.h"
#include "send/ISendWindow.h"

#include <algorithm>

namespace {

std::string load(StringId id) {
    return CStringTable::load(id);
}

// The session's error text when the failed command left one; a download the user cancelled
// leaves the text of an earlier failure, which says nothing about this one.
std::string freshText(const std::string& before, const std::string& after) {
    return after != before ? after : std::string{};
}

bool hasAddress(const std::string& typed) {
    return typed.find_first_not_of(" \t") != std::string::npos;
}

// A field of the message's own header as text; empty without it.
std::string headerText(std::string_view header, std::string_view name) {
    std::string value;
    return CRetrievedHeader::field(header, name, value) ? CHeaderDecoder::decodeText(value)
                                                        : std::string{};
}

} // namespace

CSmtpLogin CMessageFlows::loginFor(ISendWindow& window) {
    const std::string& server = window.smtp().getServer();
    if (server.empty() || server != window.settings().smtpServer)
        return {};
    return window.typedLogin();
}

std::string CMessageFlows::sentText(const CSmtpLogin& login) {
    const std::string note = login.tokens() ? login.tokens()->note() : std::string{};
    return load(StringId::MessageSent) + (note.empty() ? "" : " " + note);
}

void CMessageFlows::setStatus(StringId id) {
    window_.setStatus(load(id));
}

std::string CMessageFlows::ownAddress(ISendWindow& window) {
    const std::string& address = window.settings().address;
    return hasAddress(address) ? address : window.quickFrom();
}

std::string CMessageFlows::recipientDomain(const std::string& address) {
    const std::size_t at = address.find('@');
    std::string domain = at == std::string::npos ? address : address.substr(at + 1);
    std::erase(domain, '>');
    return domain;
}

bool CMessageFlows::chooseServer(CSmtpSession& smtp, const AppSettings& settings,
                                 const std::string& to, bool direct) {
    if (direct && !smtp.dnsServer.empty())
        smtp.setServer(smtp.lookupMailExchanger(recipientDomain(to)));
    else if (settings.smtpServer.empty())
        return false;
    else
        smtp.setServer(settings.smtpServer);
    return true;
}

std::string CMessageFlows::replyBody(const std::string& retrieved, std::size_t headerLength) {
    return CQuoting::replyBody(retrieved, headerLength);
}

void CMessageFlows::connectionGone(const std::string& reason) {
    window_.disconnect();
    if (!reason.empty())
        window_.setStatus(reason);
}

void CMessageFlows::sendComposed(const std::string& from, const std::string& to,
                                 const std::string& subject, const std::string& body, bool direct,
                                 bool isReply) {
    CSmtpSession& smtp = window_.smtp();
    const AppSettings& settings = window_.settings();
    smtp.setFrom(from);
    smtp.setTo(to);
    smtp.setBody(body);
    smtp.setHelo(settings.helo);
    setStatus(StringId::Sending);
    if (!chooseServer(smtp, settings, to, direct)) {
        setStatus(StringId::NoSmtpServer);
        return;
    }
    // Which host the message goes to, while the connection is made.
    window_.setStatus(load(StringId::Sending) + " " + smtp.getServer());
    smtp.setPort(settings.smtpPort);
    smtp.setSubject(subject);
    if (isReply)
        setStatus(StringId::Sending);
    else
        smtp.quotedPrintable = 0; // automatic: the text itself decides its encoding
    const CSmtpLogin login = loginFor(window_);
    if (smtp.send(login))
        window_.setStatus(sentText(login));
    else
        window_.setStatus(smtp.getStatusText());
}

void CMessageFlows::composeAndSend(CComposeDlg& dialog, bool isReply) {
    while (window_.runner().run(dialog) == DialogResult::ok) {
        // The address in the brackets counts, or the whole text without them.
        const std::string& from = dialog.from();
        const std::size_t open = from.find('<'), close = from.find('>', open);
        if (hasAddress(open == std::string::npos || close == std::string::npos
                           ? from
                           : from.substr(open + 1, close - open - 1))) {
            sendComposed(from, dialog.to(), dialog.subject(), dialog.body(), dialog.direct(),
                         isReply);
            return;
        }
        setStatus(StringId::NoSenderAddress);
    }
}

void CMessageFlows::newMessage() {
    CComposeDlg dialog(window_.dialogParent());
    const std::string& address = window_.settings().address;
    if (!address.empty())
        dialog.SetFrom(address);
    dialog.SetDirect(true);
    composeAndSend(dialog, false);
}

bool CMessageFlows::readRetrieved(CTempFile& retrieved, std::string& bytes, std::size_t limit) {
    const std::string unreadable = load(StringId::RetrievedUnreadable);
    const std::string& path = retrieved.path();
    CFile file;
    bool ok = file.openForRead(path);
    const long long size = ok ? file.size() : -1;
    ok = size >= 0;
    if (ok) {
        bytes.assign(std::min(static_cast<std::size_t>(size), limit), '\0');
        for (std::size_t done = 0; ok && done < bytes.size();) {
            const long long got = file.read(bytes.data() + done, bytes.size() - done);
            ok = got > 0;
            done += static_cast<std::size_t>(std::max(got, 0LL));
        }
    }
    if (!ok)
        window_.setStatus(unreadable + " " + path + ": " + file.errorText());
    file.close();
    // The message is private: no copy of it stays behind while the reply is written.
    retrieved.remove();
    return ok;
}

void CMessageFlows::reply() {
    const std::vector<int> rows = window_.selectedRows();
    if (rows.empty()) {
        setStatus(StringId::SelectToReply);
        return;
    }
    const int row = rows.front();
    const int n = row + 1;
    CPop3Session& pop3 = window_.pop3();

    // Without the message or its header length there is nothing true to quote.
    const std::string before = pop3.getErrorText();
    CMessageDownload download(pop3, window_.progressHost(), window_.messageBoxHost());
    if (!download.run(n)) {
        const std::string reason = freshText(before, pop3.getErrorText());
        if (download.stoppedByUser())
            window_.reloadAfterCancel(load(StringId::CancelledByUser));
        else if (pop3.waitWasCut())
            connectionGone(pop3.getErrorText()); // a silent server: no reconnect to wait on it
        else if (!pop3.isConnected())
            connectionGone(reason);
        else
            window_.setStatus(reason);
        return;
    }
    // Removed when the reply is done with it, whatever happens meanwhile.
    CTempFile retrieved = download.takeFile();
    pop3.rset();
    if (!pop3.top(n, 0)) {
        // A refused TOP leaves the session's error text as it was; name the command instead.
        if (!pop3.isConnected())
            connectionGone(pop3.getErrorText());
        else
            setStatus(StringId::TopLabel);
        return;
    }
    const std::string header = pop3.getReplyText();

    // The message's own header names whom to answer: the row may name another message by now,
    // when another client changed the mailbox since the rows were read. A header without a
    // sender or subject leaves that field empty.
    CComposeDlg dialog(window_.dialogParent());
    dialog.SetTo(headerText(header, "From"));
    dialog.SetSubject(headerText(header, "Subject"));
    const std::string& address = window_.settings().address;
    if (!address.empty())
        dialog.SetFrom(address);

    // The quote keeps the header block and at most so much of the body.
    std::string message;
    if (!readRetrieved(retrieved, message, header.size() + ReplyLimits::kKeptTextMax))
        return;
    dialog.SetQuotedBody(replyBody(message, header.size()));
    composeAndSend(dialog, true);
}

void CMessageFlows::forward() {
    const std::vector<int> rows = window_.selectedRows();
    if (rows.empty()) {
        setStatus(StringId::SelectToForward);
        return;
    }
    CForwardDlg dialog(window_.dialogParent());
    if (window_.runner().run(dialog) != DialogResult::ok)
        return;
    const std::string to = dialog.address();
    const bool deleteAfter = dialog.deleteAfterForwarding();

    // One login for the whole run, which sends through the server the session holds.
    const CSmtpLogin login = loginFor(window_);
    CForwardRun(window_.pop3(), window_.smtp(), window_)
        .run(rows, to, deleteAfter, login, ownAddress(window_));
}
