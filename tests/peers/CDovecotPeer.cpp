#include "tests/peers/CDovecotPeer.h"

#include "tests/peers/CPeerProcess.h"

#include "tests/peers/CFreePort.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

bool writeFile(const std::string& path, const std::string& bytes, mode_t mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0;
}

} // namespace

CDovecotPeer::CDovecotPeer()
    : CTestPeer({"dovecot", "dovecot", "/tmp/maroket-dovecot-XXXXXX", "dovecot.log", 10s, true}) {}

void CDovecotPeer::addConfig(const std::string& lines) {
    extraConfig_ += lines + "\n";
}

void CDovecotPeer::listenWithTls(const std::string& address, const std::string& certificateFile,
                                 const std::string& keyFile) {
    tlsAddress_ = address;
    tlsCertificate_ = certificateFile;
    tlsKey_ = keyFile;
}

bool CDovecotPeer::prepare(std::string& error) {
    if (!dir().empty())
        return true;
    // Under /tmp rather than $TMPDIR or the test's runtime folder: the mail and login users must
    // be able to reach it, and Dovecot's socket paths must stay short.
    if (!CTestPeer::prepare(error))
        return false;
    ::chmod(dir().c_str(), 0755);

    // As root, Dovecot drops to its own users and delivers as nobody. As anyone else it can only
    // run everything as that user.
    root_ = ::geteuid() == 0;
    mailUid_ = ::geteuid();
    mailGid_ = ::getegid();
    if (root_) {
        const passwd* nobody = ::getpwnam("nobody");
        const group* nogroup = ::getgrnam("nogroup");
        if (!nobody || !nogroup) {
            error = "no user nobody or group nogroup";
            return false;
        }
        mailUid_ = nobody->pw_uid;
        mailGid_ = nogroup->gr_gid;
    }

    for (const char* sub : {"Maildir", "Maildir/new", "Maildir/cur", "Maildir/tmp", "home"}) {
        std::string path = dir() + "/" + sub;
        if (::mkdir(path.c_str(), 0700) != 0 ||
            (root_ && ::chown(path.c_str(), mailUid_, mailGid_) != 0)) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
    }
    // Read by the auth process, which runs as Dovecot's internal user.
    if (!writeFile(dir() + "/passwd", user() + ":{PLAIN}" + password() + "\n", 0644)) {
        error = "cannot write " + dir() + "/passwd";
        return false;
    }
    return true;
}

bool CDovecotPeer::writeConfig(std::string& error) {
    std::string loginUser = "dovenull";
    std::string internalUser = "dovecot";
    std::string internalGroup = "dovecot";
    if (!root_) {
        const passwd* me = ::getpwuid(::geteuid());
        const group* myGroup = ::getgrgid(::getegid());
        if (!me || !myGroup) {
            error = "the current user or group has no name";
            return false;
        }
        loginUser = internalUser = me->pw_name;
        internalGroup = myGroup->gr_name;
    }

    // The token is checked with the provider at each login, as the large providers' servers do.
    const bool oauth = !introspectionUrl_.empty();
    const std::string oauthConfig = "introspection_mode = post\n"
                                    "introspection_url = " +
                                    introspectionUrl_ + "\nusername_attribute = username\n" +
                                    "active_attribute = active\nactive_value = true\n" +
                                    "force_introspection = yes\n";
    if (oauth && !writeFile(dir() + "/oauth2.conf.ext", oauthConfig, 0644)) {
        error = "cannot write " + dir() + "/oauth2.conf.ext";
        return false;
    }
    std::ostringstream conf;
    conf << "# Private test server: POP3 on loopback only, every path under " << dir() << ".\n"
         << "protocols = pop3\n"
         << "listen = 127.0.0.1\n"
         << "base_dir = " << dir() << "/run\n"
         << "state_dir = " << dir() << "/state\n"
         << "log_path = " << dir() << "/dovecot.log\n"
         << (!tlsAddress_.empty()        ? "ssl = required\n"
             : !stlsCertificate_.empty() ? "ssl = yes\n"
                                         : "ssl = no\n")
         << "disable_plaintext_auth = no\n"
         << "auth_mechanisms = plain" << (oauth ? " xoauth2 oauthbearer" : "") << "\n"
         << "auth_verbose = yes\n"
         // Tests try wrong passwords on purpose; the default 2 s delay only slows them down
         // (Dovecot still answers a failure only at its next 0.5 s tick).
         << "auth_failure_delay = 0\n"
         << "default_login_user = " << loginUser << "\n"
         << "default_internal_user = " << internalUser << "\n"
         << "default_internal_group = " << internalGroup << "\n"
         << "mail_location = maildir:" << dir() << "/Maildir\n"
         << "mail_fsync = never\n"
         << "pop3_no_flag_updates = yes\n"
         << "passdb {\n"
         << "  driver = passwd-file\n"
         << (oauth ? "  mechanisms = plain\n" : "") << "  args = " << dir() << "/passwd\n"
         << "}\n";
    if (oauth)
        conf << "passdb {\n"
             << "  driver = oauth2\n"
             << "  mechanisms = xoauth2 oauthbearer\n"
             << "  args = " << dir() << "/oauth2.conf.ext\n"
             << "}\n";
    conf << "userdb {\n"
         << "  driver = static\n"
         << "  args = uid=" << mailUid_ << " gid=" << mailGid_ << " home=" << dir() << "/home\n"
         << "}\n"
         // chroot needs root; the jail buys a test server nothing, so it is off for everyone.
         // Without its penalty socket, auth cannot hold back the next login from 127.0.0.1 after
         // a wrong password (2 s and growing), which every test would otherwise pay.
         << "service anvil {\n"
         << "  chroot =\n"
         << "  unix_listener anvil-auth-penalty {\n"
         << "    mode = 0\n"
         << "  }\n"
         << "}\n"
         << "service pop3-login {\n"
         << "  chroot =\n"
         << "  inet_listener pop3 {\n"
         << "    port = " << port_ << "\n"
         << "  }\n"
         << "  inet_listener pop3s {\n";
    if (tlsAddress_.empty()) {
        conf << "    port = 0\n";
    } else {
        conf << "    address = " << tlsAddress_ << "\n"
             << "    port = " << kTlsPort << "\n"
             << "    ssl = yes\n";
    }
    conf << "  }\n"
         << "}\n";
    if (!tlsAddress_.empty())
        conf << "ssl_cert = <" << tlsCertificate_ << "\n"
             << "ssl_key = <" << tlsKey_ << "\n";
    else if (!stlsCertificate_.empty())
        conf << "ssl_cert = <" << stlsCertificate_ << "\n"
             << "ssl_key = <" << stlsKey_ << "\n";
    conf << extraConfig_;
    if (!writeFile(dir() + "/dovecot.conf", conf.str(), 0644)) {
        error = "cannot write " + dir() + "/dovecot.conf";
        return false;
    }
    return true;
}

bool CDovecotPeer::pickPlace(std::string& error) {
    return pickPort(host(), port_, error);
}

bool CDovecotPeer::launch(std::string& error) {
    if (!writeConfig(error))
        return false;
    // Errors from before Dovecot's log process is up go to stderr, which joins the log file.
    return startProcess({"/usr/sbin/dovecot", "dovecot"},
                        {"dovecot", "-F", "-c", dir() + "/dovecot.conf"}, error);
}

// The master accepts on the listener before a login process is up (or while it keeps failing),
// so only a greeting proves the server ready.
bool CDovecotPeer::answers() const {
    return CPeerProcess::greets(port_, "+OK");
}

std::string CDovecotPeer::waitedFor() const {
    return "greet on port " + std::to_string(port_);
}

bool CDovecotPeer::addMessage(const std::string& bytes) {
    std::string error;
    if (!prepare(error))
        return false;
    // Dovecot numbers new mail in the order of the time stamp, then the microseconds, in the
    // file name, so both grow with every message.
    const int n = ++added_;
    const std::string name =
        std::to_string(1000000000 + n) + ".M" + std::to_string(n) + "P1.maroket";
    const std::string staged = dir() + "/Maildir/tmp/" + name;
    if (!writeFile(staged, bytes, 0600) ||
        (root_ && ::chown(staged.c_str(), mailUid_, mailGid_) != 0))
        return false;
    // Renamed into new/ only when complete, so a running server never sees half a message.
    return ::rename(staged.c_str(), (dir() + "/Maildir/new/" + name).c_str()) == 0;
}

int CDovecotPeer::messagesOnDisk() const {
    int count = 0;
    for (const char* sub : {"/Maildir/new", "/Maildir/cur"}) {
        std::error_code ec;
        for (fs::directory_iterator it(dir() + sub, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file())
                ++count;
    }
    return count;
}

std::string CDovecotPeer::authenticate(const std::string& mechanism,
                                       const std::string& response) const {
    const int fd = CPeerProcess::connectTo(host(), port_, 10);
    if (fd < 0)
        return {};
    auto line = [fd] {
        std::string text;
        char c = 0;
        while (::recv(fd, &c, 1, 0) == 1) {
            text += c;
            if (c == '\n')
                break;
        }
        return text;
    };
    auto send = [fd](const std::string& text) {
        return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size());
    };
    std::string answer;
    if (line().rfind("+OK", 0) == 0 && send("AUTH " + mechanism + " " + response + "\r\n")) {
        answer = line();
        if (answer.rfind("+ ", 0) == 0 && send("\r\n"))
            answer += line();
    }
    ::close(fd);
    return answer;
}
