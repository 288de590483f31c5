// The end-of-data judgement as the pipelined reader uses it: the answers to several commands
// arrive back to back, cut into receives anywhere. Each answer's status line is taken up to its
// line end; a multi-line answer's data block is watched chunk by chunk, the bytes after its
// terminating line start the next answer, and before each receive a copy of the watcher judges
// the bytes arriving meanwhile, in other pieces, as the read-ahead does. Every answer must get
// exactly its own bytes, and the copy must agree with the watcher about where the block ends.
#include "FuzzCheck.h"
#include "pop3/CEndOfData.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

struct Answer {
    std::string status;
    std::string data;
};

// The stream read by the plain reading: a status line up to its LF; for a multi-line answer
// that is positive, the block up to and including the first CR LF "." CR LF after it.
std::vector<Answer> reference(std::string_view stream, const std::vector<bool>& multiLine) {
    std::vector<Answer> answers;
    for (bool multi : multiLine) {
        const std::size_t lineEnd = stream.find('\n');
        if (lineEnd == std::string_view::npos)
            break;
        Answer answer{std::string(stream.substr(0, lineEnd + 1)), {}};
        stream.remove_prefix(lineEnd + 1);
        if (multi && answer.status.starts_with("+OK")) {
            const std::size_t end = ("\r\n" + std::string(stream)).find("\r\n.\r\n");
            if (end == std::string::npos)
                break;
            answer.data = stream.substr(0, end + 3);
            stream.remove_prefix(end + 3);
        }
        answers.push_back(answer);
    }
    return answers;
}

class Reader {
public:
    Reader(std::string_view stream, FuzzedDataProvider& cuts) : stream_(stream), cuts_(cuts) {}

    bool statusLine(std::string& line) {
        for (;;) {
            const std::size_t end = pending_.find('\n');
            line += pending_.substr(0, end == std::string::npos ? end : end + 1);
            pending_.erase(0, end == std::string::npos ? end : end + 1);
            if (end != std::string::npos)
                return true;
            if (!receive(pending_))
                return false;
        }
    }

    bool dataBlock(std::string& data) {
        CEndOfData end;
        while (!end.complete()) {
            std::string chunk;
            if (!pending_.empty()) {
                chunk.swap(pending_);
            } else {
                // What arrives before the receive, judged piece by piece by a copy.
                if (!receive(chunk))
                    return false;
                CEndOfData probe = end;
                std::size_t judged = 0;
                while (judged < chunk.size() && !probe.complete()) {
                    const std::size_t piece = cuts_.ConsumeIntegralInRange<std::size_t>(1, 64);
                    probe.feed(std::string_view(chunk).substr(judged, piece));
                    judged += piece;
                }
                CEndOfData whole = end;
                whole.feed(chunk);
                FUZZ_CHECK(probe.complete() == whole.complete());
            }
            const std::size_t used = end.feed(chunk);
            FUZZ_CHECK(used <= chunk.size());
            FUZZ_CHECK(end.complete() || used == chunk.size());
            data += chunk.substr(0, used);
            pending_.insert(0, chunk.substr(used));
        }
        return true;
    }

private:
    bool receive(std::string& into) {
        if (at_ >= stream_.size())
            return false;
        const std::size_t n = cuts_.ConsumeIntegralInRange<std::size_t>(1, 300);
        into.assign(stream_.substr(at_, n));
        at_ += into.size();
        return true;
    }

    std::string_view stream_;
    FuzzedDataProvider& cuts_;
    std::size_t at_ = 0;
    std::string pending_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    std::vector<bool> multiLine(provider.ConsumeIntegralInRange<std::size_t>(1, 16));
    for (std::size_t i = 0; i < multiLine.size(); ++i)
        multiLine[i] = provider.ConsumeBool();
    const std::string stream = provider.ConsumeRandomLengthString(size);
    const std::vector<Answer> expected = reference(stream, multiLine);

    Reader reader(stream, provider);
    for (std::size_t i = 0; i < multiLine.size(); ++i) {
        Answer answer;
        const bool read =
            reader.statusLine(answer.status) &&
            (!multiLine[i] || !answer.status.starts_with("+OK") || reader.dataBlock(answer.data));
        FUZZ_CHECK(read == (i < expected.size()));
        if (!read)
            break;
        FUZZ_CHECK(answer.status == expected[i].status);
        FUZZ_CHECK(answer.data == expected[i].data);
    }
    return 0;
}
