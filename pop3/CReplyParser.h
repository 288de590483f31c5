#pragma once

#include <string>
#include <string_view>
#include <vector>

// Pure readers of POP3 reply text.
class CReplyParser {
public:
    // A reply fails exactly when its first four characters are "-ERR" in any case.
    static bool isFailure(std::string_view statusLine);
    // The number at the start of text by the C library's atoi rules (leading white space,
    // optional sign, digits up to the first non-digit, none gives 0), saturated instead of
    // overflowing.
    static long long leadingNumber(std::string_view text);
    // STAT: the count follows the first space or tab, the octets the second. A value whose
    // blank is missing is left as it was.
    static void parseStat(std::string_view statusLine, int& messageCount, int& mailboxOctets);
    // LIST data block: one size per listing line, the number after the line's first blank;
    // the terminating line and lines without a blank give none.
    static std::vector<double> parseListSizes(std::string_view data);
    // A CAPA data block lists this capability (its first word, case ignored).
    static bool listsCapability(std::string_view data, std::string_view capability);

    // What a CAPA data block lists, read as listsCapability reads it, but piece by piece as the
    // block arrives and without keeping it: each line is judged by its first word alone, so a
    // line of any length is passed over and a capability after it is still seen.
    class CapabilityScan {
    public:
        void feed(std::string_view bytes);
        bool stls() const { return stls_ || pendingIs("STLS"); }
        bool pipelining() const { return pipelining_ || pendingIs("PIPELINING"); }
        // The SASL line names OAUTHBEARER among its mechanisms (the words after its first).
        bool oauthBearer() const;

    private:
        // The first word of the last line, when no line end or blank has ended it yet.
        bool pendingIs(std::string_view capability) const;
        // A blank or line end ended word_.
        void endWord();

        std::string word_;      // the current word, cut after kWordKept bytes
        bool firstWord_ = true; // word_ is the first of its line
        bool saslLine_ = false; // the first word of this line was SASL
        bool stls_ = false;
        bool pipelining_ = false;
        bool oauthBearer_ = false;
    };
    // One listing line, without its LF: false when it gives no size.
    static bool parseListLine(std::string_view line, double& size);
    // A LIST data block read piece by piece as it arrives: every line that gives a size is
    // counted, and the sizes of the first `keep` of them are kept. Of a line only its first
    // ReplyLimits::kStatusLineMax bytes are read, so memory follows what is kept, however long
    // the listing or its lines.
    class ListScan {
    public:
        explicit ListScan(std::size_t keep) : keep_(keep) {}
        void feed(std::string_view bytes);
        long long listed() const { return listed_; }
        const std::vector<double>& sizes() const { return sizes_; }

    private:
        std::string line_;
        std::vector<double> sizes_;
        long long listed_ = 0;
        std::size_t keep_;
    };
    // "+OK <count> <octets>" CR LF as the standard writes a STAT answer, anything after a further
    // blank being the server's own; false for any other shape.
    static bool parseExactStat(std::string_view statusLine, long long& count);
    // UIDL data block of a mailbox of count messages: true, with uids[n - 1] the unique id of
    // message n, only when every message from 1 to count is listed exactly once with an id of
    // 1 to kUidMax printable characters and no id repeats. Anything else cannot key a row
    // safely, and leaves uids empty. Time and memory follow the data, whatever count says.
    static constexpr std::size_t kUidMax = 70;
    static bool parseUidl(std::string_view data, int count, std::vector<std::string>& uids);
};
