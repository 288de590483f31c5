// What the worst replies and messages a server or a sender can make cost the program: the time
// and the memory of each, each in a process of its own, at the sizes the program keeps (a TOP
// reply of 4 MB; for a reply, the header block and 4 MB of the message). The figures in
// README.md and SECURITY.md come from here: build/bench/maroket_hostile_bench
#include "dialogs/CContentDlg.h"
#include "dialogs/CQuoting.h"
#include "pop3/CHeaderDecoder.h"
#include "pop3/CMessageText.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMB = 1024 * 1024;

std::string repeated(std::string_view head, std::string_view unit, std::size_t size) {
    std::string text(head);
    text.reserve(size);
    while (text.size() + unit.size() <= size)
        text += unit;
    return text;
}

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// prepare builds the input and returns what is measured; both run in a child process, so that
// its peak memory is the case's own. Prints seconds, the peak and how much the work added to it.
void measure(const char* what, const std::function<std::function<void()>()>& prepare) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const std::function<void()> work = prepare();
        const long before = peakKb();
        const auto start = std::chrono::steady_clock::now();
        work();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("| %s | %.3f s | %ld MB | %ld MB |\n", what, seconds, peakKb() / 1024,
                    (peakKb() - before) / 1024);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

void message(const char* what, std::string text) {
    measure(what, [&] { return [text] { (void)CMessageText::preview(text); }; });
}

// The retrieved file of a message whose header block is header, and the text a reply quotes.
void reply(const char* what, std::string header, std::string body) {
    measure(what, [&] {
        return [header, body] {
            (void)CQuoting::replyBody(header + body + ".\r\n", header.size() + 3);
        };
    });
}

// "Granska": the content window opened on the text, until it has painted it.
void window(const char* what, std::string text) {
    measure(what, [&] {
        return [text] {
            int argc = 1;
            char name[] = "maroket_hostile_bench";
            char* argv[] = {name, nullptr};
            QApplication app(argc, argv);
            CContentDlg dialog;
            dialog.SetText(text);
            dialog.show();
            QApplication::processEvents();
            dialog.repaint();
            QApplication::processEvents();
        };
    });
}

} // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::printf("| what | time | peak memory | added by the work |\n|---|---|---|---|\n");
    for (std::size_t size : {400 * 1024ul, 4 * kMB}) {
        const std::string subject = repeated("Subject: ", "=?a?B?x", size) + "\r\n";
        measure(size < kMB ? "subject of 400 KB of word starts" : "subject of 4 MB of word starts",
                [&] { return [subject] { (void)CHeaderDecoder::summarize(subject, "-"); }; });
    }
    const std::string multipart = "Content-Type: multipart/mixed; boundary=a\r\n\r\n";
    message("preview: 100 000 empty parts (3.6 MB)",
            repeated("Content-Type: multipart/mixed; boundary=\"=_0123456789abcdefghijklmnopq\"\r\n"
                     "\r\n",
                     "--=_0123456789abcdefghijklmnopq\r\n\r\n", 3600 * 1024));
    message("preview: 4 MB of empty parts", repeated(multipart, "--a\r\n\r\n", 4 * kMB));
    message("preview: 4 MB of header lines", repeated("", "X:\r\n", 4 * kMB));
    message("preview: 4 MB of Content-Type parameters",
            repeated("Content-Type: text/plain", "; a=b", 4 * kMB));
    message("preview: 4 MB of addresses", repeated("To: ", "a@b,", 4 * kMB));
    message("preview: 4 MB of folded nested multiparts",
            repeated("", "Content-Type:\r\n multipart/mixed; boundary=a\r\n\r\n--a\r\n", 4 * kMB));
    reply("reply: 4 MB of HTML ampersands", "Content-Type: text/html\r\n\r\n",
          repeated("", "&", 4 * kMB));
    reply("reply: 4 MB header block and 4 MB of empty parts",
          repeated("Content-Type: multipart/mixed; boundary=a\r\n", "X:\r\n", 4 * kMB) + "\r\n",
          repeated("", "--a\r\n\r\n", 4 * kMB));
    window("content window: one line of 2 MB", std::string(2 * kMB, 'a'));
    window("content window: one line of 4 MB", std::string(4 * kMB, 'a'));
    window("content window: 4 MB of empty lines", repeated("", "\r\n", 4 * kMB));
    window("content window: 4 MB of words", repeated("", "ord ", 4 * kMB));
    return 0;
}
