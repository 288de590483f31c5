#pragma once

#include "tests/peers/CTestPeer.h"

#include <string>
#include <sys/types.h>
#include <vector>

// A real dnsmasq for one test, answering on port 53 (the only port the program asks) of a
// loopback address of its own, so that several runs and the machine's own resolver do not meet.
// It knows only the records the test gives it, never asks another server, and answers names
// under .test that it does not know with "no such name"; any other name it refuses.
// Port 53 needs root (or the right to bind low ports): see available().
class CDnsmasqPeer : public CTestPeer {
public:
    // start() waits at most 5 s until the server answers; its log has the queries it saw.
    CDnsmasqPeer();

    // Whether this process can bind port 53 on loopback; the reason when not.
    static bool available(std::string& reason);
    // A 127.x.y.z address (not 127.0.0.1) where UDP and TCP port 53 were free a moment ago, or
    // empty with the reason.
    static std::string pickAddress(std::string& reason);

    // Records for the next start(). dnsmasq lists the MX records of one domain in the reverse
    // of the order they were added, whatever their preference.
    void addMxHost(const std::string& domain, const std::string& host, int preference);
    void addHostRecord(const std::string& name, const std::string& address);

    std::string address() const { return address_; }

private:
    bool pickPlace(std::string& error) override;
    bool launch(std::string& error) override;
    bool answers() const override;
    std::string waitedFor() const override;

    std::vector<std::string> records_;
    std::string address_;
};
