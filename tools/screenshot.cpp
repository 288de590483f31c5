// Renders the main window after loading the demo mailbox from a private Dovecot into a PNG, for
// the README:
//   QT_QPA_PLATFORM=offscreen build/maroket_screenshot docs/main-window.png
//   QT_QPA_PLATFORM=offscreen build/maroket_screenshot --scale 2 docs/main-window-2x.png
// The window starts as tools/run.sh --demo starts it, and Enter loads the list. --scale draws
// it as a screen of that many device pixels per pixel shows it (QT_SCALE_FACTOR).
#include "app/CMaroketDlg.h"
#include "app/CStartOptions.h"
#include "dialogs/CDialogRunner.h"
#include "peers/CDemoPeers.h"
#include "platform/ISettingsStore.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const bool scaled = argc == 4 && std::string(argv[1]) == "--scale";
    if (argc != 2 && !scaled) {
        std::fprintf(stderr, "usage: %s [--scale FACTOR] output.png\n", argv[0]);
        return 2;
    }
    const char* output = argv[argc - 1];
    // Read by Qt when the application starts, and only then.
    if (scaled)
        qputenv("QT_SCALE_FACTOR", argv[2]);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    CDemoPeers demo;
    std::string error;
    if (!demo.start(error)) {
        std::fprintf(stderr, "The demo servers did not start: %s\n", error.c_str());
        return 1;
    }

    std::vector<std::string> words = {argv[0]};
    for (const std::string& option : demo.programOptions())
        words.push_back(option);
    std::vector<char*> options;
    for (std::string& word : words)
        options.push_back(word.data());
    options.push_back(nullptr);
    int count = static_cast<int>(words.size());
    CStartOptions start;
    if (!start.parse(count, options.data()))
        return 1;
    const auto store = start.makeStore();
    CDialogRunner runner;
    CMaroketDlg window(*store, runner);
    start.fillLoginFields(window);
    window.show();
    window.onCommand(CommandId::Enter);
    app.processEvents();
    if (!window.isConnected()) {
        std::fprintf(stderr, "The demo mailbox did not load: %s\n", window.statusText().c_str());
        return 1;
    }
    return window.grab().save(QString::fromLocal8Bit(output)) ? 0 : 1;
}
