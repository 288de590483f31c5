// Renders the main window after loading the demo mailbox from a private Dovecot into a PNG, for
// the README:
//   QT_QPA_PLATFORM=offscreen build/maroket_screenshot docs/main-window.png
//   QT_QPA_PLATFORM=offscreen build/maroket_screenshot --scale 2 docs/main-window-2x.png
//   QT_QPA_PLATFORM=offscreen build/maroket_screenshot --language en docs/main-window-en.png
// The window starts as tools/run.sh --demo starts it, and Enter loads the list. --scale draws
// it as a screen of that many device pixels per pixel shows it (QT_SCALE_FACTOR); --language
// is the program's own option (sv or en), else the desktop decides.
#include "app/CMaroketDlg.h"
#include "app/CStartOptions.h"
#include "dialogs/CDialogRunner.h"
#include "dialogs/CUiLanguage.h"
#include "peers/CDemoPeers.h"
#include "platform/ISettingsStore.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const char* scale = nullptr;
    std::vector<std::string> language;
    int i = 1;
    // Each option with its value, then the output.
    for (; i + 2 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--scale")
            scale = argv[i + 1];
        else if (option == "--language")
            language = {option, argv[i + 1]};
        else
            break;
    }
    if (i != argc - 1) {
        std::fprintf(stderr, "usage: %s [--scale FACTOR] [--language sv|en] output.png\n", argv[0]);
        return 2;
    }
    const char* output = argv[argc - 1];
    // Read by Qt when the application starts, and only then.
    if (scale)
        qputenv("QT_SCALE_FACTOR", scale);
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
    words.insert(words.end(), language.begin(), language.end());
    std::vector<char*> options;
    for (std::string& word : words)
        options.push_back(word.data());
    options.push_back(nullptr);
    int count = static_cast<int>(words.size());
    CStartOptions start;
    if (!start.parse(count, options.data()))
        return 1;
    const auto store = start.makeStore();
    CUiLanguage::use(start.language(*store));
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
