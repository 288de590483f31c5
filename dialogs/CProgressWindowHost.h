#pragma once

#include "platform/IProgressHost.h"

#include <QPointer>

#include <vector>

class CProgressDlg;
class QWidget;

// Opens the real progress window for the core. Returns at once: the window runs on the GUI
// thread alongside the operation and is kept alive by the wait hook. Each window stands above
// the given parent (the main window) without blocking it.
class CProgressWindowHost : public IProgressHost {
public:
    explicit CProgressWindowHost(QWidget* parent = nullptr) : parent_(parent) {}

    void openProgressWindow(std::shared_ptr<ProgressState> state) override;
    void closeProgressWindow(const ProgressState& state) override;
    void cancelProgressWindows() override;

private:
    QWidget* parent_;
    std::vector<QPointer<CProgressDlg>> windows_;
};
