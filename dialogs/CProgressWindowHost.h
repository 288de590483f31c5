#pragma once

#include "platform/IProgressHost.h"

// Opens the real progress window for the core. Returns at once: the window runs on the GUI
// thread alongside the operation and is kept alive by the wait hook.
class CProgressWindowHost : public IProgressHost {
public:
    void openProgressWindow(std::shared_ptr<ProgressState> state) override;
};
