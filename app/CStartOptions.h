#pragma once

#include <memory>
#include <string>

class CMaroketDlg;
class ISettingsStore;

// The program's own command-line options, each also as --name=value. They are taken out of the
// arguments before Qt sees them; Qt's own (-platform and the like) and anything unknown stay in
// them for Qt to handle.
class CStartOptions {
public:
    // False with errorText() when an option lacks its value. argc and argv lose our options.
    bool parse(int& argc, char** argv);
    const std::string& errorText() const { return error_; }

    bool version() const { return version_; }
    bool exitWhenShown() const { return exitWhenShown_; }
    // The file given with --settings, read and written instead of the user's own settings.
    const std::string& settingsFile() const { return settingsFile_; }

    // The settings of --settings, or the user's own.
    std::unique_ptr<ISettingsStore> makeStore() const;
    // Types the server, account and password given into the window's login fields, so that one
    // Enter logs in. A field not given keeps what the window put there.
    void fillLoginFields(CMaroketDlg& window) const;

private:
    bool version_ = false;
    bool exitWhenShown_ = false;
    std::string settingsFile_;
    std::string server_, account_, password_;
    std::string error_;
};
