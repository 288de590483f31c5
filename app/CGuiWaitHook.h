#pragma once

// What the GUI does while a socket call blocks the GUI thread: keep the windows painted and
// every event flowing, so that a progress window takes its Avbryt at once. Input aimed at the
// main window meanwhile is held by the window's input queue, not handled inside the call.
class CGuiWaitHook {
public:
    static void install();
};
