// The header load and the download measured against a private Dovecot, on loopback and through a
// modelled wide-area link (bench/wan_proxy.py: 10 ms one way, 50 Mbit/s), side by side with
// CPython's poplib and a raw client that writes every TOP at once; the window's own load, the
// start-up and memory. Run through bench/load-vs-peers. The summary lines are meant for
// scripts:
//   loopback: maroket/poplib = X.XX maroket/pipelined = Y.YY
//   wan: maroket/poplib = X.XX maroket/pipelined = Y.YY
//   wan 10k: maroket/pipelined = Y.YY
//   retr loopback: N MB/s cpu P %
//   retr wan: N MB/s cpu P %
//   window wan: S s
//   rows 100k: S s, M MB resident
#include "app/CGuiWaitHook.h"
#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/CSettingsDlg.h"
#include "dialogs/IDialogRunner.h"
#include "dialogs/IdText.h"
#include "peers/CDovecotPeer.h"
#include "peers/CPeerProcess.h"
#include "platform/CSocketLayer.h"
#include "pop3/CMessageDownload.h"
#include "pop3/CPop3Session.h"
#include "support/CMemorySettingsStore.h"
#include "support/CRecordingSocketFactory.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// A message as mail arrives today: a few Received lines, an encoded subject, a body of 1 KB to
// bodyMax (200 KB unless smaller mailboxes on disk are wanted).
std::string realisticMessage(int n, std::mt19937& random, std::size_t bodyMax = 200 * 1024) {
    std::string m;
    for (int hop = 0; hop < 4; ++hop)
        m += "Received: from relay" + std::to_string(hop) + ".example.net (relay" +
             std::to_string(hop) + ".example.net [192.0.2." + std::to_string(hop + 1) +
             "])\n\tby mx.example.org with ESMTPS id " + std::to_string(100000 + n) +
             "; Tue, 8 Dec 2026 10:00:00 +0100\n";
    m += "From: =?iso-8859-1?Q?Avs=E4ndare_" + std::to_string(n) + "?= <a" + std::to_string(n) +
         "@example.org>\nTo: anna@example.org\nSubject: =?iso-8859-1?Q?M=F6te_nummer_" +
         std::to_string(n) + "?=\nDate: Tue, 8 Dec 2026 10:00:00 +0100\nMessage-ID: <" +
         std::to_string(n) +
         "@example.org>\nMIME-Version: 1.0\nContent-Type: text/plain; "
         "charset=iso-8859-1\nContent-Transfer-Encoding: quoted-printable\n\n";
    const std::size_t body = std::uniform_int_distribution<std::size_t>(1024, bodyMax)(random);
    const std::string line = "Hej! H=E4r kommer en rad text i brevet, lagom l=E5ng f=F6r en rad.\n";
    while (m.size() < body)
        m += line;
    return m;
}

class CYesRunner : public IDialogRunner {
public:
    // A dialog with a text field gets fill in it.
    int run(QDialog& dialog) override {
        for (auto* edit : dialog.findChildren<QLineEdit*>())
            edit->setText(fill);
        return 1;
    }
    bool askYesNo(const QString&) override { return true; }
    void notify(const QString&) override {}
    QString fill;
};

bool startPeer(CDovecotPeer& peer) {
    std::string error;
    if (!peer.start(error)) {
        std::fprintf(stderr, "Dovecot did not start: %s\n", error.c_str());
        return false;
    }
    return true;
}

// One header load as the window runs it: login with STAT, UIDL and LIST with the first header
// requests behind them, every summary through the link-sized window, the proof, QUIT.
double ourLoad(const std::string& host, int port, const CDovecotPeer& peer, int& summaries) {
    CPop3Session s;
    s.setHost(host);
    s.setPort(port);
    s.setUser(peer.user());
    s.setPassword(CSecret(peer.password()));
    s.setPipeliningAllowed(true);
    using Kind = CPop3Session::ReplyKind;
    const auto start = Clock::now();
    if (!s.login() || !s.stat())
        return -1;
    const int count = s.getMessageCount();
    s.beginRun();
    auto uidl = CPop3Session::UidlAnswer::Refused;
    int requested = 0;
    if (!s.uidlAndList(uidl, count, requested))
        return -1;
    for (int n = 1; n <= count; ++n) {
        while (requested < count && s.canSendAhead() && s.sendAhead(Kind::Top, requested + 1))
            ++requested;
        if (requested == count)
            s.sendRunCheck();
        if (!s.readAnswer())
            return -1;
    }
    if (!s.endRun() || !s.quit())
        return -1;
    summaries = s.messageTable().rowCount();
    return seconds(start);
}

double pythonLoad(const std::string& mode, const std::string& host, int port,
                  const CDovecotPeer& peer) {
    if (mode.empty())
        return 0;
    const std::string python =
        access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
    const std::string command = python + " " MAROKET_BENCH_DIR "/poplib_load.py " + mode + " " +
                                host + " " + std::to_string(port) + " " + peer.user() + " " +
                                peer.password() + " 1";
    double t = -1;
    if (FILE* out = popen(command.c_str(), "r")) {
        char name[32];
        if (std::fscanf(out, "%31s %lf", name, &t) != 2)
            t = -1;
        pclose(out);
    }
    return t;
}

// The wide-area link in front of a peer: its loopback port, 0 when it did not start.
class CWanLink {
public:
    explicit CWanLink(int targetPort) {
        std::string error;
        const std::string dir = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/wan-" +
                                std::to_string(targetPort) + ".log";
        pid_ = CPeerProcess::start({"/usr/bin/python3", "python3"},
                                   {"python3", MAROKET_BENCH_DIR "/wan_proxy.py", "127.0.0.1",
                                    std::to_string(targetPort), "--delay-ms", "10", "--mbit", "50"},
                                   dir, error);
        for (int i = 0; i < 200 && port_ == 0 && pid_ > 0; ++i) {
            usleep(50000);
            port_ = std::atoi(CPeerProcess::readFile(dir).c_str());
        }
    }
    ~CWanLink() { CPeerProcess::stop(pid_); }
    CWanLink(const CWanLink&) = delete;
    CWanLink& operator=(const CWanLink&) = delete;
    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// The three loads side by side, interleaved round by round; prints the setting's line. Without
// poplib (withPoplib false: a large mailbox over the link would take minutes) only the raw
// client is compared.
void compareLoads(const char* setting, const CDovecotPeer& peer, int port, int rounds,
                  bool withPoplib = true) {
    std::vector<double> ours, poplib, raw;
    int summaries = 0;
    for (int r = 0; r < rounds; ++r) {
        ours.push_back(ourLoad(peer.host(), port, peer, summaries));
        poplib.push_back(pythonLoad(withPoplib ? "poplib" : "", peer.host(), port, peer));
        raw.push_back(pythonLoad("pipelined", peer.host(), port, peer));
    }
    const double o = median(ours), p = median(poplib), w = median(raw);
    std::printf("# %s header load, median of %d: maroket %.3f s (%d summaries), poplib %.3f s, "
                "raw pipelined %.3f s\n",
                setting, rounds, o, summaries, p, w);
    if (withPoplib)
        std::printf("%s: maroket/poplib = %.2f maroket/pipelined = %.2f\n", setting,
                    p > 0 ? o / p : 0, w > 0 ? o / w : 0);
    else
        std::printf("%s: maroket/pipelined = %.2f\n", setting, w > 0 ? o / w : 0);
    std::fflush(stdout);
}

// RETR of the 20 MB message, median of three: MB/s and the share of the wall time on the CPU.
void measureRetr(const char* setting, const CDovecotPeer& peer, int port) {
    std::vector<double> rates, shares;
    for (int r = 0; r < 3; ++r) {
        CPop3Session s;
        s.setHost(peer.host());
        s.setPort(port);
        s.setUser(peer.user());
        s.setPassword(CSecret(peer.password()));
        if (!s.login() || !s.stat() || !s.list())
            continue;
        CMessageDownload download(s, nullptr, nullptr);
        const double cpu = cpuSeconds();
        const auto start = Clock::now();
        const bool ok = download.run(1);
        const double wall = seconds(start), used = cpuSeconds() - cpu;
        s.quit();
        if (ok) {
            rates.push_back(20.0 * 1048576 / 1e6 / wall);
            shares.push_back(100 * used / wall);
        }
    }
    std::printf("retr %s: %.1f MB/s cpu %.1f %%\n", setting, median(rates), median(shares));
    std::fflush(stdout);
}

// The start-up of the window as main() does it, reported to the parent once it is shown.
int startupChild(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!CSocketLayer::start())
        return 1;
    CGuiWaitHook::install();
    CQtSettingsStore store;
    CYesRunner runner;
    CMaroketDlg window(store, runner);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        app.processEvents(QEventLoop::AllEvents, 10);
    app.processEvents();
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    return 0;
}

double startupOnce(const char* self) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        execl(self, self, "--startup", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buf[16];
    const bool shown = read(fds[0], buf, sizeof buf) > 0;
    const double took = seconds(start);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return shown ? took : -1;
}

// The window's load of the mailbox behind the port, with its resident memory; the window is
// left connected.
double windowLoad(CMaroketDlg& window, const CDovecotPeer& peer, int port) {
    window.pop3().setPort(port);
    window.settingsDlg().settings().port = port;
    for (auto* edit : window.findChildren<QLineEdit*>()) {
        if (edit->window() != &window)
            continue;
        if (edit->objectName() == idText(ControlId::ServerEdit))
            edit->setText(QString::fromStdString(peer.host()));
        if (edit->objectName() == idText(ControlId::AccountEdit))
            edit->setText(QString::fromStdString(peer.user()));
        if (edit->objectName() == idText(ControlId::PasswordEdit))
            edit->setText(QString::fromStdString(peer.password()));
    }
    const auto start = Clock::now();
    window.onCommand(CommandId::Connect);
    return seconds(start);
}

// The window's load of 100 000 rows with their headers on loopback, its memory, and marking
// them all by sender; prints the line "rows 100k". The first connect lets Dovecot index them.
int rowsOf100k(int argc, char** argv, const CDovecotPeer& hundredThousand) {
    static QApplication* app = qApp ? qApp : new QApplication(argc, argv);
    CMemorySettingsStore store;
    CYesRunner runner;
    CMaroketDlg window(store, runner);
    window.setProgressHost(nullptr);
    window.show();
    app->processEvents();
    const long emptyWindowKiB = residentKiB();
    window.settingsDlg().settings().quickLogin = 200000;
    if (windowLoad(window, hundredThousand, hundredThousand.port()) < 0)
        return 1;
    window.onCommand(CommandId::Connect);
    window.pop3().cache().forget();
    app->processEvents();
    const long beforeKiB = residentKiB();
    const double rowsLoad = windowLoad(window, hundredThousand, hundredThousand.port());
    app->processEvents();
    const long afterKiB = residentKiB();
    const int rows = window.list()->topLevelItemCount();
    runner.fill = QStringLiteral("example.org");
    auto markStart = Clock::now();
    window.onCommand(CommandId::MarkBySender);
    const double marking = seconds(markStart);
    markStart = Clock::now();
    const std::size_t marked = window.listView().selectedRows().size();
    const double collecting = seconds(markStart);
    std::printf("# window load of 100000 messages on loopback: %d rows; resident memory %ld KiB "
                "for the empty window, %ld KiB before the load, %ld KiB after it; marking all by "
                "sender %.3f s, collecting the %zu marked rows %.3f s\n",
                rows, emptyWindowKiB, beforeKiB, afterKiB, marking, marked, collecting);
    std::printf("# the 100000 rows take %.0f MB beyond the empty window\n",
                static_cast<double>(afterKiB - emptyWindowKiB) / 1024);
    std::printf("rows 100k: %.2f s, %.0f MB resident\n", rowsLoad,
                static_cast<double>(afterKiB) / 1024);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--startup")
        return startupChild(argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string home = "/tmp/maroket-bench-XXXXXX";
    if (mkdtemp(home.data())) { // settings and the downloaded message stay private
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    }
    const int rounds = 7;
    CSocketLayer::start();
    // "--loads" measures the header loads alone, "--rows" the 100 000 rows alone: quick looks.
    const std::string only = argc > 1 ? argv[1] : "";
    const bool all = only.empty(), rowsToo = all || only == "--rows";

    CDovecotPeer mailbox;
    std::mt19937 random(4711);
    for (int n = 1; n <= 999; ++n)
        mailbox.addMessage(realisticMessage(n, random));
    CDovecotPeer big;
    big.addMessage(std::string("Subject: stort\n\n") + std::string(20u << 20, 'x') + "\n");
    // Bodies of up to 20 KB, and of 1 KB for the largest: the headers are as above.
    CDovecotPeer tenThousand, hundredThousand;
    for (int n = 1; n <= 10000 && only != "--rows"; ++n)
        tenThousand.addMessage(realisticMessage(n, random, 20 * 1024));
    for (int n = 1; n <= 100000 && rowsToo; ++n)
        hundredThousand.addMessage(realisticMessage(n, random, 1024));
    if (!startPeer(mailbox) || !startPeer(big) || (only != "--rows" && !startPeer(tenThousand)) ||
        (rowsToo && !startPeer(hundredThousand)))
        return 1;
    CWanLink mailboxLink(mailbox.port()), bigLink(big.port()), tenLink(tenThousand.port());
    if (!mailboxLink.port() || !bigLink.port() || (only != "--rows" && !tenLink.port())) {
        std::fprintf(stderr, "the modelled link did not start\n");
        return 1;
    }
    // Settings and the downloaded message stay private, and go with the run.
    const std::string cleanup = "rm -rf '" + home + "'";
    if (only == "--rows") {
        const int result = rowsOf100k(argc, argv, hundredThousand);
        return std::system(cleanup.c_str()) == 0 ? result : result;
    }

    compareLoads("loopback", mailbox, mailbox.port(), rounds);
    compareLoads("wan", mailbox, mailboxLink.port(), rounds);
    compareLoads("wan 10k", tenThousand, tenLink.port(), 3, false);
    if (only == "--loads")
        return std::system(cleanup.c_str()) == 0 ? 0 : 0;
    measureRetr("loopback", big, big.port());
    measureRetr("wan", big, bigLink.port());

    std::vector<double> startups;
    for (int r = 0; r < 5; ++r)
        startups.push_back(startupOnce(argv[0]));
    std::printf("# start-up to the main window shown: %.3f s (median of 5)\n", median(startups));

    QApplication app(argc, argv);
    CMemorySettingsStore store;
    CYesRunner runner;
    CRecordingSocketFactory sockets;
    CMaroketDlg window(store, runner);
    window.pop3().setSocketFactory(&sockets);
    window.setProgressHost(nullptr);
    window.show();
    std::vector<double> overLink;
    for (int r = 0; r < 3; ++r) {
        window.pop3().cache().forget(); // every header fetched each time
        overLink.push_back(windowLoad(window, mailbox, mailboxLink.port()));
        if (r < 2)
            window.onCommand(CommandId::Connect);
    }
    std::printf("# window load of 999 messages over the link: %d rows, resident memory %ld KiB\n",
                window.list()->topLevelItemCount(), residentKiB());
    std::printf("window wan: %.2f s\n", median(overLink));
    window.list()->topLevelItem(1)->setSelected(true);
    window.list()->topLevelItem(4)->setSelected(true);
    sockets.clear();
    window.onCommand(CommandId::Delete);
    std::printf("# reconnect after deleting 2 messages: %d TOP commands, %d rows\n",
                sockets.count("TOP"), window.list()->topLevelItemCount());

    window.onCommand(CommandId::Connect); // disconnects
    if (rowsOf100k(argc, argv, hundredThousand) != 0)
        return 1;
    return std::system(cleanup.c_str()) == 0 ? 0 : 0;
}
