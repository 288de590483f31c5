#include "app/CGuiWaitHook.h"
#include "app/CMaroketDlg.h"
#include "app/CStartOptions.h"
#include "dialogs/CDialogRunner.h"
#include "dialogs/CMessageBoxHost.h"
#include "dialogs/CUiLanguage.h"
#include "platform/CSocketLayer.h"
#include "platform/CTempFile.h"
#include "platform/ISettingsStore.h"
#include "resources/CStringTable.h"
#include "resources/MaroketVersion.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <memory>

namespace {

// --exit-when-shown: ends the window's loop once the window system has the window on screen, so
// that an installation can be checked without anyone to close it.
void exitOnceShown(CMaroketDlg& window) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window] {
        // Ended without a user closing it: nothing of the window's placing is kept.
        if (window.windowHandle() && window.windowHandle()->isExposed())
            window.QDialog::done(0);
    });
    poll->start(10);
}

} // namespace

int main(int argc, char** argv) {
    // Everything up to the display check works without one, in the language the window will
    // speak.
    CStartOptions options;
    const bool parsed = options.parse(argc, argv);
    CUiLanguage::use(options.language(*options.makeStore()));
    if (!parsed) {
        std::fprintf(stderr, "maroket: %s\n\n%s", options.errorText().c_str(),
                     CStartOptions::helpText().c_str());
        return 2;
    }
    if (options.help()) {
        std::fputs(CStartOptions::helpText().c_str(), stdout);
        return 0;
    }
    if (options.version()) {
        std::printf("%s\n", kMaroketVersionText);
        return 0;
    }
    // Qt would abort with a page about plugins; one line says what is missing.
    if (!options.displayAvailable()) {
        std::fprintf(stderr, "%s\n", CStringTable::load(StringId::NoDisplay).c_str());
        return 1;
    }

    QApplication app(argc, argv);
    // Qt's own texts follow the same language from now on.
    CUiLanguage::use(CUiLanguage::current());
    // Settings live under velmo/<executable name>.
    QApplication::setOrganizationName(QStringLiteral("velmo"));
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kMaroketAppId));

    if (!CSocketLayer::start()) {
        CMessageBoxHost().showMessage(CStringTable::load(StringId::SocketsUnavailable));
        return 1;
    }
    CGuiWaitHook::install();

    const std::unique_ptr<ISettingsStore> store = options.makeStore();
    CDialogRunner runner;
    CMaroketDlg window(*store, runner);
    runner.setParent(&window);
    options.fillLoginFields(window);
    if (options.exitWhenShown())
        exitOnceShown(window);
    window.exec();
    // Each download's file went with its operation; the folder goes too when no other of the
    // user's programs still uses it.
    CTempFile::removeFolderIfEmpty();
    return 0;
}
