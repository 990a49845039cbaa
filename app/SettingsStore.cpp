#include "SettingsStore.h"

#include "FileUtils.h"
#include "IniLineRepair.h"
#include "TextUtils.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

namespace {

// Far beyond any settings file Quorvane writes; a bigger one is not read as settings.
constexpr qint64 maximumSettingsBytes = 1024 * 1024;

QString appIniPath()
{
    return applicationDataDir() + QStringLiteral("/APP.ini");
}

// Values whose write did not reach the settings file (it is a folder, or its folder cannot
// be made or written). They stand in for the file's values for the rest of the run, so
// that the device id, the sign-in and the output folder stay what the user was shown.
class UnsavedValues
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

    void keep(const QString &key, const QString &value, bool saved)
    {
        QMutexLocker lock(&m_mutex);
        if (saved)
            m_values.remove(key);
        else
            m_values.insert(key, value);
    }

private:
    QMutex m_mutex;
    QHash<QString, QString> m_values;
};

UnsavedValues &unsavedConfigValues()
{
    static UnsavedValues values;
    return values;
}

// A path that exists but is no regular file (a folder, a FIFO) is not opened as settings:
// QSettings would block on a FIFO.
bool isReadableSettingsPath(const QString &filePath)
{
    const QFileInfo info(filePath);
    return !info.exists() || info.isFile();
}

// The file's content when it holds a line that would run on into the next one; null when
// the file is sound (or missing), so that QSettings may read it as it is.
QByteArray repairedContent(const QString &filePath)
{
    QByteArray content;
    if (!readRegularFile(filePath, maximumSettingsBytes, content))
        return QByteArray();
    const QByteArray repaired = withSelfContainedLines(content);
    return repaired == content ? QByteArray() : repaired;
}

// One settings object per access, destroyed before returning: nothing is cached and a
// written value is synced to disk by the destructor.
QString readIniValue(const QString &filePath, const QString &key)
{
    if (!isReadableSettingsPath(filePath))
        return QString();
    const QByteArray repaired = repairedContent(filePath);
    if (repaired.isNull()) {
        const QSettings settings(filePath, QSettings::IniFormat);
        return settings.value(key).toString();
    }
    // A damaged file is read through a repaired copy, in the user's own work folder, and left
    // as it is until a write.
    QTemporaryFile copy(tempWorkDir() + QStringLiteral("settings-XXXXXX"));
    if (!copy.open() || copy.write(repaired) != repaired.size() || !copy.flush())
        return QString();
    const QSettings settings(copy.fileName(), QSettings::IniFormat);
    return settings.value(key).toString();
}

bool replaceFileContent(const QString &filePath, const QByteArray &content)
{
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

// True when the value is in the file afterwards.
bool writeIniValue(const QString &filePath, const QString &group, const QString &key,
                   const QString &value)
{
    if (!isReadableSettingsPath(filePath))
        return false;
    const QByteArray repaired = repairedContent(filePath);
    if (!repaired.isNull() && !replaceFileContent(filePath, repaired))
        return false;
    {
        QSettings settings(filePath, QSettings::IniFormat);
        settings.beginGroup(group);
        settings.setValue(key, value);
        settings.endGroup();
    }
    return readIniValue(filePath, group + QLatin1Char('/') + key) == value;
}

} // namespace

QString configFilePath()
{
    return applicationDataDir() + QStringLiteral("/CONFIG.dat");
}

QString readConfigValue(const QString &key)
{
    QString value;
    if (unsavedConfigValues().find(key, value))
        return value;
    return readIniValue(configFilePath(), key);
}

void writeConfigValue(const QString &group, const QString &key, const QString &value)
{
    const bool saved = writeIniValue(configFilePath(), group, key, value);
    unsavedConfigValues().keep(group + QLatin1Char('/') + key, value, saved);
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
