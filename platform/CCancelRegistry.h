#pragma once

class ICancelSource;

// The cancel sources that may be open right now. An operation registers its progress window's
// handle for as long as the window may stand; every socket wait asks here whether the user has
// stopped it.
class CCancelRegistry {
public:
    static void add(ICancelSource* source);
    static void remove(ICancelSource* source);
    // Takes the first cancel that a registered source holds and nobody has taken yet.
    static bool take();
    // Whether an operation has a progress window that may still stand.
    static bool hasSources();

    // The user stopped the command in progress from the main window (Escape, "Nollställ"), for
    // a wait that no progress window stands over: every wait ends at once as cancelled, without
    // the grace a progress window's Avbryt gives, until allowWaits() at the command's end.
    static void stopWaits();
    static void allowWaits();
    static bool waitsStopped();
};
