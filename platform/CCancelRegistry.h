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
};
