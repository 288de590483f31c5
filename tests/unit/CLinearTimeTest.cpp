// Every reader of server or mail bytes takes time in proportion to what it reads: its worst input
// at 1 MB takes at most about 20 times as long as at 64 KB, where a loop that reads the text
// again for each of its characters takes 256 times as long. A ratio in one run, so the speed of
// the machine does not matter.
#include "dialogs/CContentText.h"
#include "pop3/CEncodedWords.h"
#include "pop3/CEndOfData.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CHtmlText.h"
#include "pop3/CMessageText.h"
#include "pop3/CReplyParser.h"
#include "send/CSmtpReply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <string>
#include <thread>
#include <vector>

// Under the sanitizers the time goes to their own bookkeeping, whose allocator keeps freed
// memory aside instead of using it again: what these tests measure is the program's own build.
#if defined(__SANITIZE_ADDRESS__)
#define MAROKET_TIMING_SKEWED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MAROKET_TIMING_SKEWED 1
#endif
#endif

namespace {

constexpr std::size_t kSmall = 64 * 1024;
constexpr std::size_t kLarge = 1024 * 1024;
constexpr double kRatioMax = 20;

// unit over and over, then tail; size bytes in all.
std::string repeated(std::string_view unit, std::size_t size, std::string_view tail = {}) {
    std::string text;
    text.reserve(size);
    while (text.size() + unit.size() + tail.size() <= size)
        text += unit;
    return text + std::string(tail);
}

double threadSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Reads more than the caches hold, so that neither input is left in one by what ran before: a
// reader that streams through its input then runs at the speed of memory on both, not from a
// cache on the small one alone.
void evictCaches() {
    static std::vector<char> junk(48 << 20, 1);
    volatile char sum = 0;
    for (std::size_t i = 0; i < junk.size(); i += 64)
        sum = static_cast<char>(sum + junk[i]);
}

// The processor time of this thread alone, so that other programs on a busy machine do not
// count.
double seconds(const std::function<void()>& run) {
    evictCaches();
    const double start = threadSeconds();
    run();
    return threadSeconds() - start;
}

// make(size) gives the worst input of size bytes; read reads it. Each is timed in turn, again
// and again, and the shortest times are compared: while the machine is busy elsewhere (another
// program on the same core slows down memory more than a cache) a run can take longer, for up
// to a few seconds, while a reader that is not linear is slow in every run.
void expectLinear(const char* name, const std::function<std::string(std::size_t)>& make,
                  const std::function<void(std::string_view)>& read) {
#ifdef MAROKET_TIMING_SKEWED
    GTEST_SKIP() << "timed only without the sanitizers";
#endif
    // The allocator gives blocks of a few MB back to the system when they are freed, and each
    // run would then pay for mapping them in again, which a 64 KB input never meets. Kept, they
    // cost that only once, and what is measured is the reader.
    static const bool keptBlocks =
        ::mallopt(M_MMAP_THRESHOLD, 32 << 20) == 1 && ::mallopt(M_TRIM_THRESHOLD, 256 << 20) == 1;
    ASSERT_TRUE(keptBlocks);
    const std::string small = make(kSmall), large = make(kLarge);
    double shortestSmall = 1e9, shortestLarge = 1e9;
    const auto begin = std::chrono::steady_clock::now();
    for (int round = 1;; ++round) {
        shortestSmall = std::min(shortestSmall, seconds([&] { read(small); }));
        shortestLarge = std::min(shortestLarge, seconds([&] { read(large); }));
        if (round < 3)
            continue;
        if (shortestLarge <= kRatioMax * shortestSmall ||
            std::chrono::steady_clock::now() - begin > std::chrono::seconds(3))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (shortestLarge <= kRatioMax * shortestSmall)
        return;
    ADD_FAILURE() << name << ": 1 MB took " << shortestLarge / shortestSmall
                  << " times as long as 64 KB";
}

auto reading(std::string_view unit, std::string_view head = {}, std::string_view tail = {}) {
    return [=](std::size_t size) {
        return std::string(head) + repeated(unit, size - head.size(), tail);
    };
}

TEST(LinearTime, EncodedWords) {
    const auto decode = [](std::string_view text) { (void)CEncodedWords::decode(text); };
    // Starts without an end, one long word without an end, words in ever other charsets.
    expectLinear("starts", reading("=?a?B?x"), decode);
    expectLinear("no end", reading("x", "=?utf-8?Q?"), decode);
    expectLinear("charsets", reading("=?x-a?Q?a?= =?x-b?Q?b?= "), decode);
}

TEST(LinearTime, HtmlText) {
    const auto convert = [](std::string_view html) { (void)CHtmlText::toPlainText(html); };
    expectLinear("ampersands", reading("&"), convert);
    expectLinear("references", reading("&#"), convert);
    expectLinear("tags", reading("<a"), convert);
    expectLinear("script", reading("</scrip", "<script>"), convert);
    expectLinear("comment", reading("<!-", "<!--"), convert);
}

TEST(LinearTime, HeaderSummary) {
    const auto summarize = [](std::string_view top) {
        (void)CHeaderDecoder::summarize(top, "-saknas-");
    };
    expectLinear("subject", reading("=?a?B?x", "Subject: "), summarize);
    expectLinear("folds", reading("\r\n =?a?Q?x?=", "From: a"), summarize);
    expectLinear("keys", reading("subjec"), summarize);
}

TEST(LinearTime, MimeWalk) {
    const auto preview = [](std::string_view reply) { (void)CMessageText::preview(reply); };
    const auto text = [](std::string_view message) { (void)CMessageText::readableText(message); };
    const char* multipart = "Content-Type: multipart/mixed; boundary=a\r\n\r\n";
    expectLinear("empty parts", reading("--a\r\n\r\n", multipart), preview);
    expectLinear("header lines", reading("X:\r\n"), preview);
    expectLinear("parameters", reading("; a=b", "Content-Type: text/plain"), text);
    expectLinear("folded nesting",
                 reading("Content-Type:\r\n multipart/mixed; boundary=a\r\n\r\n--a\r\n"), text);
    expectLinear("html", reading("&", "Content-Type: text/html\r\n\r\n"), text);
    expectLinear("stuffed dots", reading("..\r\n", "Subject: x\r\n\r\n"), preview);
}

TEST(LinearTime, Pop3Listings) {
    expectLinear("list", reading("1 1\r\n"),
                 [](std::string_view data) { (void)CReplyParser::parseListSizes(data); });
    // Ids as long as Dovecot's: shorter ones only make the tables of 1 MB outgrow the
    // processor's cache sooner.
    const auto uidl = [](std::size_t size) {
        std::string data;
        for (int n = 1; data.size() < size; ++n)
            data += std::to_string(n) + " 4bcd1234" + std::to_string(10000000 + n) + "\r\n";
        return data;
    };
    expectLinear("uidl", uidl, [](std::string_view data) {
        std::vector<std::string> uids;
        EXPECT_TRUE(CReplyParser::parseUidl(
            data, static_cast<int>(std::count(data.begin(), data.end(), '\n')), uids));
    });
    const auto capa = reading("X", "", "\r\nSTLS\r\n.\r\n");
    expectLinear("capa", capa, [](std::string_view data) {
        EXPECT_TRUE(CReplyParser::listsCapability(data, "STLS"));
    });
    expectLinear("capa in pieces", capa, [](std::string_view data) {
        CReplyParser::CapabilityScan scan;
        for (std::size_t i = 0; i < data.size(); i += 7)
            scan.feed(data.substr(i, 7));
        EXPECT_TRUE(scan.stls());
    });
}

TEST(LinearTime, EndOfDataInEveryReceive) {
    // Near misses of the terminator, one byte per receive and all in one.
    expectLinear("near misses", reading("\r\n.\r"), [](std::string_view data) {
        CEndOfData byByte, whole;
        for (char c : data)
            byByte.feed(std::string_view(&c, 1));
        whole.feed(data);
        EXPECT_FALSE(byByte.complete() || whole.complete());
    });
}

TEST(LinearTime, SmtpReply) {
    expectLinear("continued lines", reading("250-A\r\n", "", "250 B\r\n"),
                 [](std::string_view data) {
                     CSmtpReply reply;
                     for (std::size_t i = 0; i < data.size(); i += 3)
                         reply.feed(data.substr(i, 3));
                     EXPECT_TRUE(reply.complete());
                     (void)reply.lists("STARTTLS");
                     (void)reply.listsAuth("PLAIN");
                 });
}

TEST(LinearTime, ContentWindowText) {
    const auto shape = [](std::string_view text) { (void)CContentText::forDisplay(text); };
    expectLinear("one line", reading("a"), shape);
    expectLinear("blanks", reading("a "), shape);
}

} // namespace
