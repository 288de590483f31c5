#include "peers/CDovecotPeer.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "support/CScriptedProgressHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// What a POP3 server sends for a stored message: CRLF line ends, leading dots doubled, the
// terminating line.
std::string onTheWire(const std::string& stored) {
    std::string out;
    std::istringstream in(stored);
    for (std::string line; std::getline(in, line);)
        out += (line.starts_with(".") ? "." : "") + line + "\r\n";
    return out + ".\r\n";
}

// The size a server lists: the message with CRLF line ends.
int listedSize(const std::string& stored) {
    return static_cast<int>(stored.size() + std::count(stored.begin(), stored.end(), '\n'));
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::string kFirst = "From: Anna <anna@example.org>\nSubject: Hej\nDate: Mon, 7 Dec 2026 "
                           "10:00:00 +0100\n\nRad ett.\n.en punkt\n..två\n";
const std::string kSecond = "From: bo@example.org\nSubject: Stort\n\n" + std::string(500, '.') +
                            "\n" + std::string(40000, 'x') + "\n";

class CPop3SessionPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(peer.start(error)) << error;
        ASSERT_TRUE(peer.addMessage(kFirst));
        ASSERT_TRUE(peer.addMessage(kSecond));
        session.setHost(peer.host());
        session.setPort(peer.port());
        session.setUser(peer.user());
    }
    // The session keeps a password for one login only.
    void logIn() {
        session.setPassword(CSecret(peer.password()));
        ASSERT_TRUE(session.login()) << session.getErrorText() << peer.log();
    }

    CDovecotPeer peer;
    CScriptedProgressHost progress;
    CPop3Session session;
    CMessageDownload download{session, &progress, nullptr};
};

TEST_F(CPop3SessionPeerTest, LoginListsAndReadsHeaders) {
    session.setPassword(CSecret("wrong"));
    EXPECT_FALSE(session.login());
    EXPECT_EQ(session.getErrorText().rfind("PASS: -ERR", 0), 0u) << session.getErrorText();
    EXPECT_TRUE(session.getErrorText().ends_with("\r\n"));

    logIn();
    ASSERT_TRUE(session.stat());
    const int firstSize = listedSize(kFirst);
    const int secondSize = listedSize(kSecond);
    EXPECT_EQ(session.getMessageCount(), 2);
    EXPECT_EQ(session.getMailboxOctets(), firstSize + secondSize);
    ASSERT_TRUE(session.list());
    EXPECT_EQ(session.getMessageSize(1), firstSize);
    EXPECT_EQ(session.getMessageSize(2), secondSize);

    ASSERT_TRUE(session.top(1, 0));
    EXPECT_EQ(session.getReplyText(),
              "From: Anna <anna@example.org>\r\nSubject: Hej\r\nDate: Mon, 7 Dec 2026 "
              "10:00:00 +0100\r\n\r\n.\r\n");
    EXPECT_FALSE(session.top(3, 0));
    EXPECT_TRUE(session.noop());
    ASSERT_TRUE(session.quit());
    EXPECT_FALSE(session.isConnected());
}

TEST_F(CPop3SessionPeerTest, RetrKeepsTheServersBytes) {
    logIn();
    ASSERT_TRUE(session.stat());
    ASSERT_TRUE(session.list());
    ASSERT_TRUE(download.run(1)) << session.getErrorText();
    EXPECT_EQ(fileBytes(download.file()), onTheWire(kFirst));
    EXPECT_TRUE(progress.windows.empty());

    // Above 32768 bytes the download reports to a progress window and ends it at the total.
    ASSERT_TRUE(download.run(2)) << session.getErrorText();
    EXPECT_EQ(fileBytes(download.file()), onTheWire(kSecond));
    ASSERT_EQ(progress.windows.size(), 1u);
    EXPECT_EQ(progress.windows[0]->total, session.getMessageSize(2));
    EXPECT_EQ(progress.windows[0]->position.load(), session.getMessageSize(2));
    EXPECT_TRUE(session.noop()); // the connection is still in step
}

TEST_F(CPop3SessionPeerTest, DeletionTakesEffectAtQuitAndNotAfterRset) {
    logIn();
    ASSERT_TRUE(session.dele(1));
    ASSERT_TRUE(session.rset());
    ASSERT_TRUE(session.quit());
    EXPECT_EQ(peer.messagesOnDisk(), 2);

    logIn();
    ASSERT_TRUE(session.dele(2));
    EXPECT_FALSE(download.run(2));
    EXPECT_EQ(session.getErrorText().rfind("RETR: -ERR", 0), 0u);
    ASSERT_TRUE(session.quit());
    EXPECT_EQ(peer.messagesOnDisk(), 1);

    logIn();
    ASSERT_TRUE(session.stat());
    EXPECT_EQ(session.getMessageCount(), 1);
}

TEST(CPop3SessionSummaryPeerTest, EveryMessageGetsItsDecodedSummary) {
    CDovecotPeer peer;
    std::string error;
    ASSERT_TRUE(peer.start(error)) << error;
    peer.addMessage("From: =?iso-8859-1?Q?Hej_d=E5?= <hej@example.org>\n"
                    "Subject: =?iso-8859-1?Q?R=E4kning?=\nDate: Tue, 8 Dec 2026 09:00:00 +0100\n\n"
                    "text\n");
    peer.addMessage("Resent-From: forst@example.org\nFrom:utan@example.org\n"
                    "Subject: =?ISO-8859-1?Q?R=E4kning?=\n\ntext\n");
    peer.addMessage("Subject: Vikt\n rad två\nFrom: c@example.org\n\ntext\n");
    CPop3Session session;
    session.setHost(peer.host());
    session.setPort(peer.port());
    session.setUser(peer.user());
    session.setPassword(CSecret(peer.password()));
    ASSERT_TRUE(session.login()) << session.getErrorText();
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(session.fetchSummary(n));
    const MessageTable& t = session.messageTable();
    ASSERT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.senderOf(1), "Hej då <hej@example.org>");
    EXPECT_EQ(t.subjectOf(1), "Räkning");
    EXPECT_EQ(t.dateOf(1), "Tue, 8 Dec 2026 09:00:00 +0100");
    EXPECT_EQ(t.senderOf(2), "forst@example.org");
    EXPECT_EQ(t.subjectOf(2), "Räkning"); // the charset in upper case too
    EXPECT_EQ(t.dateOf(2), "-saknas-");
    EXPECT_EQ(t.subjectOf(3), "Vikt rad två"); // unfolded, raw UTF-8
    EXPECT_EQ(t.senderOf(3), "c@example.org");
    // No fourth message: the refused TOP gives "-saknas-" throughout.
    EXPECT_EQ(t.senderOf(4), "-saknas-");
    EXPECT_EQ(t.subjectOf(4), "-saknas-");
}

} // namespace
