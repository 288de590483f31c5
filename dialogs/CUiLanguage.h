#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

// The language the program speaks: Swedish, its own, or English. Everything the user reads
// follows it: the windows' texts, the string table's, Qt's own (the standard buttons, the menus
// of the text fields) and the command line's help.
class CUiLanguage {
public:
    enum class Language { Swedish, English };

    // "sv" or "en"; nothing for any other name.
    static std::optional<Language> named(std::string_view name);
    // The language given (--language), else the one set (the setting "Language"), else the
    // desktop's: Swedish where its first language is Swedish or where it names none (the C or
    // POSIX locale), English for every other until the program speaks that one too.
    static Language choose(std::string_view given, std::string_view set,
                           const QStringList& desktopLanguages);

    // Speaks language from now on: windows made after this show it, and so does every text
    // loaded from the string table. Before the application exists only the texts of translate()
    // follow (the command line's); a call once it runs hands the translations to Qt as well.
    static void use(Language language);
    static Language current();

    // A text marked with QT_TRANSLATE_NOOP under context, in the language spoken; count is the
    // number a counted text follows, -1 for every other. Works before the application exists.
    static QString translate(const char* context, const char* source, int count = -1);
};
