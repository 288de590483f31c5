#pragma once

// What the GUI does while a socket call blocks the GUI thread: keep the windows painted, and
// while a progress window is open let its Avbryt through.
class CGuiWaitHook {
public:
    static void install();
};
