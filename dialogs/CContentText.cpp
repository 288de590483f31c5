#include "dialogs/CContentText.h"

#include "resources/CStringTable.h"

namespace {

class Breaker {
public:
    explicit Breaker(std::size_t size) { out_.reserve(size + size / 256 + 128); }

    // False once the text has to be cut before this character.
    bool take(char c) {
        if (c == '\n') {
            if (!endLine(out_.size()))
                return false;
            out_ += c;
            return true;
        }
        // A character begins at every byte that does not continue one.
        const bool begins = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (begins && chars_ == CContentText::kLineMax) {
            // At the last blank if that keeps at least half a line, else here.
            const bool atBlank = blank_ != std::string::npos && blankChars_ >= chars_ / 2;
            const std::size_t at = atBlank ? blank_ : out_.size();
            const std::size_t carried = atBlank ? chars_ - blankChars_ : 0;
            if (!endLine(at))
                return false;
            out_.insert(at, "\r\n");
            chars_ = carried;
        }
        out_ += c;
        chars_ += begins ? 1 : 0;
        if (c == ' ' || c == '\t') {
            blank_ = out_.size();
            blankChars_ = chars_;
        }
        return true;
    }

    std::string cut() {
        out_.resize(cutAt_);
        if (out_.ends_with('\r'))
            out_.pop_back();
        out_ += "\r\n";
        out_ += CStringTable::load(StringId::ContentCutNote);
        return std::move(out_);
    }

    std::string take() { return std::move(out_); }

private:
    // A line ends at at in what is kept; false when it would be one line too many.
    bool endLine(std::size_t at) {
        if (++lines_ >= CContentText::kLinesMax) {
            cutAt_ = at;
            return false;
        }
        chars_ = 0;
        blank_ = std::string::npos;
        return true;
    }

    std::string out_;
    std::size_t lines_ = 0;                 // lines ended so far
    std::size_t chars_ = 0;                 // characters on the line being written
    std::size_t blank_ = std::string::npos; // in out_, just after the line's last blank
    std::size_t blankChars_ = 0;            // characters on the line up to there
    std::size_t cutAt_ = 0;
};

} // namespace

std::string CContentText::forDisplay(std::string_view text) {
    Breaker breaker(text.size());
    for (const char c : text)
        if (!breaker.take(c))
            return breaker.cut();
    return breaker.take();
}
