#pragma once

#include "app/CMaroketDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CComposeDlg.h"
#include "dialogs/CContentDlg.h"
#include "dialogs/CForwardDlg.h"
#include "dialogs/CMarkNumberDlg.h"
#include "dialogs/CMarkSizeDlg.h"
#include "dialogs/CMarkTextDlg.h"
#include "dialogs/CProgressDlg.h"
#include "dialogs/CSettingsDlg.h"

#include <memory>
#include <vector>

// Every window the program shows, the main window first, made in the language spoken now.
inline std::vector<std::unique_ptr<QWidget>> makeAllWindows(ISettingsStore& store,
                                                            IDialogRunner& runner) {
    auto progress = std::make_shared<ProgressState>();
    progress->total = 10;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<CMaroketDlg>(store, runner));
    windows.push_back(std::make_unique<CProgressDlg>(progress));
    windows.push_back(std::make_unique<CMarkNumberDlg>());
    windows.push_back(std::make_unique<CMarkSizeDlg>());
    windows.push_back(std::make_unique<CMarkTextDlg>(CMarkTextDlg::Criterion::Sender));
    windows.push_back(std::make_unique<CMarkTextDlg>(CMarkTextDlg::Criterion::Subject));
    windows.push_back(std::make_unique<CSettingsDlg>());
    windows.push_back(std::make_unique<CForwardDlg>());
    windows.push_back(std::make_unique<CContentDlg>());
    windows.push_back(std::make_unique<CComposeDlg>());
    windows.push_back(std::make_unique<CAboutDlg>());
    return windows;
}
