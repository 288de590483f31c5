#pragma once

#include "platform/ISettingsStore.h"

#include <QSettings>

// Settings under organisation "velmo", application = the executable's base name, group
// "Maroket", in the platform's native format (an INI file under ~/.config/velmo/ here).
class CQtSettingsStore : public ISettingsStore {
public:
    CQtSettingsStore();
    // The same group in the INI file given instead, e.g. a demo's own; the user's stay untouched.
    explicit CQtSettingsStore(const QString& iniFile);

    int readInt(const std::string& name, int fallback) override;
    std::string readString(const std::string& name, const std::string& fallback) override;
    void writeInt(const std::string& name, int value) override;
    void writeString(const std::string& name, const std::string& value) override;

private:
    QSettings settings_;
};
