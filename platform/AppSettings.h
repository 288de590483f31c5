#pragma once

#include <string>

class ISettingsStore;

// The nine per-user settings of the settings dialog, with their defaults, and "Pipelining", which
// only the settings file sets (0 sends one POP3 command at a time whatever the server offers).
struct AppSettings {
    std::string helo = "nada";
    int port = 110;
    std::string dns;
    int lines = 50;
    std::string smtpServer;
    int smtpPort = 25;
    std::string address;
    int quickLogin = 1000;
    int timeout = 5; // idle minutes, 1 to 10
    int pipelining = 1;

    // Reads every value, its default where the store has none.
    void read(ISettingsStore& store);
    // Writes the nine of the dialog, after the user confirmed it.
    void write(ISettingsStore& store) const;
};
