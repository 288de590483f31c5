#include "app/CQtSettingsStore.h"

#include "dialogs/CUiText.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
const QString kGroup = QStringLiteral("Maroket/");

QString applicationKey() {
    // The settings are read before the application starts too (the language of --help): the
    // program's own file names them then, as Qt finds it on Linux.
    const QString path = QCoreApplication::instance()
                             ? QCoreApplication::applicationFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("maroket") : name;
}
} // namespace

CQtSettingsStore::CQtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velmo"),
                applicationKey()) {}

CQtSettingsStore::CQtSettingsStore(const QString& iniFile)
    : settings_(iniFile, QSettings::IniFormat) {}

int CQtSettingsStore::readInt(const std::string& name, int fallback) {
    bool ok = false;
    int value = settings_.value(kGroup + QString::fromStdString(name)).toInt(&ok);
    return ok ? value : fallback;
}

std::string CQtSettingsStore::readString(const std::string& name, const std::string& fallback) {
    QVariant value = settings_.value(kGroup + QString::fromStdString(name));
    return value.isValid() ? CUiText::toBytes(value.toString()) : fallback;
}

void CQtSettingsStore::writeInt(const std::string& name, int value) {
    settings_.setValue(kGroup + QString::fromStdString(name), value);
}

void CQtSettingsStore::writeString(const std::string& name, const std::string& value) {
    settings_.setValue(kGroup + QString::fromStdString(name), CUiText::toQString(value));
}
