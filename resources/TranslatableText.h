#pragma once

// Marks a text for Qt's lupdate, which finds the texts to translate by these macros' names, so
// that the core's texts reach translations/ without the core using Qt. The window layer
// translates them (CStringTable::setTranslator); here each stands for its text. The definitions
// are Qt's own, so a file that also includes Qt's headers sees no conflict.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
// A text that follows a count, translated in the form that count needs ("1 message", "2
// messages").
#ifndef QT_TRANSLATE_N_NOOP
#define QT_TRANSLATE_N_NOOP(scope, x) x
#endif
