#include "app/CDialogRunner.h"
#include "app/CGuiWaitHook.h"
#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/CMessageBoxHost.h"
#include "platform/CSocketLayer.h"
#include "resources/CStringTable.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings live under velmo/<executable name>.
    QApplication::setOrganizationName(QStringLiteral("velmo"));

    if (!CSocketLayer::start()) {
        CMessageBoxHost().showMessage(CStringTable::load(103)); // "Winsock kunde inte startas."
        return 1;
    }
    CGuiWaitHook::install();

    CQtSettingsStore store;
    CDialogRunner runner;
    CMaroketDlg window(store, runner);
    runner.setParent(&window);
    window.exec();
    return 0;
}
