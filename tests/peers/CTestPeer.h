#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// What the test servers share: a fresh temporary folder of their own (removed with the peer), a
// server process started in its own process group with its output in a log file in that
// folder, and the start-up: pick where to listen, launch, wait until the server answers, and
// try again elsewhere when someone else took the place between the pick and the server's bind.
class CTestPeer {
public:
    // Stops the server and removes the folder.
    virtual ~CTestPeer();
    CTestPeer(const CTestPeer&) = delete;
    CTestPeer& operator=(const CTestPeer&) = delete;

    // Starts the server and waits until it answers. False with the reason and the log in error
    // otherwise.
    bool start(std::string& error);
    void stop();
    // What the server wrote to its log, stdout and stderr.
    std::string log() const;

protected:
    struct Traits {
        const char* name;       // in messages: "dovecot", "the SMTP sink"
        const char* logTitle;   // the log's heading in a start-up failure: "dovecot", "sink"
        const char* dirPattern; // for mkdtemp: "/tmp/maroket-dovecot-XXXXXX"
        const char* logFile;    // in the folder
        std::chrono::seconds startTimeout;
        bool stopWholeGroup; // also wait for members that outlive the leader
    };

    explicit CTestPeer(const Traits& traits) : traits_(traits) {}

    // Makes the folder on first use; subclasses add what the server needs there.
    virtual bool prepare(std::string& error);
    // Chooses where the server listens (a free port, an address); false with the reason.
    virtual bool pickPlace(std::string& error) = 0;
    // Starts the server process with startProcess().
    virtual bool launch(std::string& error) = 0;
    // True once the server answers where it listens.
    virtual bool answers() const = 0;
    // Where it was waited for: "greet on port 4711".
    virtual std::string waitedFor() const = 0;

    // A port on address that was free a moment ago; false with the reason.
    static bool pickPort(const std::string& address, int& port, std::string& error);
    bool startProcess(const std::vector<std::string>& programs,
                      const std::vector<std::string>& args, std::string& error);
    const std::string& dir() const { return dir_; }

private:
    bool waitUntilAnswering(std::string& error);

    Traits traits_;
    std::string dir_;
    pid_t pid_ = -1;
};
