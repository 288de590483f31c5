#pragma once

#include <string>
#include <vector>

class CPop3Session;
class CSmtpLogin;
class CSmtpSession;
class IForwardHost;

// Forwards messages of the mailbox to one address: each is retrieved whole and sent on
// unchanged with its own sender as the envelope's, and, when asked, deleted on the server once
// it went out. The run ends by committing (QUIT) and loading the list anew.
class CForwardRun {
public:
    // All three must outlive the run.
    CForwardRun(CPop3Session& pop3, CSmtpSession& smtp, IForwardHost& host);

    // rows: list rows in list order; row r is message r + 1. login: for each send, as
    // CSmtpSession::send takes it.
    void run(const std::vector<int>& rows, const std::string& to, bool deleteAfter,
             const CSmtpLogin& login);

private:
    // A retrieval failed: nothing of the run is deleted, and the list is loaded anew.
    void stop(const std::string& reason);

    CPop3Session& pop3_;
    CSmtpSession& smtp_;
    IForwardHost& host_;
};
