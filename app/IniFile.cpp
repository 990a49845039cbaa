#include "IniFile.h"

#include "FileUtils.h"
#include "IniEntryStream.h"
#include "IniLineRepair.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

#include <utility>

namespace {

enum class FileState
{
    Missing,
    Sound,
    Damaged,
    Oversized,
    Unreadable,
    NotAFile, // a folder or a FIFO: QSettings would fail on it, or block
};

struct IniFileContent
{
    explicit IniFileContent(FileState state, QByteArray content = QByteArray())
        : state(state), content(std::move(content))
    {
    }

    FileState state;
    QByteArray content; // of a sound file as it is, of a damaged one repaired
};

// Looks at the whole file, however long, up to the bound.
IniFileContent inspect(const QString &filePath)
{
    const QFileInfo info(filePath);
    if (!info.exists())
        return IniFileContent(FileState::Missing);
    if (!info.isFile())
        return IniFileContent(FileState::NotAFile);
    if (info.size() > maximumIniFileBytes)
        return IniFileContent(FileState::Oversized);
    QByteArray content;
    if (!readRegularFile(filePath, maximumIniFileBytes + 1, content))
        return IniFileContent(FileState::Unreadable);
    if (content.size() > maximumIniFileBytes)
        return IniFileContent(FileState::Oversized);
    QByteArray repaired = withSelfContainedLines(content);
    if (repaired == content)
        return IniFileContent(FileState::Sound, content);
    return IniFileContent(FileState::Damaged, repaired);
}

QString settingsValue(const QString &filePath, const QString &key)
{
    const QSettings settings(filePath, QSettings::IniFormat);
    return settings.value(key).toString();
}

bool holdsContent(QTemporaryFile &copy, const QByteArray &content)
{
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush())
        return false;
    // Closed, so that QSettings may replace it; it is still removed with the object.
    copy.close();
    return true;
}

// A copy of the file with other content, beside the file, in the user's own folder where
// the file itself would be rewritten, else in the work folder; false where neither takes it.
bool makeCopy(QTemporaryFile &beside, QTemporaryFile &inWorkFolder, const QString &filePath,
              const QByteArray &content, QString &copyPath)
{
    const QString copyName = QFileInfo(filePath).fileName() + QStringLiteral(".copy-XXXXXX");
    beside.setFileTemplate(QFileInfo(filePath).absolutePath() + QLatin1Char('/') + copyName);
    if (holdsContent(beside, content)) {
        copyPath = beside.fileName();
        return true;
    }
    inWorkFolder.setFileTemplate(tempWorkDir() + copyName);
    if (holdsContent(inWorkFolder, content)) {
        copyPath = inWorkFolder.fileName();
        return true;
    }
    return false;
}

// A file that cannot be read as it is (damaged, or past the bound) is read through a copy
// of what can be read of it; false where no copy can be written.
bool valueThroughCopy(const QString &filePath, const QByteArray &readable, const QString &key,
                      QString &value)
{
    QTemporaryFile beside;
    QTemporaryFile inWorkFolder;
    QString copyPath;
    if (!makeCopy(beside, inWorkFolder, filePath, readable, copyPath))
        return false;
    value = settingsValue(copyPath, key);
    return true;
}

bool replaceFileContent(const QString &filePath, const QByteArray &content)
{
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

bool setSettingsValue(const QString &filePath, const QString &group, const QString &key,
                      const QString &value)
{
    QSettings settings(filePath, QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    // A format error tells only of lines that the read passed over; the file is written.
    return settings.status() != QSettings::AccessError;
}

// The size the file will have once Qt has written the value into content, found by having
// Qt write it into a copy; -1 where no copy can be written.
qint64 sizeAfterWrite(const QString &filePath, const QByteArray &content, const QString &group,
                      const QString &key, const QString &value)
{
    QTemporaryFile beside;
    QTemporaryFile inWorkFolder;
    QString copyPath;
    if (!makeCopy(beside, inWorkFolder, filePath, content, copyPath) ||
        !setSettingsValue(copyPath, group, key, value))
        return -1;
    return QFileInfo(copyPath).size();
}

// What this run has read of files past the bound: the entries of the keys looked for, as long
// as the file stays as it was. Such a file is streamed again only when it changes, or when a
// key is asked for that was not looked for.
class OversizedFileReads
{
public:
    static OversizedFileReads &instance()
    {
        static OversizedFileReads reads;
        return reads;
    }

    // The INI text of the known keys and key; false when the file cannot be read.
    bool entries(const QString &filePath, const QString &key, const QStringList &knownKeys,
                 QByteArray &entries)
    {
        const QFileInfo info(filePath);
        const qint64 size = info.size();
        const QDateTime modified = info.lastModified();
        QMutexLocker lock(&m_mutex);
        Read &read = m_reads[filePath];
        if (read.size != size || read.modified != modified || !read.keys.contains(key)) {
            QSet<QString> keys = read.keys;
            keys.unite(QSet<QString>(knownKeys.cbegin(), knownKeys.cend()));
            keys.insert(key);
            read = Read();
            read.keys = keys;
            if (!readIniEntries(filePath, read.keys, int(maximumIniFileBytes), read.entries)) {
                m_reads.remove(filePath);
                return false;
            }
            read.size = size;
            read.modified = modified;
        }
        entries = read.entries;
        return true;
    }

private:
    struct Read
    {
        qint64 size = -1;
        QDateTime modified;
        QSet<QString> keys;
        QByteArray entries;
    };

    QMutex m_mutex;
    QHash<QString, Read> m_reads;
};

} // namespace

QString readIniValue(const QString &filePath, const QString &key, const QStringList &knownKeys,
                     bool *reliable)
{
    if (reliable)
        *reliable = true;
    const IniFileContent file = inspect(filePath);
    QString value;
    QByteArray entries;
    switch (file.state) {
    case FileState::NotAFile:
        return QString();
    case FileState::Damaged:
        if (valueThroughCopy(filePath, file.content, key, value))
            return value;
        // Read as it is: keys before the damage still read right.
        if (reliable)
            *reliable = false;
        return settingsValue(filePath, key);
    case FileState::Oversized:
        if (!OversizedFileReads::instance().entries(filePath, key, knownKeys, entries) ||
            !valueThroughCopy(filePath, entries, key, value)) {
            if (reliable)
                *reliable = false;
        }
        return value;
    case FileState::Missing:
    case FileState::Sound:
    case FileState::Unreadable:
        break;
    }
    return settingsValue(filePath, key);
}

IniWriteResult writeIniValue(const QString &filePath, const QString &group, const QString &key,
                             const QString &value)
{
    const IniFileContent file = inspect(filePath);
    switch (file.state) {
    case FileState::NotAFile:
    case FileState::Oversized:
    case FileState::Unreadable:
        // A file that was not read whole is never written over: its keys would be lost.
        return IniWriteResult::NotWritten;
    case FileState::Missing:
    case FileState::Sound:
    case FileState::Damaged:
        break;
    }
    // Every character takes a byte at least: a value this long needs no copy to be refused.
    if (group.size() + key.size() + value.size() > maximumIniFileBytes)
        return IniWriteResult::Refused;
    // Qt writes the whole file anew, the value it replaces gone and every other entry in its
    // own spelling: only the file it writes tells whether that fits.
    const qint64 size = sizeAfterWrite(filePath, file.content, group, key, value);
    if (size < 0)
        return IniWriteResult::NotWritten;
    if (size > maximumIniFileBytes)
        return IniWriteResult::Refused;
    if (file.state == FileState::Damaged && !replaceFileContent(filePath, file.content))
        return IniWriteResult::NotWritten;
    // Written by QSettings itself, which then knows the file as it now is.
    return setSettingsValue(filePath, group, key, value) ? IniWriteResult::Written
                                                         : IniWriteResult::NotWritten;
}
