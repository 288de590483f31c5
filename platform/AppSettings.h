#pragma once

#include <string>

class ISettingsStore;

// The nine per-user settings, with their defaults.
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

    // Reads every value, its default where the store has none.
    void read(ISettingsStore& store);
    // Writes all nine, after the user confirmed the settings dialog.
    void write(ISettingsStore& store) const;
};
