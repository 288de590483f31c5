#pragma once

#include "tests/peers/CDovecotPeer.h"
#include "tests/peers/CSmtpSinkPeer.h"

#include <string>
#include <vector>

// The demo set-up, for tools/run.sh --demo, the README's picture and the test of both: a private
// Dovecot holding the mailbox tools/demo-mailbox.py writes, an SMTP sink that prints the header
// lines of every message it takes, and a settings file of its own that points the program at
// both. Everything lives in a fresh temporary folder and on loopback; the user's own settings
// are never read or written.
class CDemoPeers {
public:
    static constexpr const char* kAccount = "anna";
    static constexpr const char* kPassword = "demo";
    static constexpr const char* kAddress = "anna@example.org";

    CDemoPeers();
    // Stops both servers and removes the folder.
    ~CDemoPeers();
    CDemoPeers(const CDemoPeers&) = delete;
    CDemoPeers& operator=(const CDemoPeers&) = delete;

    // Writes the mailbox (at most 60 s), starts both servers (10 s each at most) and writes the
    // settings file. False with the reason in error otherwise.
    bool start(std::string& error);
    void stop();

    // The program's options for the demo: its settings file, the server, account and password.
    std::vector<std::string> programOptions() const;
    int messageCount() const { return messageCount_; }
    std::string settingsFile() const { return dir_ + "/maroket.conf"; }
    CDovecotPeer& mailbox() { return mailbox_; }
    CSmtpSinkPeer& sink() { return sink_; }

private:
    bool generate(std::string& error);
    bool writeSettings(std::string& error) const;

    std::string dir_;
    int messageCount_ = 0;
    CDovecotPeer mailbox_;
    CSmtpSinkPeer sink_;
};
