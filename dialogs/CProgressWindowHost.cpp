#include "dialogs/CProgressWindowHost.h"

#include "dialogs/CProgressDlg.h"

#include <utility>

void CProgressWindowHost::openProgressWindow(std::shared_ptr<ProgressState> state) {
    // Self-deleting; show(), not exec(), so the caller goes on.
    auto* dlg = new CProgressDlg(std::move(state), parent_);
    std::erase_if(windows_, [](const QPointer<CProgressDlg>& w) { return w.isNull(); });
    windows_.emplace_back(dlg);
    dlg->show();
}

void CProgressWindowHost::closeProgressWindow(const ProgressState& state) {
    for (const QPointer<CProgressDlg>& window : windows_)
        if (window && window->shows(state))
            window->closeAtEnd();
}

void CProgressWindowHost::cancelProgressWindows() {
    for (const QPointer<CProgressDlg>& window : windows_)
        if (window)
            window->reject();
}
