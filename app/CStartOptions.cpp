#include "app/CStartOptions.h"

#include "app/CMaroketDlg.h"
#include "app/CQtSettingsStore.h"
#include "dialogs/CUiLanguage.h"
#include "dialogs/CUiText.h"
#include "dialogs/IdText.h"
#include "platform/CSecret.h"
#include "resources/CStringTable.h"
#include "resources/StringIds.h"

#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

QLineEdit* loginField(CMaroketDlg& window, ControlId id) {
    // Dialogs owned by the window have numbered edits of their own.
    for (QLineEdit* edit : window.findChildren<QLineEdit*>(idText(id)))
        if (edit->window() == &window)
            return edit;
    return nullptr;
}

// Qt's standard options (of QGuiApplication, QApplication and the X platform) that take a
// value, and those that do not.
constexpr std::string_view kQtValued[] = {"platform",
                                          "platformpluginpath",
                                          "platformtheme",
                                          "plugin",
                                          "qwindowgeometry",
                                          "qwindowicon",
                                          "qwindowtitle",
                                          "qmljsdebugger",
                                          "style",
                                          "stylesheet",
                                          "session",
                                          "display",
                                          "geometry",
                                          "title",
                                          "name",
                                          "fontengine"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

} // namespace

bool CStartOptions::takeQtOption(int& i, int argc, char** argv) {
    std::string_view arg = argv[i];
    // Qt reads its options with one dash or two.
    if (arg.starts_with("--"))
        arg.remove_prefix(1);
    if (!arg.starts_with('-'))
        return false;
    arg.remove_prefix(1);
    const std::string_view name = arg.substr(0, arg.find('='));
    const bool withValue = name.size() < arg.size();
    for (std::string_view option : kQtValued) {
        if (name != option)
            continue;
        const char* value = withValue      ? argv[i] + (std::string_view(argv[i]).find('=') + 1)
                            : i + 1 < argc ? argv[++i]
                                           : nullptr;
        if (!value) {
            fail(StringId::OptionNeedsValue, argv[i]);
            return false;
        }
        if (name == "platform")
            platform_ = value;
        displayGiven_ = displayGiven_ || name == "display";
        return true;
    }
    return std::find(std::begin(kQtFlags), std::end(kQtFlags), arg) != std::end(kQtFlags);
}

void CStartOptions::fail(StringId id, const std::string& argument) {
    failed_ = true;
    errorId_ = id;
    errorArgument_ = argument;
}

std::string CStartOptions::errorText() const {
    return failed_ ? CStringTable::load(errorId_, errorArgument_) : std::string();
}

bool CStartOptions::parse(int& argc, char** argv) {
    const std::pair<std::string_view, std::string*> valued[] = {{"--settings", &settingsFile_},
                                                                {"--server", &server_},
                                                                {"--account", &account_},
                                                                {"--password", &password_},
                                                                {"--language", &language_}};
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "--exit-when-shown") {
            (arg == "--version" ? version_ : exitWhenShown_) = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            help_ = true;
            continue;
        }
        std::string_view name;
        std::string* target = nullptr;
        const char* value = nullptr;
        for (const auto& [option, field] : valued) {
            if (arg == option) {
                value = i + 1 < argc ? argv[++i] : nullptr;
            } else if (arg.starts_with(option) && arg.size() > option.size() &&
                       arg[option.size()] == '=') {
                value = argv[i] + option.size() + 1;
            } else {
                continue;
            }
            name = option;
            target = field;
            break;
        }
        if (!target) {
            const int first = i;
            if (!takeQtOption(i, argc, argv)) {
                if (!failed_)
                    fail(StringId::UnknownOption, argv[first]);
                return false;
            }
            for (int k = first; k <= i; ++k)
                argv[kept++] = argv[k];
            continue;
        }
        // An empty file name would quietly mean the user's own settings.
        if (!value || (target == &settingsFile_ && !*value)) {
            fail(StringId::OptionNeedsValue, std::string(name));
            return false;
        }
        if (target == &language_ && !CUiLanguage::named(value)) {
            fail(StringId::UnknownLanguage, value);
            return false;
        }
        *target = value;
    }
    argv[kept] = nullptr;
    argc = kept;
    return true;
}

std::string CStartOptions::helpText() {
    static const char* const help = QT_TRANSLATE_NOOP(
        "CStartOptions",
        "Användning: maroket [FLAGGOR] [Qt-flaggor]\n"
        "Hanterar en POP3-brevlåda på servern utan att hämta hem den.\n"
        "\n"
        "  --settings FIL     läs och skriv inställningarna i FIL i stället för dina egna\n"
        "  --server NAMN      fyll i fältet \"Mailserver\"\n"
        "  --account ID       fyll i fältet \"Konto-ID\"\n"
        "  --password TEXT    fyll i fältet \"Lösenord\" (andra användare kan se det i\n"
        "                     processlistan: bara för test- och demobrevlådor)\n"
        "  --language SPRÅK   tala sv (svenska) eller en (engelska) i stället för\n"
        "                     skrivbordets språk\n"
        "  --exit-when-shown  avsluta så snart fönstret syns på skärmen\n"
        "  --version          skriv ut versionen och avsluta\n"
        "  -h, --help         skriv ut den här hjälpen och avsluta\n"
        "\n"
        "En flagga med värde kan också skrivas --namn=värde. Qt:s egna flaggor, till\n"
        "exempel -platform NAMN, går vidare till Qt. Se maroket(1).\n");
    return CUiText::toBytes(CUiLanguage::translate("CStartOptions", help));
}

CUiLanguage::Language CStartOptions::language(ISettingsStore& store) const {
    return CUiLanguage::choose(language_, store.readString("Language", ""),
                               QLocale::system().uiLanguages());
}

bool CStartOptions::displayAvailable() const {
    const auto named = [](const char* variable) {
        const char* value = std::getenv(variable);
        return value && *value;
    };
    const bool x = displayGiven_ || named("DISPLAY");
    const bool wayland = named("WAYLAND_DISPLAY");
    const char* fromEnvironment = std::getenv("QT_QPA_PLATFORM");
    const std::string platforms = !platform_.empty() ? platform_
                                  : fromEnvironment  ? fromEnvironment
                                                     : "";
    // Qt tries the names in turn (";" between them), each perhaps with arguments after ":".
    std::size_t at = 0;
    do {
        const std::size_t end = std::min(platforms.find(';', at), platforms.size());
        const std::string entry = platforms.substr(at, end - at);
        const std::string name = entry.substr(0, entry.find(':'));
        if (name.empty()                  ? x || wayland
            : name.starts_with("xcb")     ? x
            : name.starts_with("wayland") ? wayland
                                          : true)
            return true;
        at = end + 1;
    } while (at <= platforms.size());
    return false;
}

std::unique_ptr<ISettingsStore> CStartOptions::makeStore() const {
    if (settingsFile_.empty())
        return std::make_unique<CQtSettingsStore>();
    return std::make_unique<CQtSettingsStore>(QString::fromLocal8Bit(settingsFile_.c_str()));
}

void CStartOptions::fillLoginFields(CMaroketDlg& window) {
    const std::pair<ControlId, const std::string*> fields[] = {
        {ControlId::ServerEdit, &server_},
        {ControlId::AccountEdit, &account_},
        {ControlId::PasswordEdit, &password_}};
    for (const auto& [id, text] : fields)
        if (QLineEdit* edit = loginField(window, id); edit && !text->empty())
            edit->setText(QString::fromLocal8Bit(text->c_str()));
    CSecret::wipe(password_);
}
