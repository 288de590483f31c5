#include "send/CSmtpReply.h"

#include "pop3/CCharset.h"

#include <algorithm>

namespace {

// A keyword longer than this is none the reply is asked about.
constexpr std::size_t kKeywordKept = 16;

// The words of one extension line after its code, separated by blanks (or "=" after AUTH).
template <class Visit> void forEachWord(std::string_view line, Visit visit) {
    while (!line.empty()) {
        const std::size_t start = line.find_first_not_of(" \t=");
        if (start == std::string_view::npos)
            return;
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find_first_of(" \t="), line.size());
        if (!visit(line.substr(0, end)))
            return;
        line.remove_prefix(end);
    }
}

// Calls visit with each line after the first, without its code and line end.
template <class Visit> void forEachExtension(std::string_view text, Visit visit) {
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!first && line.size() > 4)
            visit(line.substr(4));
        first = false;
    }
}

} // namespace

void CSmtpReply::feed(std::string_view bytes) {
    if (extent_ == Extent::OneReceive && !complete_) {
        text_.assign(bytes.substr(0, kKeptMax));
        complete_ = true;
        return;
    }
    while (!bytes.empty() && !complete_) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part =
            bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
        bytes.remove_prefix(part.size());
        text_.append(part.substr(0, kKeptMax - std::min(text_.size(), kKeptMax)));
        // The keyword starts after the code's four bytes and ends at a blank or "=".
        if (!firstLine_ && !keywordDone_) {
            std::string_view rest =
                part.substr(0, part.size() - (end == std::string_view::npos ? 0 : 1));
            rest.remove_prefix(std::min(rest.size(), 4 - std::min(head_.size(), std::size_t{4})));
            const std::size_t stop = std::min(rest.find_first_of(" \t="), rest.size());
            keyword_.append(rest.substr(
                0, std::min(stop, kKeywordKept - std::min(keyword_.size(), kKeywordKept))));
            keywordDone_ = stop < rest.size();
        }
        head_.append(part.substr(0, 4 - std::min(head_.size(), std::size_t{4})));
        if (end == std::string_view::npos)
            break;
        judgeKeyword();
        // "250-" goes on; "250 ", "250" alone or any other shape ends the reply.
        complete_ = head_.size() < 4 || head_[3] != '-';
        head_.clear();
    }
    trailing_ = trailing_ || (complete_ && !bytes.empty());
}

void CSmtpReply::judgeKeyword() {
    std::string_view keyword = keyword_;
    // The line's CR is no part of it.
    if (!keywordDone_ && keyword.ends_with('\r'))
        keyword.remove_suffix(1);
    startTls_ = startTls_ || (!firstLine_ && CCharset::equalsIgnoringCase(keyword, "STARTTLS"));
    firstLine_ = false;
    keyword_.clear();
    keywordDone_ = false;
}

bool CSmtpReply::lists(std::string_view keyword) const {
    bool found = false;
    forEachExtension(text_, [&](std::string_view line) {
        found = found ||
                CCharset::equalsIgnoringCase(line.substr(0, line.find_first_of(" \t=")), keyword);
    });
    return found;
}

bool CSmtpReply::listsAuth(std::string_view mechanism) const {
    bool found = false;
    forEachExtension(text_, [&](std::string_view line) {
        bool isAuth = false, first = true;
        forEachWord(line, [&](std::string_view word) {
            if (first) {
                first = false;
                isAuth = CCharset::equalsIgnoringCase(word, "AUTH");
                return isAuth;
            }
            found = found || CCharset::equalsIgnoringCase(word, mechanism);
            return true;
        });
    });
    return found;
}
