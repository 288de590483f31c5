// Renders the main window after a load from a scripted mailbox into a PNG, for the README:
//   QT_QPA_PLATFORM=offscreen build/tools/maroket_screenshot docs/main-window.png
#include "app/CDialogRunner.h"
#include "app/CMaroketDlg.h"
#include "support/CFakeSocketFactory.h"
#include "support/CMemorySettingsStore.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    CMemorySettingsStore store;
    store.strings["Address"] = "anna@example.org";
    CDialogRunner runner;
    CMaroketDlg window(store, runner);

    struct Message {
        const char* from;
        const char* subject;
        const char* date;
        int size;
    };
    const Message messages[] = {
        {"Bo Ek <bo@example.org>",
         "=?iso-8859-1?Q?M=F6te_p=E5_fredag?=", "Mon, 7 Dec 2026 09:12:40 +0100", 2365},
        {"Kundtj\xE4nst <kund@example.com>", "Din order 4711", "Mon, 7 Dec 2026 11:03:05 +0100",
         14802},
        {"=?iso-8859-1?Q?=C5sa_Lind?= <asa@example.net>", "Bilder fr\xE5n resan",
         "Mon, 7 Dec 2026 18:47:21 +0100", 3145728},
        {"nyhetsbrev@example.com", "Veckans erbjudanden", "Tue, 8 Dec 2026 06:00:00 +0100", 48211},
        {"Per Holm <per@example.org>", "Re: Lunch?", "Tue, 8 Dec 2026 08:31:59 +0100", 1890},
    };
    CFakeSocketFactory fake;
    CFakeScript& s = *fake.addScript();
    s.server("+OK ready\r\n").client("USER anna\r\n").server("+OK\r\n");
    s.client("PASS hemligt\r\n").server("+OK\r\n").client("STAT\r\n");
    int total = 0;
    std::string list = "+OK\r\n";
    for (int i = 0; i < 5; ++i) {
        total += messages[i].size;
        list += std::to_string(i + 1) + " " + std::to_string(messages[i].size) + "\r\n";
    }
    s.server("+OK 5 " + std::to_string(total) + "\r\n").client("UIDL\r\n").server("-ERR\r\n");
    s.client("LIST\r\n").server(list + ".\r\n");
    for (int i = 0; i < 5; ++i)
        s.client("TOP " + std::to_string(i + 1) + " 0\r\n")
            .server(std::string("+OK\r\nFrom: ") + messages[i].from + "\r\nSubject: " +
                    messages[i].subject + "\r\nDate: " + messages[i].date + "\r\n\r\n.\r\n");
    window.pop3().setSocketFactory(&fake);
    window.findChild<QLineEdit*>("1003")->setText("pop.example.org");
    window.findChild<QLineEdit*>("1004")->setText("anna");
    window.findChild<QLineEdit*>("1005")->setText("hemligt");
    window.show();
    window.onCommand(105);
    app.processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
