#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A real dnsmasq for one test, answering on port 53 (the only port the program asks) of a
// loopback address of its own, so that several runs and the machine's own resolver do not meet.
// It knows only the records the test gives it, never asks another server, and answers names
// under .test that it does not know with "no such name"; any other name it refuses.
// Port 53 needs root (or the right to bind low ports): see available().
class CDnsmasqPeer {
public:
    CDnsmasqPeer();
    // Stops the server and removes its temporary folder.
    ~CDnsmasqPeer();
    CDnsmasqPeer(const CDnsmasqPeer&) = delete;
    CDnsmasqPeer& operator=(const CDnsmasqPeer&) = delete;

    // Whether this process can bind port 53 on loopback; the reason when not.
    static bool available(std::string& reason);
    // A 127.x.y.z address (not 127.0.0.1) where UDP and TCP port 53 were free a moment ago, or
    // empty with the reason.
    static std::string pickAddress(std::string& reason);

    // Records for the next start(). dnsmasq lists the MX records of one domain in the reverse
    // of the order they were added, whatever their preference.
    void addMxHost(const std::string& domain, const std::string& host, int preference);
    void addHostRecord(const std::string& name, const std::string& address);

    // Starts dnsmasq and waits (at most 5 s) until it answers. False with the reason and the
    // log in error otherwise.
    bool start(std::string& error);
    void stop();

    std::string address() const { return address_; }
    // dnsmasq's own log, with the queries it saw.
    std::string log() const;

private:
    bool launch(std::string& error);
    bool waitForAnswer(std::string& error);

    std::vector<std::string> records_;
    std::string dir_;
    std::string address_;
    pid_t pid_ = -1;
};
