#pragma once

#include "dialogs/CUiLanguage.h"
#include "resources/StringIds.h"

#include <memory>
#include <string>

class CMaroketDlg;
class ISettingsStore;

// The program's command line: its own options (each with a value also as --name=value), -h and
// --help, and Qt's standard options, which stay in the arguments for Qt. Anything else is an
// error. Everything here works before Qt starts, so that help, version and errors need no
// display.
class CStartOptions {
public:
    // False with errorText() for an option the program does not know, one that lacks its
    // value, or an argument that is no option. argc and argv lose the program's own options.
    bool parse(int& argc, char** argv);
    // In the language spoken when it is asked for, which parse() may not know yet.
    std::string errorText() const;
    // The options and what they do, for --help.
    static std::string helpText();

    bool help() const { return help_; }
    bool version() const { return version_; }
    bool exitWhenShown() const { return exitWhenShown_; }
    // The file given with --settings, read and written instead of the user's own settings.
    const std::string& settingsFile() const { return settingsFile_; }
    // Whether the window system Qt will use can show a window here: false when it needs an X
    // or Wayland display and the environment names none (DISPLAY, WAYLAND_DISPLAY). A platform
    // without a display (offscreen, minimal, a frame buffer) always can.
    bool displayAvailable() const;

    // The settings of --settings, or the user's own.
    std::unique_ptr<ISettingsStore> makeStore() const;
    // The language to speak: --language, else the setting "Language" of store ("sv" or "en"),
    // else the desktop's.
    CUiLanguage::Language language(ISettingsStore& store) const;
    // Types the server, account and password given into the window's login fields, so that one
    // Enter logs in. A field not given keeps what the window put there. The options keep no copy
    // of the password afterwards.
    void fillLoginFields(CMaroketDlg& window);

private:
    void fail(StringId id, const std::string& argument);
    // One of Qt's own options at argv[i]; the value of one that takes it is skipped too.
    bool takeQtOption(int& i, int argc, char** argv);

    bool help_ = false;
    bool version_ = false;
    bool exitWhenShown_ = false;
    std::string settingsFile_;
    std::string server_, account_, password_;
    std::string language_;      // "sv" or "en" when given
    std::string platform_;      // given with -platform
    bool displayGiven_ = false; // -display for X
    bool failed_ = false;
    StringId errorId_{};
    std::string errorArgument_;
};
