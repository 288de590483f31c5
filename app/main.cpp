#include "app/CDialogRunner.h"
#include "app/CGuiWaitHook.h"
#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/CMessageBoxHost.h"
#include "platform/CSocketLayer.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstring>

namespace {

// Our own options are looked for before QApplication takes its own (-platform and the like) out
// of the arguments; anything else is left alone, as it always was.
bool hasOption(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

// --exit-when-shown: ends the window's loop once the window system has the window on screen, so
// that an installation can be checked without anyone to close it.
void exitOnceShown(CMaroketDlg& window) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window] {
        if (window.windowHandle() && window.windowHandle()->isExposed())
            window.done(0);
    });
    poll->start(10);
}

} // namespace

int main(int argc, char** argv) {
    // Answered before the window system is touched, so it works without a display.
    if (hasOption(argc, argv, "--version")) {
        std::printf("%s\n", kMaroketVersionText);
        return 0;
    }
    const bool exitWhenShown = hasOption(argc, argv, "--exit-when-shown");

    QApplication app(argc, argv);
    // Settings live under velmo/<executable name>.
    QApplication::setOrganizationName(QStringLiteral("velmo"));
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kMaroketAppId));

    if (!CSocketLayer::start()) {
        CMessageBoxHost().showMessage(CStringTable::load(103)); // "Winsock kunde inte startas."
        return 1;
    }
    CGuiWaitHook::install();

    CQtSettingsStore store;
    CDialogRunner runner;
    CMaroketDlg window(store, runner);
    runner.setParent(&window);
    if (exitWhenShown)
        exitOnceShown(window);
    window.exec();
    return 0;
}
