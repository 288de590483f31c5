#pragma once

#include <string>
#include <vector>

class CPop3Session;
class CSmtpLogin;
class CSmtpSession;
class IForwardHost;

// Forwards messages of the mailbox to one address: each is retrieved whole and sent on
// unchanged, and, when asked, deleted on the server once it went out. The envelope's sender is
// the user's own address; only without one is it the sender the message's own header names. The
// run ends by committing (QUIT) and loading the list anew.
class CForwardRun {
public:
    // All three must outlive the run.
    CForwardRun(CPop3Session& pop3, CSmtpSession& smtp, IForwardHost& host);

    // rows: list rows in list order; row r is message r + 1. login: for each send, as
    // CSmtpSession::send takes it. ownAddress: the user's, as typed; empty when none is set.
    void run(const std::vector<int>& rows, const std::string& to, bool deleteAfter,
             const CSmtpLogin& login, const std::string& ownAddress = {});

private:
    // A retrieval failed: nothing of the run is deleted, and the list is loaded anew.
    // stoppedByUser: the user's Avbryt stopped the download while the server was sending.
    void stop(const std::string& reason, bool stoppedByUser);
    // Sends the message just retrieved into file on (its owner removes the file); false with
    // the reason shown when it did not go out.
    bool sendOn(const std::string& file, const std::string& to, const CSmtpLogin& login,
                const std::string& ownAddress);

    CPop3Session& pop3_;
    CSmtpSession& smtp_;
    IForwardHost& host_;
};
