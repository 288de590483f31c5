#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

// One connection on 127.0.0.1, played by the test's function on a thread of its own: read the
// client's lines, answer, fall silent mid-reply with the connection held open. Its receive
// buffer is small, so a client that sends more than the server reads soon blocks. Destroying it
// ends any silence and closes the connection.
class CLoopbackServer {
public:
    explicit CLoopbackServer(std::function<void(CLoopbackServer&)> play);
    ~CLoopbackServer();

    int port() const { return port_; }

    // On the server's thread. The next line with its LF; empty once the client has gone.
    std::string readLine();
    void send(std::string_view bytes);
    // Until the condition holds; without one, silent until the end of the test.
    void waitFor(const std::function<bool()>& condition = [] { return false; });

private:
    bool ready(int fd, short events);

    int listener_ = -1;
    int peer_ = -1;
    int port_ = 0;
    std::string buffered_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
