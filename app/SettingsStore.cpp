#include "SettingsStore.h"

#include "FileUtils.h"
#include "TextUtils.h"

#include <QSettings>

namespace {

QString appIniPath()
{
    return applicationDataDir() + QStringLiteral("/APP.ini");
}

// One settings object per access, destroyed before returning: nothing is cached and a
// written value is synced to disk by the destructor.
QString readIniValue(const QString &filePath, const QString &key)
{
    const QSettings settings(filePath, QSettings::IniFormat);
    return settings.value(key).toString();
}

void writeIniValue(const QString &filePath, const QString &group, const QString &key,
                   const QString &value)
{
    QSettings settings(filePath, QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue(key, value);
    settings.endGroup();
}

} // namespace

QString configFilePath()
{
    return applicationDataDir() + QStringLiteral("/CONFIG.dat");
}

QString readConfigValue(const QString &key)
{
    return readIniValue(configFilePath(), key);
}

void writeConfigValue(const QString &group, const QString &key, const QString &value)
{
    writeIniValue(configFilePath(), group, key, value);
}

int readConfigInt(const QString &group, const QString &key)
{
    return readConfigValue(group + QLatin1Char('/') + key).toInt();
}

QString deviceId()
{
    QString id = readConfigValue(QStringLiteral("user/uuid"));
    if (id.isEmpty()) {
        id = newUuidString();
        writeConfigValue(QStringLiteral("user"), QStringLiteral("uuid"), id);
    }
    return id;
}

QString installChannel()
{
    const QString channel = readIniValue(appIniPath(), QStringLiteral("Install/channel"));
    return channel.isEmpty() ? QStringLiteral("default") : channel;
}

bool markInstallActive()
{
    if (readIniValue(appIniPath(), QStringLiteral("Install/active")) == QLatin1String("1"))
        return false;
    writeIniValue(appIniPath(), QStringLiteral("Install"), QStringLiteral("active"),
                  QStringLiteral("1"));
    return true;
}

QString installName()
{
    if (readIniValue(appIniPath(), QStringLiteral("Install/native")) != QLatin1String("1"))
        return QString();
    return readIniValue(appIniPath(), QStringLiteral("Install/name"));
}
