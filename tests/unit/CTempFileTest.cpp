// The downloaded messages' files and their folder: a file of its own for each download, and
// nothing that may stand at a path is followed, truncated or sent.
#include "platform/CTempFile.h"
#include "platform/CFile.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "send/CSmtpSession.h"
#include "support/CFakeSocketFactory.h"
#include "support/CLoopbackServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

class CTempFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CTempFile::folder(folder, error)) << error;
        path = folder + "/planted";
        // Somewhere else on the same file system, holding a file the program must not touch.
        elsewhere = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/elsewhere";
        ::mkdir(elsewhere.c_str(), 0700);
        victim = elsewhere + "/victim";
        std::ofstream(victim, std::ios::binary) << "keep me";
    }
    void TearDown() override {
        ::chmod(folder.c_str(), 0700);
        ::unlink(path.c_str());
        ::unlink(victim.c_str());
        ::rmdir(elsewhere.c_str());
    }

    std::string path, error, folder, elsewhere, victim;
};

TEST_F(CTempFileTest, AnythingButOurOwnPlainFileAtThePathIsRefusedUntouched) {
    CFile file;
    ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);
    EXPECT_FALSE(file.openForWrite(path));
    EXPECT_FALSE(file.openForRead(path));
    ::unlink(path.c_str());

    // A second name of another file: truncating it would destroy that file.
    ASSERT_EQ(::link(victim.c_str(), path.c_str()), 0);
    EXPECT_FALSE(file.openForWrite(path));
    EXPECT_FALSE(file.errorText().empty());
    ::unlink(path.c_str());
    EXPECT_EQ(fileBytes(victim), "keep me");

    // A pipe would block the open for ever.
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(file.openForWrite(path));
    EXPECT_FALSE(file.openForRead(path));
    ::unlink(path.c_str());

    // Our own file, left readable by others, is truncated and made private again.
    std::ofstream(path, std::ios::binary) << "old message";
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(file.openForWrite(path)) << file.errorText();
    EXPECT_TRUE(file.write("new"));
    file.close();
    EXPECT_EQ(fileBytes(path), "new");
    EXPECT_EQ(modeOf(path) & 0777, 0600u);
}

// A link planted in the folder is never written through: each download makes a file of its own
// name. Nor is a forward sent from what a link points at.
TEST_F(CTempFileTest, APlantedLinkIsNeitherWrittenNorSent) {
    ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);
    CFakeSocketFactory factory;
    factory.addScript()
        ->server("+OK\r\n")
        .client("CAPA\r\n")
        .server("-ERR\r\n")
        .client("USER anna\r\n")
        .server("+OK\r\n")
        .client("PASS x\r\n")
        .server("+OK\r\n")
        .client("RETR 1\r\n")
        .server("+OK\r\nSubject: s\r\n\r\nbody\r\n.\r\n");
    CPop3Session session;
    session.setSocketFactory(&factory);
    session.setUser("anna");
    session.setPassword(CSecret("x"));
    ASSERT_TRUE(session.login());
    CMessageDownload download(session, nullptr, nullptr);
    ASSERT_TRUE(download.run(1)) << session.getErrorText();
    EXPECT_NE(download.file(), path);
    EXPECT_EQ(fileBytes(download.file()), "Subject: s\r\n\r\nbody\r\n.\r\n");
    EXPECT_EQ(modeOf(download.file()) & 0777, 0600u);
    EXPECT_EQ(fileBytes(victim), "keep me");

    auto script = factory.addScript();
    script->server("220 ready\r\n")
        .client("HELO nada\r\n")
        .server("250 ok\r\n")
        .client("MAIL FROM: <anna@example.org>\r\n")
        .server("250 ok\r\n")
        .client("RCPT TO:<bo@example.org>\r\n")
        .server("250 ok\r\n")
        .client("DATA\r\n")
        .server("354 go ahead\r\n");
    CSmtpSession smtp;
    smtp.setSocketFactory(&factory);
    smtp.setServer("mail.example");
    smtp.setHelo("nada");
    smtp.setFrom("anna@example.org");
    smtp.setTo("bo@example.org");
    smtp.setForwardFile(path);
    EXPECT_EQ(smtp.send(), 0);
    EXPECT_EQ(smtp.getStatusText().rfind("Det hämtade brevet kunde inte läsas: " + path, 0), 0u)
        << smtp.getStatusText();
    EXPECT_TRUE(script->finished()) << script->report();
}

// Two sessions (as two programs of one user) download at once, each a message of its own, their
// pieces interleaved: each file holds its own message whole. A taken file is its taker's to
// remove, and the folder goes once nothing is left in it.
TEST_F(CTempFileTest, TwoDownloadsAtOnceKeepTheirOwnBytes) {
    std::atomic<int> halfway{0};
    auto serve = [&halfway](std::string message) {
        return [&halfway, message](CLoopbackServer& s) {
            s.send("+OK\r\n");
            for (const char* reply : {"-ERR\r\n", "+OK\r\n", "+OK\r\n", "+OK\r\n"}) {
                s.readLine(); // CAPA, USER, PASS, RETR 1
                s.send(reply);
            }
            s.send(message.substr(0, message.size() / 2));
            ++halfway;
            s.waitFor([&] { return halfway.load() == 2; });
            s.send(message.substr(message.size() / 2) + ".\r\n");
            s.waitFor();
        };
    };
    const std::string first(200000, 'a'), second(200000, 'b');
    CLoopbackServer one(serve(first + "\r\n")), two(serve(second + "\r\n"));
    CPop3Session a, b;
    CMessageDownload fromA(a, nullptr, nullptr), fromB(b, nullptr, nullptr);
    auto download = [](CPop3Session& session, CMessageDownload& into, int port) {
        session.setHost("127.0.0.1");
        session.setPort(port);
        EXPECT_TRUE(session.login() && into.run(1)) << session.getErrorText();
    };
    std::thread other([&] { download(b, fromB, two.port()); });
    download(a, fromA, one.port());
    other.join();
    EXPECT_EQ(fileBytes(fromA.file()), first + "\r\n.\r\n");
    EXPECT_EQ(fileBytes(fromB.file()), second + "\r\n.\r\n");

    CTempFile taken = fromA.takeFile();
    a.dropConnection();
    EXPECT_EQ(fileBytes(taken.path()).size(), first.size() + 5);
    taken.remove();
    ::unlink(path.c_str());
    CTempFile::removeFolderIfEmpty();
    EXPECT_EQ(::access(folder.c_str(), F_OK), 0) << "b's file is still there";
    fromB.takeFile().remove();
    CTempFile::removeFolderIfEmpty();
    EXPECT_NE(::access(folder.c_str(), F_OK), 0);
}

TEST_F(CTempFileTest, TheFolderMustBeOursAndPrivate) {
    std::string other;
    // Left open to others: closed again before the path is handed out.
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    EXPECT_TRUE(CTempFile::folder(folder, error)) << error;
    EXPECT_EQ(modeOf(folder) & 0777, 0700u);

    // Someone else's folder under our name.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(CTempFile::folder(other, error));
        EXPECT_EQ(error, folder + ": mappen tillhör inte dig");
        ASSERT_EQ(::chown(folder.c_str(), 0, 0), 0);
    }

    // A link in the folder's place, to a folder that is ours.
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::symlink(elsewhere.c_str(), folder.c_str()), 0);
    EXPECT_FALSE(CTempFile::folder(other, error));
    EXPECT_EQ(error, folder + ": mappen tillhör inte dig");
    ASSERT_EQ(::unlink(folder.c_str()), 0);
    EXPECT_TRUE(CTempFile::folder(other, error)) << error;
}

TEST_F(CTempFileTest, AParentThatOthersMayWriteToIsRefusedUnlessSticky) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the parent folder to another user needs root";
    const std::string shared = elsewhere + "/shared";
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    // The fallback folder, as when there is no runtime folder.
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string savedTmpdir = tmpdir ? tmpdir : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("TMPDIR", shared.c_str(), 1);

    std::string fallback, reason;
    EXPECT_FALSE(CTempFile::folder(fallback, reason));
    EXPECT_EQ(reason, shared + ": mappen kan ändras av andra användare");
    const std::string ours = shared + "/maroket-0";
    EXPECT_NE(::rmdir(ours.c_str()), 0) << "something was made in the unsafe folder";

    // As /tmp is: root's and sticky.
    ASSERT_EQ(::chown(shared.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    EXPECT_TRUE(CTempFile::folder(fallback, reason)) << reason;
    EXPECT_EQ(fallback, ours);

    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    if (tmpdir)
        ::setenv("TMPDIR", savedTmpdir.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    ::rmdir(ours.c_str());
    ::rmdir(shared.c_str());
}

} // namespace
