#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An SMTP reply, taken as it arrives. Read whole, a reply of one or more lines ends with the
// first line whose code is not followed by "-"; of a very long one the first kKeptMax bytes are
// kept and the rest is only followed to its end. Bytes after the end are not part of it; a server
// sends none before it is asked again, so hasTrailing() marks a server out of step. Plain SMTP
// (HELO and the commands after it) takes instead what one receive gives as the whole reply.
class CSmtpReply {
public:
    static constexpr std::size_t kKeptMax = 65536;
    enum class Extent { Whole, OneReceive };

    explicit CSmtpReply(Extent extent = Extent::Whole) : extent_(extent) {}

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
    Extent extent_;
    bool complete_ = false;
    bool trailing_ = false;
};
