#include "support/CFakeScript.h"

#include <algorithm>
#include <cstring>

CFakeScript& CFakeScript::refuseConnect(ConnectFailure why) {
    steps_.push_back({Kind::RefuseConnect, {}, {}, why});
    return *this;
}

CFakeScript& CFakeScript::client(std::string bytes) {
    steps_.push_back({Kind::Client, std::move(bytes), {}});
    return *this;
}

CFakeScript& CFakeScript::server(std::string bytes) {
    steps_.push_back({Kind::Server, std::move(bytes), {}});
    return *this;
}

CFakeScript& CFakeScript::drop() {
    steps_.push_back({Kind::Drop, {}, {}});
    return *this;
}

CFakeScript& CFakeScript::stall() {
    steps_.push_back({Kind::Stall, {}, {}});
    return *this;
}

CFakeScript& CFakeScript::cut() {
    steps_.push_back({Kind::Cut, {}, {}});
    return *this;
}

CFakeScript& CFakeScript::action(std::function<void()> fn) {
    steps_.push_back({Kind::Action, {}, std::move(fn)});
    return *this;
}

CFakeScript& CFakeScript::tls(ConnectFailure why) {
    steps_.push_back({Kind::Tls, {}, {}, why});
    return *this;
}

ConnectFailure CFakeScript::startTls() {
    runActions();
    if (steps_.empty() || steps_.front().kind != Kind::Tls) {
        deviate("TLS started out of turn");
        return ConnectFailure::HandshakeFailed;
    }
    const ConnectFailure why = steps_.front().failure;
    steps_.pop_front();
    return why;
}

std::string CFakeScript::report() const {
    std::string r = deviation_.empty() ? "" : "deviation: " + deviation_ + "\n";
    for (const auto& s : steps_) {
        static const char* names[] = {"refuseConnect", "client", "server", "drop",
                                      "stall",         "cut",    "action", "tls"};
        r += std::string("left: ") + names[static_cast<int>(s.kind)] + " '" + s.bytes + "'\n";
    }
    return r + "sent so far: '" + sent_ + "'";
}

void CFakeScript::deviate(const std::string& what) {
    if (deviation_.empty())
        deviation_ = what;
}

void CFakeScript::runActions() {
    while (!steps_.empty() && steps_.front().kind == Kind::Action) {
        auto fn = std::move(steps_.front().fn);
        steps_.pop_front();
        fn();
    }
}

bool CFakeScript::connect(ConnectFailure& why) {
    runActions();
    why = ConnectFailure::Unspecified;
    if (!steps_.empty() && steps_.front().kind == Kind::RefuseConnect) {
        why = steps_.front().failure;
        steps_.pop_front();
        return false;
    }
    return true;
}

bool CFakeScript::send(std::string_view bytes) {
    runActions();
    sent_ += bytes;
    while (!bytes.empty()) {
        if (steps_.empty() || steps_.front().kind != Kind::Client) {
            deviate("unexpected send '" + std::string(bytes) + "'");
            return true;
        }
        std::string& expected = steps_.front().bytes;
        std::size_t n = std::min(expected.size(), bytes.size());
        if (expected.compare(0, n, bytes.substr(0, n)) != 0) {
            deviate("sent '" + std::string(bytes) + "' where '" + expected + "' was expected");
            return true;
        }
        expected.erase(0, n);
        bytes.remove_prefix(n);
        if (expected.empty())
            steps_.pop_front();
    }
    runActions();
    return true;
}

IoResult CFakeScript::receive(char* into, std::size_t max) {
    ++receives_;
    runActions();
    if (steps_.empty()) {
        deviate("receive after the end of the script");
        return {0, IoStatus::Closed};
    }
    Step& step = steps_.front();
    switch (step.kind) {
    case Kind::Server: {
        std::size_t n = std::min(max, step.bytes.size());
        std::memcpy(into, step.bytes.data(), n);
        step.bytes.erase(0, n);
        if (step.bytes.empty())
            steps_.pop_front();
        return {n, IoStatus::Ok};
    }
    case Kind::Drop:
        steps_.pop_front();
        return {0, IoStatus::Closed};
    case Kind::Stall:
        steps_.pop_front();
        return {0, IoStatus::TimedOut};
    case Kind::Cut:
        steps_.pop_front();
        return {0, IoStatus::Cancelled};
    default:
        deviate("receive while the client should send '" + step.bytes + "'");
        return {0, IoStatus::Failed};
    }
}

void CFakeScript::awaitData(std::size_t want,
                            const std::function<bool(std::string_view)>& holdsEnd) {
    std::size_t arrived = 0;
    for (const Step& step : steps_) {
        if (step.kind != Kind::Server) {
            needlessWaits_ += step.kind == Kind::Client ? 1 : 0;
            return;
        }
        if (holdsEnd(step.bytes) || (arrived += step.bytes.size()) >= want)
            return;
    }
    ++needlessWaits_;
}

bool CFakeScript::hasArrived() const {
    for (const Step& step : steps_)
        if (step.kind != Kind::Action)
            return step.kind == Kind::Server && !step.bytes.empty();
    return false;
}
