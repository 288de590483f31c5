#include "app/CGuiWaitHook.h"

#include "platform/CWaitHook.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace {

bool inHook = false;

void keepWindowsAlive() {
    // An event handler reached from here may itself block in a socket call and run the hook
    // again; that inner wait only blocks, so nesting stays one level deep.
    if (inHook || !QCoreApplication::instance())
        return;
    struct Guard {
        Guard() { inHook = true; }
        ~Guard() { inHook = false; }
    } guard;
    // Everything goes through: a progress window's Avbryt, Escape and Enter take effect at
    // once, and the main window's input queue keeps what is aimed at that window for later.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace

void CGuiWaitHook::install() {
    CWaitHook::set(keepWindowsAlive);
}
