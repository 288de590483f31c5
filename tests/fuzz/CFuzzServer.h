#pragma once

#include "platform/ISettingsStore.h"
#include "platform/ISocketFactory.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The far end of one connection, planned by the fuzzer: each receive takes at most the rest of
// the current chunk and never joins two chunks; an empty chunk is a server that stops answering
// (the receive runs out of time); after the last chunk the server has closed the connection.
// Remembers what the client sent and what every receive gave it.
struct CFuzzServer {
    struct Receipt {
        std::string bytes;
        IoStatus status;
    };

    std::vector<std::string> chunks;
    bool refuseConnect = false;

    std::string sent;
    std::vector<Receipt> receipts;
    int connections = 0;

    IoResult receive(char* into, std::size_t max) {
        if (next_ >= chunks.size()) {
            receipts.push_back({{}, IoStatus::Closed});
            return {0, IoStatus::Closed};
        }
        const std::string& chunk = chunks[next_];
        if (chunk.empty()) {
            ++next_;
            receipts.push_back({{}, IoStatus::TimedOut});
            return {0, IoStatus::TimedOut};
        }
        const std::size_t n = std::min(max, chunk.size() - taken_);
        std::memcpy(into, chunk.data() + taken_, n);
        receipts.push_back({chunk.substr(taken_, n), IoStatus::Ok});
        taken_ += n;
        if (taken_ == chunk.size()) {
            ++next_;
            taken_ = 0;
        }
        return {n, IoStatus::Ok};
    }

private:
    std::size_t next_ = 0;
    std::size_t taken_ = 0;
};

class CFuzzStream : public IStream {
public:
    explicit CFuzzStream(CFuzzServer& server) : server_(server) {}

    bool connect(const std::string&, int) override {
        ++server_.connections;
        return open_ = !server_.refuseConnect;
    }
    bool send(std::string_view bytes) override {
        if (open_)
            server_.sent.append(bytes);
        return open_;
    }
    IoResult receive(char* into, std::size_t max) override {
        if (!open_)
            return {0, IoStatus::Failed};
        const IoResult r = server_.receive(into, max);
        if (r.status == IoStatus::Closed)
            open_ = false;
        return r;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::string lastError() const override { return "fuzzed"; }

private:
    CFuzzServer& server_;
    bool open_ = false;
};

// One datagram in answer to whatever was asked.
class CFuzzDatagramSocket : public IDatagramSocket {
public:
    explicit CFuzzDatagramSocket(std::string answer) : answer_(std::move(answer)) {}
    bool sendTo(const std::string&, int, std::string_view) override { return true; }
    IoResult receive(char* into, std::size_t max) override {
        const std::size_t n = std::min(max, answer_.size());
        std::memcpy(into, answer_.data(), n);
        return {n, IoStatus::Ok};
    }
    std::string lastError() const override { return "fuzzed"; }

private:
    std::string answer_;
};

// Every stream it makes talks to the one server; datagram sockets answer with one datagram.
class CFuzzSocketFactory : public ISocketFactory {
public:
    explicit CFuzzSocketFactory(CFuzzServer& server) : server_(server) {}
    std::unique_ptr<IStream> createStream(StreamSecurity) override {
        ++streams;
        return std::make_unique<CFuzzStream>(server_);
    }
    std::unique_ptr<IDatagramSocket> createDatagramSocket() override {
        return std::make_unique<CFuzzDatagramSocket>(datagram);
    }

    std::string datagram;
    int streams = 0;

private:
    CFuzzServer& server_;
};

// The settings in memory, texts only.
class CFuzzSettingsStore : public ISettingsStore {
public:
    int readInt(const std::string&, int fallback) override { return fallback; }
    std::string readString(const std::string& name, const std::string& fallback) override {
        const auto it = strings_.find(name);
        return it == strings_.end() ? fallback : it->second;
    }
    void writeInt(const std::string&, int) override {}
    void writeString(const std::string& name, const std::string& value) override {
        strings_[name] = value;
    }

private:
    std::map<std::string, std::string> strings_;
};
