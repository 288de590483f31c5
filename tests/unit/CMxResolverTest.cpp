#include "send/CMxResolver.h"
#include "send/CDnsPacket.h"
#include "support/CFakeSocketFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

using namespace std::string_literals;

namespace {

std::string label(std::string_view text) {
    return static_cast<char>(text.size()) + std::string(text);
}

std::string pointer(int offset) {
    return "\xc0"s + static_cast<char>(offset);
}

const std::string kExampleOrg = label("example") + label("org") + '\0';
constexpr int kQuestionName = 12;
constexpr int kOrgLabel = 20;    // "org" inside the question name
constexpr int kFirstRecord = 29; // 12 header + 13 name + type + class

std::string header(int answers) {
    return "\x00\x01\x81\x80\x00\x01\x00"s + static_cast<char>(answers) + "\x00\x00\x00\x00"s;
}

std::string question() {
    return kExampleOrg + "\x00\x0f\x00\x01"s;
}

std::string record(const std::string& owner, int type, const std::string& data) {
    return owner + '\0' + static_cast<char>(type) + "\x00\x01\x00\x00\x0e\x10"s + '\0' +
           static_cast<char>(data.size()) + data;
}

std::string mx(const std::string& owner, const std::string& exchange, int preference = 10) {
    return record(owner, 15, "\x00"s + static_cast<char>(preference) + exchange);
}

// The answer in a heap block of exactly its size, so that any read past it is caught by the
// address sanitizer (a std::string's spare capacity would hide it).
std::string exchangerOf(const std::string& answer) {
    auto bytes = std::make_unique<char[]>(answer.size());
    std::copy(answer.begin(), answer.end(), bytes.get());
    return CDnsPacket::firstExchanger(std::string_view(bytes.get(), answer.size()));
}

std::string longName(std::initializer_list<int> labelLengths) {
    std::string name;
    char fill = 'a';
    for (int length : labelLengths)
        name += (name.empty() ? "" : ".") + std::string(static_cast<size_t>(length), fill++);
    return name;
}

std::string encoded(const std::string& dotted) {
    std::string out;
    size_t start = 0;
    for (size_t dot; (dot = dotted.find('.', start)) != std::string::npos; start = dot + 1)
        out += label(dotted.substr(start, dot - start));
    return out + label(dotted.substr(start)) + '\0';
}

const std::string kExampleOrgQuery =
    "\x00\x01\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00"s + kExampleOrg + "\x00\x0f\x00\x01"s;

TEST(CDnsPacketTest, QueryWritesTheNameAsLabels) {
    EXPECT_EQ(CDnsPacket::buildQuery("example.org"), kExampleOrgQuery);
    EXPECT_EQ(kExampleOrgQuery.size(), 17u + 12u);

    EXPECT_EQ(CDnsPacket::buildQuery("localhost"),
              "\x00\x01\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00\x09localhost\x00\x00\x0f\x00\x01"s);

    const std::string longest = longName({63, 63, 63, 63});
    ASSERT_EQ(longest.size(), 255u);
    const std::string query = CDnsPacket::buildQuery(longest);
    EXPECT_EQ(query.size(), 17u + 256u);
    EXPECT_EQ(query.substr(12, 257), encoded(longest)); // labels and the zero byte
}

TEST(CDnsPacketTest, QueryRefusesNamesThatCannotBeLabels) {
    for (const std::string& name : {""s, "."s, "example..org"s, ".example.org"s, "example.org."s,
                                    longName({64, 3}), longName({63, 63, 63, 62, 1})}) {
        EXPECT_EQ(CDnsPacket::buildQuery(name), "") << name;
    }
}

TEST(CDnsPacketTest, FirstRecordGivesTheExchangerWhateverTheOwnerSpelling) {
    // Owner as a pointer to the question, exchange as a label and a pointer.
    EXPECT_EQ(exchangerOf(header(1) + question() +
                          mx(pointer(kQuestionName), label("mx") + pointer(kQuestionName))),
              "mx.example.org");
    // Owner spelled out in full, exchange likewise.
    EXPECT_EQ(exchangerOf(header(1) + question() + mx(kExampleOrg, encoded("mail.example.org"))),
              "mail.example.org");
    // Pointers into the middle of the question, or to all of it.
    EXPECT_EQ(exchangerOf(header(1) + question() +
                          mx(pointer(kQuestionName), label("mx") + pointer(kOrgLabel))),
              "mx.org");
    EXPECT_EQ(exchangerOf(header(1) + question() + mx(kExampleOrg, pointer(kQuestionName))),
              "example.org");
    // The first listed wins, not the better preference.
    EXPECT_EQ(exchangerOf(header(2) + question() +
                          mx(pointer(kQuestionName), encoded("mx20.example.org"), 20) +
                          mx(pointer(kQuestionName), encoded("mx10.example.org"), 10)),
              "mx20.example.org");
}

TEST(CDnsPacketTest, OnlyTheExactPointerByteJumps) {
    // 193 is a label length, however unusual.
    const std::string a193(193, 'a');
    EXPECT_EQ(exchangerOf(header(1) + question() + mx(pointer(kQuestionName), label(a193) + '\0')),
              a193);
    // A pointer reaches the last offset of a 256-byte answer.
    std::string answer =
        header(1) + question() + mx(pointer(kQuestionName), label("mx") + pointer(250));
    answer.resize(250, '\0');
    answer += label("host") + '\0';
    ASSERT_EQ(answer.size(), 256u);
    EXPECT_EQ(exchangerOf(answer), "mx.host");
}

TEST(CDnsPacketTest, NoMxAsFirstRecordGivesEmpty) {
    EXPECT_EQ(exchangerOf(header(0) + question()), "");
    std::string padded = header(0) + question();
    padded.resize(256, '\0');
    EXPECT_EQ(exchangerOf(padded), "");
    // A CNAME first; the MX behind it is not looked at.
    EXPECT_EQ(exchangerOf(header(2) + question() +
                          record(pointer(kQuestionName), 5, encoded("alias.example.net")) +
                          mx(pointer(kQuestionName), encoded("mx.example.org"))),
              "");
}

TEST(CDnsPacketTest, MalformedAnswersGiveEmptyWithoutReadingPastThem) {
    const std::string start = header(1) + question();
    const int exchange = kFirstRecord + 2 + 12; // owner pointer, fixed fields, preference
    const std::string cases[] = {
        // Pointer loops: onto itself, through a label, and in the question name.
        start + mx(pointer(kQuestionName), pointer(exchange)),
        start + mx(pointer(kQuestionName), label("loop") + pointer(exchange)),
        header(1) + pointer(kQuestionName) + "\x00\x0f\x00\x01"s,
        // A pointer, or a label, past the received bytes; a pointer cut after its first byte.
        start + mx(pointer(kQuestionName), label("mx") + pointer(250)),
        start + mx(pointer(kQuestionName), label("mx") + "\x14"s + "abc"),
        start + mx(pointer(kQuestionName), label("mx") + "\xc0"s),
        // Shorter than a header.
        "\x00\x01\x81"s,
    };
    for (const auto& answer : cases)
        EXPECT_EQ(exchangerOf(answer), "");

    // Every cut of a good answer, wherever it falls.
    for (const std::string& whole :
         {start + mx(pointer(kQuestionName), label("mx") + pointer(kQuestionName)),
          start + mx(kExampleOrg, encoded("mail.example.org"))}) {
        ASSERT_NE(exchangerOf(whole), "");
        for (size_t length = 0; length < whole.size(); ++length)
            EXPECT_EQ(exchangerOf(whole.substr(0, length)), "") << "cut at " << length;
    }
}

TEST(CDnsPacketTest, NamesUpTo255Characters) {
    const std::string longest = longName({63, 63, 63, 63});
    const std::string tooLong = longName({63, 63, 63, 62, 1});
    ASSERT_EQ(tooLong.size(), 256u);
    EXPECT_EQ(exchangerOf(header(1) + question() + mx(pointer(kQuestionName), encoded(longest))),
              longest);
    EXPECT_EQ(exchangerOf(header(1) + question() + mx(pointer(kQuestionName), encoded(tooLong))),
              "");
    // Labels followed by a pointer to the question's "example.org": the whole counts.
    auto withQuestionName = [](const std::string& prefix) {
        const std::string labels = encoded(prefix).substr(0, prefix.size() + 1);
        return exchangerOf(header(1) + question() +
                           mx(pointer(kQuestionName), labels + pointer(kQuestionName)));
    };
    const std::string fits = longName({63, 63, 63, 51});
    ASSERT_EQ(fits.size() + 12, 255u);
    EXPECT_EQ(withQuestionName(fits), fits + ".example.org");
    EXPECT_EQ(withQuestionName(longName({63, 63, 63, 52})), "");
}

class CMxResolverTest : public ::testing::Test {
protected:
    CFakeSocketFactory factory;
    CMxResolver resolver{&factory};
    const std::string goodAnswer =
        header(1) + question() + mx(pointer(kQuestionName), label("mx") + pointer(kQuestionName));
};

TEST_F(CMxResolverTest, SendsOneQueryToPort53AndReadsTheAnswer) {
    auto socket = factory.addDatagramSocket();
    socket->answer(goodAnswer);
    resolver.setDnsServer("dns.example.net");

    EXPECT_EQ(resolver.lookup("example.org"), 1);
    EXPECT_EQ(resolver.getResult(), "mx.example.org");
    EXPECT_EQ(socket->host(), "dns.example.net");
    EXPECT_EQ(socket->port(), 53);
    ASSERT_EQ(socket->sent().size(), 1u);
    EXPECT_EQ(socket->sent()[0], kExampleOrgQuery);
    EXPECT_EQ(socket->receives(), 1);

    // A 255-character name goes out whole.
    const std::string longest = longName({63, 63, 63, 63});
    auto second = factory.addDatagramSocket();
    resolver.lookup(longest);
    ASSERT_EQ(second->sent().size(), 1u);
    EXPECT_EQ(second->sent()[0], CDnsPacket::buildQuery(longest));
    EXPECT_EQ(second->sent()[0].size(), 273u);
}

TEST_F(CMxResolverTest, OnlyTheFirst256BytesOfTheAnswerCount) {
    resolver.setDnsServer("192.0.2.53");
    // The exchange name fits, then trailing bytes past 256.
    std::string withTail = goodAnswer + std::string(300, '\x01');
    factory.addDatagramSocket()->answer(withTail);
    resolver.lookup("example.org");
    EXPECT_EQ(resolver.getResult(), "mx.example.org");

    // The exchange name runs past byte 256, so it arrives cut.
    std::string straddling =
        header(1) + question() + mx(pointer(kQuestionName), label(std::string(250, 'x')) + '\0');
    ASSERT_GT(straddling.size(), 256u);
    factory.addDatagramSocket()->answer(straddling);
    resolver.lookup("example.org");
    EXPECT_EQ(resolver.getResult(), "");
}

TEST_F(CMxResolverTest, NoServerNoAnswerOrBadNameGivesEmpty) {
    resolver.setDnsServer("192.0.2.53");
    factory.addDatagramSocket()->answer(goodAnswer);
    resolver.lookup("example.org");
    ASSERT_EQ(resolver.getResult(), "mx.example.org");

    // Time-out: the earlier result does not linger.
    auto silent = factory.addDatagramSocket();
    EXPECT_EQ(resolver.lookup("example.org"), 1);
    EXPECT_EQ(resolver.getResult(), "");
    EXPECT_EQ(silent->sent().size(), 1u);

    auto refused = factory.addDatagramSocket();
    refused->refuseSend().answer(goodAnswer);
    resolver.lookup("example.org");
    EXPECT_EQ(resolver.getResult(), "");
    EXPECT_EQ(refused->receives(), 0);

    // No socket to be had.
    resolver.lookup("example.org");
    EXPECT_EQ(resolver.getResult(), "");

    // Nothing is sent for a name that cannot be written, nor without a server.
    const int created = factory.datagramSocketsCreated();
    auto unused = factory.addDatagramSocket();
    unused->answer(goodAnswer);
    for (const std::string& bad : {"example..org"s, longName({63, 63, 63, 62, 1})})
        EXPECT_EQ(resolver.lookup(bad), 1);
    resolver.setDnsServer("");
    EXPECT_EQ(resolver.lookup("example.org"), 1);
    EXPECT_EQ(resolver.getResult(), "");
    EXPECT_EQ(factory.datagramSocketsCreated(), created);
    EXPECT_TRUE(unused->sent().empty());
}

} // namespace
