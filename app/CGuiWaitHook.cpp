#include "app/CGuiWaitHook.h"

#include "dialogs/CProgressDlg.h"
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
    // The progress window is application-modal, so with it open only its own input (Avbryt,
    // Escape, Enter) gets anywhere; without it, input waits until the call returns.
    if (CProgressDlg::openCount() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    else
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void CGuiWaitHook::install() {
    CWaitHook::set(keepWindowsAlive);
}
