#pragma once

#include "platform/IProgressHost.h"

#include <memory>
#include <vector>

// Stands in for the progress window: remembers every window opened, and lets a test close one
// as the user's Avbryt would.
class CScriptedProgressHost : public IProgressHost {
public:
    void openProgressWindow(std::shared_ptr<ProgressState> state) override {
        windows.push_back(std::move(state));
    }
    void cancelLatest() {
        windows.back()->cancelled.store(true);
        windows.back()->ended.store(true);
    }

    std::vector<std::shared_ptr<ProgressState>> windows;
};
