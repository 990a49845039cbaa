#include "SettingsStore.h"

#include "FileUtils.h"
#include "IniFile.h"
#include "TextUtils.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QSysInfo>
#include <QUuid>

namespace {

QString appIniPath()
{
    return applicationDataDir() + QStringLiteral("/APP.ini");
}

// Every key the program reads from each file: a file past its bound is read once for all.
const QStringList &configKeys()
{
    static const QStringList keys = {
        QStringLiteral("user/uuid"),
        QStringLiteral("user/token"),
        QStringLiteral("user/help"),
        QStringLiteral("convert/FileConvertOutPutDir"),
        QStringLiteral("convert/openfilepath"),
        QStringLiteral("convert/allsettingformat"),
    };
    return keys;
}

const QStringList &appIniKeys()
{
    static const QStringList keys = {
        QStringLiteral("Install/channel"),
        QStringLiteral("Install/active"),
        QStringLiteral("Install/native"),
        QStringLiteral("Install/name"),
    };
    return keys;
}

QString readAppIniValue(const QString &key)
{
    return readIniValue(appIniPath(), key, appIniKeys());
}

// What this run knows of the settings file beyond the file itself. Values whose write did not
// reach the file (it is a folder, cannot be written, was not read whole) stand in for the
// file's values for the rest of the run, so that the device id, the sign-in and the output
// folder stay what the user was shown. Keys that read from a damaged file that could not be
// repaired for reading may have read empty: a write of such a key (a default, as likely as
// not) is kept for the run too and never lands over the stored value.
class RunSettings
{
public:
    bool find(const QString &key, QString &value)
    {
        QMutexLocker lock(&m_mutex);
        const auto found = m_values.constFind(key);
        if (found == m_values.constEnd())
            return false;
        value = *found;
        return true;
    }

    void noteRead(const QString &key, bool reliable)
    {
        QMutexLocker lock(&m_mutex);
        if (reliable)
            m_unreliableKeys.remove(key);
        else
            m_unreliableKeys.insert(key);
    }

    bool readUnreliably(const QString &key)
    {
        QMutexLocker lock(&m_mutex);
        return m_unreliableKeys.contains(key);
    }

    void keep(const QString &key, const QString &value)
    {
        QMutexLocker lock(&m_mutex);
        m_values.insert(key, value);
    }

    void forget(const QString &key)
    {
        QMutexLocker lock(&m_mutex);
        m_values.remove(key);
    }

private:
    QMutex m_mutex;
    QHash<QString, QString> m_values;
    QSet<QString> m_unreliableKeys;
};

RunSettings &runSettings()
{
    static RunSettings settings;
    return settings;
}

enum class StoreResult
{
    Saved,
    KeptForRun,
    Refused,
};

StoreResult storeConfigValue(const QString &group, const QString &key, const QString &value)
{
    const QString fullKey = group + QLatin1Char('/') + key;
    if (runSettings().readUnreliably(fullKey)) {
        runSettings().keep(fullKey, value);
        return StoreResult::KeptForRun;
    }
    switch (writeIniValue(configFilePath(), group, key, value)) {
    case IniWriteResult::Written:
        runSettings().forget(fullKey);
        return StoreResult::Saved;
    case IniWriteResult::NotWritten:
        runSettings().keep(fullKey, value);
        return StoreResult::KeptForRun;
    case IniWriteResult::Refused:
        break;
    }
    return StoreResult::Refused;
}

// A device id that cannot be stored is made from what stays the same for this user on this
// machine, so that the service sees one device from run to run: the machine's own id and the
// user's home folder. "" where the machine has no id.
QString derivedDeviceId()
{
    const QByteArray machine = QSysInfo::machineUniqueId();
    if (machine.isEmpty())
        return QString();
    static const QUuid deviceIdSpace(QStringLiteral("{5b0e4c1e-3f0a-4d59-9a57-6e2f64f1c2d8}"));
    const QByteArray user = QFile::encodeName(QDir::homePath());
    return QUuid::createUuidV5(deviceIdSpace, machine + '\n' + user).toString(QUuid::Id128);
}

} // namespace

QString configFilePath()
{
    return applicationDataDir() + QStringLiteral("/CONFIG.dat");
}

QString readConfigValue(const QString &key)
{
    QString value;
    if (runSettings().find(key, value))
        return value;
    bool reliable = true;
    value = readIniValue(configFilePath(), key, configKeys(), &reliable);
    runSettings().noteRead(key, reliable);
    return value;
}

bool writeConfigValue(const QString &group, const QString &key, const QString &value)
{
    return storeConfigValue(group, key, value) != StoreResult::Refused;
}

int readConfigInt(const QString &group, const QString &key)
{
    return readConfigValue(group + QLatin1Char('/') + key).toInt();
}

QString deviceId()
{
    const QString stored = readConfigValue(QStringLiteral("user/uuid"));
    if (!stored.isEmpty())
        return stored;
    const QString id = newUuidString();
    if (storeConfigValue(QStringLiteral("user"), QStringLiteral("uuid"), id) == StoreResult::Saved)
        return id;
    const QString derived = derivedDeviceId();
    if (derived.isEmpty())
        return id;
    runSettings().keep(QStringLiteral("user/uuid"), derived);
    return derived;
}

QString installChannel()
{
    const QString channel = readAppIniValue(QStringLiteral("Install/channel"));
    return channel.isEmpty() ? QStringLiteral("default") : channel;
}

bool markInstallActive()
{
    if (readAppIniValue(QStringLiteral("Install/active")) == QLatin1String("1"))
        return false;
    writeIniValue(appIniPath(), QStringLiteral("Install"), QStringLiteral("active"),
                  QStringLiteral("1"));
    return true;
}

QString installName()
{
    if (readAppIniValue(QStringLiteral("Install/native")) != QLatin1String("1"))
        return QString();
    return readAppIniValue(QStringLiteral("Install/name"));
}
