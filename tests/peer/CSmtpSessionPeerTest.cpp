#include "peers/CFreePort.h"
#include "peers/CSmtpSinkPeer.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpSession.h"
#include "support/CFixedStamps.h"
#include "support/CScriptedProgressHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A message as a POP3 server sends it after RETR, and so as the retrieved file holds it: CRLF
// line ends, leading dots doubled, the terminating line.
std::string onTheWire(const std::string& message) {
    std::string out;
    std::size_t start = 0;
    while (start < message.size()) {
        const std::size_t end = message.find("\r\n", start) + 2;
        if (message[start] == '.')
            out += '.';
        out.append(message, start, end - start);
        start = end;
    }
    return out + ".\r\n";
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// What CPython's email package reads from a stored message: the subject, the sender's display
// name and the body decoded by its Content-Type and transfer encoding, as UTF-8, joined by NUL
// bytes.
std::string readByPython(const std::string& data) {
    char path[] = "/tmp/maroket-mime-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return "mkstemp failed";
    ::close(fd);
    writeFile(path, data);
    const std::string script =
        "import email, email.policy, sys; "
        "m = email.message_from_bytes(open(sys.argv[1], \"rb\").read(), "
        "policy=email.policy.default); "
        "parts = [str(m[\"subject\"]), m[\"from\"].addresses[0].display_name, m.get_content()]; "
        "sys.stdout.buffer.write(\"\\0\".join(parts).encode(\"utf-8\"))";
    const std::string python =
        ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
    std::string out;
    if (FILE* pipe = ::popen((python + " -c '" + script + "' " + path).c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    ::unlink(path);
    return out;
}

class CSmtpSessionPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sink.start(error)) << error;
        session.setServer(sink.host());
        session.setPort(sink.port());
        session.setHelo("nada");
        session.setProgressHost(&progress);
    }
    // Sends and returns the one message the sink stored.
    CSmtpSinkPeer::Message sendOne() {
        const std::size_t before = sink.messages().size();
        EXPECT_EQ(session.send(), 1) << session.getStatusText() << sink.log();
        EXPECT_EQ(session.getStatusText(), "Brev skickat.");
        EXPECT_TRUE(sink.waitForMessages(before + 1)) << sink.log();
        auto stored = sink.messages();
        EXPECT_EQ(stored.size(), before + 1) << sink.log();
        return stored.empty() ? CSmtpSinkPeer::Message{} : stored.back();
    }

    CSmtpSinkPeer sink;
    CScriptedProgressHost progress;
    CSmtpSession session;
};

TEST_F(CSmtpSessionPeerTest, AComposedMessageIsStoredExactlyAsComposed) {
    CFixedStamps stamps;
    session.setMessageStamps(&stamps);
    session.setFrom("Anna A <anna@example.org>");
    session.setTo("Bo B <bo@example.org>");
    session.setSubject("Hej");
    session.setBody("Rad ett.\r\n.en punkt\r\n.\r\n..tva\r\nsista rad");
    const auto m = sendOne();
    EXPECT_EQ(m.helo, "nada");
    EXPECT_EQ(m.sender, "anna@example.org");
    EXPECT_EQ(m.recipients, std::vector<std::string>{"bo@example.org"});
    // The last line gets the line end that the data needs; nothing else is added.
    EXPECT_EQ(m.data, CFixedStamps::start() +
                          "From: Anna A <anna@example.org>\r\nTo: Bo B <bo@example.org>\r\n"
                          "Subject: Hej\r\nMessage-ID: <1@example.org>\r\n\r\n"
                          "Rad ett.\r\n.en punkt\r\n.\r\n..tva\r\nsista rad\r\n");
}

TEST_F(CSmtpSessionPeerTest, EightBitTextIsReadBackAsTypedByAnotherMailReader) {
    const std::string name = "Åsa Berg";
    const std::string subject = "Möte: 50% = hälften_? ";
    std::string body = "På =41 står inte A.\r\nBlanka sist \t \r\n.punkt\r\n";
    for (int i = 0; i < 40; ++i)
        body += "abå= "; // 200 characters
    body += "\r\n";
    session.setFrom(name + " <asa@example.org>");
    session.setTo("bo@example.org");
    session.setSubject(subject);
    session.setBody(body);
    const auto m = sendOne();
    EXPECT_EQ(m.sender, "asa@example.org");
    EXPECT_EQ(readByPython(m.data), subject + '\0' + name + '\0' + body) << m.data;
    EXPECT_NE(m.data.find("charset=iso-8859-1"), std::string::npos) << m.data;

    // Beyond ISO-8859-1 the same texts go out in UTF-8.
    session.setFrom("Łucja Żak <lucja@example.org>");
    session.setSubject(subject + "€ 😀");
    session.setBody(body + "Łódź\r\n");
    const auto wide = sendOne();
    EXPECT_EQ(readByPython(wide.data),
              subject + "€ 😀" + '\0' + "Łucja Żak" + '\0' + body + "Łódź\r\n")
        << wide.data;
}

TEST_F(CSmtpSessionPeerTest, AForwardedMessageArrivesAsTheOriginal) {
    const std::string path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/forwarded";
    const std::string head = "From: Bo <bo@example.org>\r\nDate: Tue, 8 Dec 2026 10:00:00 +0100\r\n"
                             "Message-ID: <vidare@example.org>\r\n";
    const std::string original = head + "Subject: Vidare\r\n\r\nRad.\r\n.en punkt\r\n.\r\nslut\r\n";
    writeFile(path, onTheWire(original));
    session.setFrom("bo@example.org");
    session.setTo("Cecilia <cecilia@example.org>");
    session.setForwardFile(path);
    auto m = sendOne();
    EXPECT_EQ(m.data, original);
    EXPECT_EQ(m.recipients, std::vector<std::string>{"cecilia@example.org"});
    EXPECT_FALSE(fileExists(path));

    // A large one goes in pieces behind the progress window, and still arrives whole.
    std::string large = head + "Subject: Stort\r\n\r\n";
    for (int i = 0; large.size() < 100000; ++i)
        large +=
            (i % 7 == 0 ? "." : "") + std::string(70, static_cast<char>('a' + i % 26)) + "\r\n";
    writeFile(path, onTheWire(large));
    session.setForwardFile(path);
    m = sendOne();
    EXPECT_EQ(m.data, large);
    ASSERT_EQ(progress.windows.size(), 1u);
    EXPECT_EQ(progress.windows[0]->position.load(), progress.windows[0]->total);

    // Neither transfer left a stray command line behind its own terminator.
    EXPECT_EQ(sink.log().find("unrecognised"), std::string::npos) << sink.log();

    // A message without a date is refused, as providers refuse it.
    writeFile(path,
              onTheWire("From: Bo <bo@example.org>\r\nMessage-ID: <x@example.org>\r\n\r\nx\r\n"));
    session.setForwardFile(path);
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(),
              "127.0.0.1: DATA: 550 5.7.1 Not RFC 5322: 0 Date fields\r\n");
}

TEST_F(CSmtpSessionPeerTest, TheAddressTestIsAcceptedAndAClosedPortCannotConnect) {
    session.setFrom("anna@example.org");
    EXPECT_EQ(session.testAddress("bo@example.org"), 1) << session.getStatusText();
    EXPECT_EQ(session.getStatusText(), "Adressen är giltig.");
    EXPECT_TRUE(sink.messages().empty());

    const int closed = CFreePort::pick();
    ASSERT_GT(closed, 0);
    session.setPort(closed);
    session.setTo("bo@example.org");
    session.setBody("Hej");
    const std::string refused =
        "Kan inte ansluta. Servern nekade anslutningen (port " + std::to_string(closed) + ").";
    EXPECT_EQ(session.send(), 0);
    EXPECT_EQ(session.getStatusText(), refused);
    EXPECT_EQ(session.testAddress("bo@example.org"), 0);
    EXPECT_EQ(session.getStatusText(), refused);
}

} // namespace
