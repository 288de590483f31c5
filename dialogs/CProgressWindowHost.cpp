#include "dialogs/CProgressWindowHost.h"

#include "dialogs/CProgressDlg.h"

#include <utility>

void CProgressWindowHost::openProgressWindow(std::shared_ptr<ProgressState> state) {
    // Top-level of its own and self-deleting; show(), not exec(), so the caller goes on.
    auto* dlg = new CProgressDlg(std::move(state));
    dlg->show();
}
