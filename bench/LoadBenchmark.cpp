// The header load and the download measured against a private Dovecot, side by side with
// CPython's poplib and a pipelined client, plus the program's start-up and memory.
// Run through bench/load-vs-peers.
#include "app/CGuiWaitHook.h"
#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/IDialogRunner.h"
#include "dialogs/IdText.h"
#include "peers/CDovecotPeer.h"
#include "platform/CSocketLayer.h"
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
// 200 KB.
std::string realisticMessage(int n, std::mt19937& random) {
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
    const std::size_t body = std::uniform_int_distribution<std::size_t>(1024, 200 * 1024)(random);
    const std::string line = "Hej! H=E4r kommer en rad text i brevet, lagom l=E5ng f=F6r en rad.\n";
    while (m.size() < body)
        m += line;
    return m;
}

class CYesRunner : public IDialogRunner {
public:
    int run(QDialog&) override { return 1; }
    bool askYesNo(const QString&) override { return true; }
    void notify(const QString&) override {}
};

bool startPeer(CDovecotPeer& peer) {
    std::string error;
    if (!peer.start(error)) {
        std::fprintf(stderr, "Dovecot did not start: %s\n", error.c_str());
        return false;
    }
    return true;
}

// One header load through the session the window uses: login, STAT, LIST, every summary, QUIT.
double ourLoad(const CDovecotPeer& peer, int& summaries) {
    CPop3Session s;
    s.setHost(peer.host());
    s.setPort(peer.port());
    s.setUser(peer.user());
    s.setPassword(peer.password());
    const auto start = Clock::now();
    if (!s.login() || !s.stat() || !s.list())
        return -1;
    for (int n = 1; n <= s.getMessageCount(); ++n)
        s.fetchSummary(n);
    s.quit();
    summaries = s.messageTable().rowCount();
    return seconds(start);
}

std::vector<double> pythonLoads(const std::string& mode, const CDovecotPeer& peer, int runs) {
    const std::string python =
        access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
    const std::string command = python + " " MAROKET_BENCH_DIR "/poplib_load.py " + mode + " " +
                                peer.host() + " " + std::to_string(peer.port()) + " " +
                                peer.user() + " " + peer.password() + " " + std::to_string(runs);
    std::vector<double> times;
    if (FILE* out = popen(command.c_str(), "r")) {
        char name[32];
        double t;
        while (std::fscanf(out, "%31s %lf", name, &t) == 2)
            times.push_back(t);
        pclose(out);
    }
    return times;
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
    const int runs = 5;
    CSocketLayer::start();

    CDovecotPeer mailbox;
    std::mt19937 random(4711);
    for (int n = 1; n <= 999; ++n)
        mailbox.addMessage(realisticMessage(n, random));
    if (!startPeer(mailbox))
        return 1;

    std::vector<double> ours;
    int summaries = 0;
    for (int r = 0; r < runs; ++r)
        ours.push_back(ourLoad(mailbox, summaries));
    const double oursMedian = median(ours);
    const double poplib = median(pythonLoads("poplib", mailbox, runs));
    const double pipelined = median(pythonLoads("pipelined", mailbox, runs));
    std::printf("Header load of 999 messages (median of %d):\n", runs);
    std::printf("  maroket   %8.3f s  (%d summaries)\n", oursMedian, summaries);
    std::printf("  poplib    %8.3f s  maroket/poplib    = %.2f (target <= 0.50)\n", poplib,
                poplib > 0 ? oursMedian / poplib : 0);
    std::printf("  pipelined %8.3f s  maroket/pipelined = %.2f\n", pipelined,
                pipelined > 0 ? oursMedian / pipelined : 0);

    CDovecotPeer big;
    big.addMessage(std::string("Subject: stort\n\n") + std::string(20u << 20, 'x') + "\n");
    if (startPeer(big)) {
        CPop3Session s;
        s.setHost(big.host());
        s.setPort(big.port());
        s.setUser(big.user());
        s.setPassword(big.password());
        if (s.login() && s.stat() && s.list()) {
            const double cpu = cpuSeconds();
            const auto start = Clock::now();
            const bool ok = s.retr(1);
            const double wall = seconds(start), used = cpuSeconds() - cpu;
            std::printf("RETR of a 20 MB message: %.2f s, CPU %.3f s = %.1f %% of the wall time "
                        "(target < 5 %%)%s\n",
                        wall, used, 100 * used / wall, ok ? "" : " FAILED");
            s.quit();
        }
    }

    std::vector<double> startups;
    for (int r = 0; r < runs; ++r)
        startups.push_back(startupOnce(argv[0]));
    std::printf("Start-up to the main window shown: %.3f s (median of %d)\n", median(startups),
                runs);

    QApplication app(argc, argv);
    CMemorySettingsStore store;
    CYesRunner runner;
    CRecordingSocketFactory sockets;
    CMaroketDlg window(store, runner);
    window.pop3().setSocketFactory(&sockets);
    window.pop3().setPort(mailbox.port());
    window.setProgressHost(nullptr);
    for (auto* edit : window.findChildren<QLineEdit*>()) {
        if (edit->window() != &window)
            continue;
        if (edit->objectName() == idText(ControlId::ServerEdit))
            edit->setText(QString::fromStdString(mailbox.host()));
        if (edit->objectName() == idText(ControlId::AccountEdit))
            edit->setText(QString::fromStdString(mailbox.user()));
        if (edit->objectName() == idText(ControlId::PasswordEdit))
            edit->setText(QString::fromStdString(mailbox.password()));
    }
    window.show();
    const auto start = Clock::now();
    window.onCommand(CommandId::Connect);
    std::printf("Window load of 999 messages: %.3f s, %d rows; resident memory %ld KiB\n",
                seconds(start), window.list()->topLevelItemCount(), residentKiB());
    window.list()->topLevelItem(1)->setSelected(true);
    window.list()->topLevelItem(4)->setSelected(true);
    sockets.clear();
    window.onCommand(CommandId::Delete);
    std::printf("Reconnect after deleting 2 messages: %d TOP commands, %d rows\n",
                sockets.count("TOP"), window.list()->topLevelItemCount());
    std::string cleanup = "rm -rf '" + home + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 0;
}
