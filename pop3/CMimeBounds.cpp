#include "pop3/CMimeBounds.h"

#include "pop3/CCharset.h"

#include <string>

namespace {

// A Content-Type field's first line: the name in any case, blanks allowed before the colon.
bool isContentType(std::string_view line) {
    constexpr std::string_view kName = "content-type";
    if (line.size() <= kName.size() ||
        !CCharset::equalsIgnoringCase(line.substr(0, kName.size()), kName))
        return false;
    std::size_t i = kName.size();
    while (i < line.size() && CCharset::isBlank(line[i]))
        ++i;
    return i < line.size() && line[i] == ':';
}

// The header block being read and what its Content-Type fields declared.
struct Block {
    bool afterDelimiter = false; // began after a "--" line
    bool typed = false;          // has a Content-Type field
    bool message = false;        // one of them declares an attached message
};

class Scan {
public:
    explicit Scan(std::string_view message) : text_(message) {}

    std::string_view run() {
        for (std::size_t at = 0; at < text_.size();) {
            std::size_t end = text_.find('\n', at);
            end = end == std::string_view::npos ? text_.size() : end + 1;
            if (!take(at, text_.substr(at, end - at)))
                return text_.substr(0, cut_);
            at = end;
        }
        if (!endType())
            return text_.substr(0, cut_);
        return text_;
    }

private:
    // Judges the line at at; false, with cut_ set, where the parser must stop.
    bool take(std::size_t at, std::string_view line) {
        if (inHeader_ && CCharset::isBlank(line.front()) && typeStart_ != std::string_view::npos) {
            keepType(line);
            return countHeader(at, line);
        }
        if (!endType())
            return false;
        if (inHeader_ && (line == "\n" || line == "\r\n"))
            return endBlock(at);
        if (multipart_ && line.starts_with("--")) {
            if (++parts_ > CMimeBounds::kPartsMax)
                return stop(at);
            inHeader_ = true;
            block_ = Block{true};
        } else if (inHeader_ && isContentType(line)) {
            typeStart_ = at;
            keepType(line.substr(line.find(':') + 1));
        }
        return !inHeader_ || countHeader(at, line);
    }

    bool countHeader(std::size_t at, std::string_view line) {
        headerBytes_ += line.size();
        // A field cut in two would hide what it declares, so the cut comes before it.
        return headerBytes_ <= CMimeBounds::kHeaderBytesMax ||
               stop(typeStart_ != std::string_view::npos ? typeStart_ : at);
    }

    // The type's letters and marks without blanks, line ends or case.
    void keepType(std::string_view part) {
        for (char c : part)
            if (!CCharset::isBlank(c) && c != '\r' && c != '\n')
                type_ += CCharset::lowerAscii(c);
    }

    // The Content-Type field being read has ended.
    bool endType() {
        if (typeStart_ == std::string_view::npos)
            return true;
        const bool multipart = type_.find("multipart") != std::string::npos;
        const bool message = type_.find("message") != std::string::npos;
        digest_ = digest_ || type_.find("digest") != std::string::npos;
        block_.typed = true;
        block_.message = block_.message || message;
        multipart_ = multipart_ || multipart;
        const std::size_t start = typeStart_;
        typeStart_ = std::string_view::npos;
        type_.clear();
        return !(multipart || message) || ++containers_ <= CMimeBounds::kContainersMax ||
               stop(start);
    }

    // An empty line ends a header block. An attached message's own header block follows at
    // once, as does that of a part without a type in a digest, which is an attached message.
    bool endBlock(std::size_t at) {
        const bool digestMessage = !block_.typed && block_.afterDelimiter && digest_;
        inHeader_ = block_.message || digestMessage;
        block_ = Block{};
        return !digestMessage || ++containers_ <= CMimeBounds::kContainersMax || stop(at);
    }

    bool stop(std::size_t at) {
        cut_ = at;
        return false;
    }

    std::string_view text_;
    bool inHeader_ = true; // the line at hand can be a header field
    Block block_;
    std::size_t typeStart_ = std::string_view::npos; // of the Content-Type field being read
    std::string type_;
    bool multipart_ = false; // some part declared a multipart: "--" can open a part
    bool digest_ = false;
    int containers_ = 0;
    int parts_ = 0;
    std::size_t headerBytes_ = 0;
    std::size_t cut_ = 0;
};

} // namespace

std::string_view CMimeBounds::parsed(std::string_view message) {
    return Scan(message).run();
}
