#include "dialogs/CContentWindowHost.h"

#include "dialogs/CContentDlg.h"

void CContentWindowHost::showContent(const std::string& text) {
    CContentDlg dlg(parent_.data());
    dlg.SetText(text);
    dlg.run();
}
