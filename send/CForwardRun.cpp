#include "send/CForwardRun.h"

#include "platform/CTempFile.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"
#include "send/CRetrievedHeader.h"
#include "send/CSmtpSession.h"
#include "send/IForwardHost.h"

namespace {

std::string load(StringId id) {
    return CStringTable::load(id);
}

// "Hämtar brev 2 av 5..."
std::string stepText(StringId labelId, int i, int total) {
    return load(labelId) + " " + std::to_string(i) + " " + load(StringId::Of) + " " +
           std::to_string(total) + "...";
}

} // namespace

CForwardRun::CForwardRun(CPop3Session& pop3, CSmtpSession& smtp, IForwardHost& host)
    : pop3_(pop3), smtp_(smtp), host_(host) {}

void CForwardRun::run(const std::vector<int>& rows, const std::string& to, bool deleteAfter,
                      const CSmtpLogin& login, const std::string& ownAddress) {
    const int total = static_cast<int>(rows.size());
    CMessageDownload download(pop3_, host_.progressHost(), host_.messageBoxHost());
    for (int i = 1; i <= total; ++i) {
        const int n = rows[static_cast<std::size_t>(i - 1)] + 1;
        host_.setStatus(stepText(StringId::FetchingMessage, i, total));
        const std::string before = pop3_.getErrorText();
        if (!download.run(n)) {
            // A download the user cancelled leaves the text of an earlier failure, which says
            // nothing about this one.
            const std::string after = pop3_.getErrorText();
            stop(after != before ? after : std::string{}, download.stoppedByUser());
            return;
        }
        // This message's own file, removed once it is sent or not, whatever else runs meanwhile.
        const CTempFile message = download.takeFile();
        host_.setStatus(stepText(StringId::SendingMessage, i, total));
        if (sendOn(message.path(), to, login, ownAddress) && deleteAfter)
            pop3_.dele(n);
    }
    if (!deleteAfter)
        pop3_.rset();
    // QUIT makes the deletions final; the list is loaded anew.
    host_.disconnect();
    host_.connectOrDisconnect();
}

bool CForwardRun::sendOn(const std::string& file, const std::string& to, const CSmtpLogin& login,
                         const std::string& ownAddress) {
    // A server that takes mail only after a login takes it only from the account's own address:
    // the message's sender goes on the envelope only when the user has none. The row in the
    // list is not asked: it may name another message by now.
    smtp_.setFrom(ownAddress.empty() ? CRetrievedHeader::senderAddressOfFile(file) : ownAddress);
    smtp_.setTo(to);
    smtp_.setForwardFile(file);
    if (smtp_.send(login))
        return true;
    host_.notify(smtp_.getStatusText());
    return false;
}

void CForwardRun::stop(const std::string& reason, bool stoppedByUser) {
    const std::string stopped = reason.empty() ? load(StringId::ForwardCancelled)
                                               : load(StringId::ForwardCancelled) + " " + reason;
    if (pop3_.waitWasCut()) {
        // The user stopped a download the server had left unanswered: the connection is gone,
        // the server deleted nothing, and a reconnect would only wait on the same server.
        host_.disconnect();
        host_.setStatus(stopped);
        return;
    }
    if (stoppedByUser) {
        // The connection went with the stopped download, without QUIT: nothing of the run is
        // deleted, and the list comes back from the header cache.
        host_.reloadAfterCancel(load(StringId::ForwardCancelled));
        return;
    }
    host_.setStatus(load(StringId::ForwardCancelled));
    // RSET takes back what this run deleted; no row was marked for it.
    pop3_.rset();
    host_.disconnect();
    host_.connectOrDisconnect();
    // The reconnect's own text would hide that the forward stopped; a failed reconnect keeps
    // its reason instead.
    if (host_.isConnected())
        host_.setStatus(stopped);
}
