#include "app/CGuiWaitHook.h"
#include "dialogs/CMessageBoxHost.h"
#include "platform/CSocketLayer.h"
#include "resources/CStringTable.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings live under velmo/<executable name>.
    QApplication::setOrganizationName(QStringLiteral("velmo"));

    if (!CSocketLayer::start()) {
        CMessageBoxHost().showMessage(CStringTable::load(103)); // "Winsock kunde inte startas."
        return 1;
    }
    CGuiWaitHook::install();

    // Stand-in for the main window: the program ends when it closes.
    QDialog window;
    window.setWindowTitle(QStringLiteral("Maroket"));
    window.exec();
    return 0;
}
