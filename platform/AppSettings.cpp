#include "platform/AppSettings.h"

#include "platform/ISettingsStore.h"

void AppSettings::read(ISettingsStore& store) {
    helo = store.readString("Helo", helo);
    port = store.readInt("Port", port);
    dns = store.readString("DNS", dns);
    lines = store.readInt("Lines", lines);
    smtpServer = store.readString("Smtpserver", smtpServer);
    smtpPort = store.readInt("Smtpport", smtpPort);
    address = store.readString("Address", address);
    quickLogin = store.readInt("QuickLogin", quickLogin);
    timeout = store.readInt("Timeout", timeout);
    pipelining = store.readInt("Pipelining", pipelining);
}

void AppSettings::write(ISettingsStore& store) const {
    store.writeInt("Port", port);
    store.writeInt("Lines", lines);
    store.writeString("Helo", helo);
    store.writeString("Smtpserver", smtpServer);
    store.writeInt("Smtpport", smtpPort);
    store.writeString("Address", address);
    store.writeInt("QuickLogin", quickLogin);
    store.writeInt("Timeout", timeout);
    store.writeString("DNS", dns);
}
