#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An SMTP reply of one or more lines, taken as it arrives: a line whose code is followed by "-"
// goes on, the first other line ends the reply. Of a very long reply the first kKeptMax bytes
// are kept and the rest is only followed to its end. Bytes after the end are not part of it; a
// server sends none before it is asked again, so hasTrailing() marks a server out of step.
class CSmtpReply {
public:
    static constexpr std::size_t kKeptMax = 65536;

    // Takes the next bytes of the connection; nothing once the reply is complete.
    void feed(std::string_view bytes);
    bool complete() const { return complete_; }
    const std::string& text() const { return text_; }
    bool hasTrailing() const { return trailing_; }

    // What an EHLO reply offers: a keyword that begins one of the lines after the first
    // ("STARTTLS"), and a mechanism of its AUTH line ("AUTH PLAIN LOGIN", or the older
    // "AUTH=LOGIN"). Case is ignored.
    bool lists(std::string_view keyword) const;
    bool listsAuth(std::string_view mechanism) const;
    // The offer lists STARTTLS, as lists() reads it, on any of the reply's lines: it is judged
    // as the lines arrive, so that no line, however long, can push it out of what is kept.
    bool offersStartTls() const { return startTls_; }

private:
    // The keyword of the line being read, now that it has ended.
    void judgeKeyword();

    std::string text_;
    std::string head_;    // the first four bytes of the line being read
    std::string keyword_; // what follows them up to a blank or "=", cut after a few bytes
    bool keywordDone_ = false;
    bool firstLine_ = true;
    bool startTls_ = false;
    bool complete_ = false;
    bool trailing_ = false;
};
