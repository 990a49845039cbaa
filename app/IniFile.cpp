#include "IniFile.h"

#include "FileUtils.h"
#include "IniLineRepair.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

#include <utility>

namespace {

// Section brackets, "=", quotes and line ends around one new entry.
constexpr qint64 entryFramingBytes = 16;

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
    explicit IniFileContent(FileState state, qint64 size = 0, QByteArray repaired = QByteArray())
        : state(state), size(size), repaired(std::move(repaired))
    {
    }

    FileState state;
    qint64 size;
    QByteArray repaired; // for a damaged file
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
        return IniFileContent(FileState::Sound, content.size());
    return IniFileContent(FileState::Damaged, content.size(), repaired);
}

QString settingsValue(const QString &filePath, const QString &key)
{
    const QSettings settings(filePath, QSettings::IniFormat);
    return settings.value(key).toString();
}

bool holdsContent(QTemporaryFile &copy, const QByteArray &content)
{
    return copy.open() && copy.write(content) == content.size() && copy.flush();
}

// A damaged file is read through a repaired copy and left as it is until a write. The copy
// goes beside the file, in the user's own folder where the file itself would be rewritten,
// else into the work folder. Where neither takes it, the file is read as it is: keys before
// the damage still read right.
QString repairedValue(const QString &filePath, const QByteArray &repaired, const QString &key,
                      bool *reliable)
{
    const QString copyName = QFileInfo(filePath).fileName() + QStringLiteral(".repaired-XXXXXX");
    QTemporaryFile beside(QFileInfo(filePath).absolutePath() + QLatin1Char('/') + copyName);
    if (holdsContent(beside, repaired))
        return settingsValue(beside.fileName(), key);
    QTemporaryFile inWorkFolder(tempWorkDir() + copyName);
    if (holdsContent(inWorkFolder, repaired))
        return settingsValue(inWorkFolder.fileName(), key);
    if (reliable)
        *reliable = false;
    return settingsValue(filePath, key);
}

bool replaceFileContent(const QString &filePath, const QByteArray &content)
{
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

// At most what Qt's INI text takes for a value: a character outside printable ASCII becomes
// "\xhhhh", a quote or a backslash gets a backslash.
qint64 largestEscapedValueBytes(const QString &value)
{
    qint64 bytes = 0;
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f)
            bytes += 6;
        else if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            bytes += 2;
        else
            bytes += 1;
    }
    return bytes;
}

// Names are short; any of their characters takes at most "%Uhhhh".
qint64 largestEntryBytes(const QString &group, const QString &key, const QString &value)
{
    return 6 * (group.size() + key.size()) + largestEscapedValueBytes(value) + entryFramingBytes;
}

} // namespace

QString readIniValue(const QString &filePath, const QString &key, bool *reliable)
{
    if (reliable)
        *reliable = true;
    const IniFileContent file = inspect(filePath);
    switch (file.state) {
    case FileState::NotAFile:
        return QString();
    case FileState::Damaged:
        return repairedValue(filePath, file.repaired, key, reliable);
    case FileState::Missing:
    case FileState::Sound:
    case FileState::Oversized:
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
    if (file.size + largestEntryBytes(group, key, value) > maximumIniFileBytes)
        return IniWriteResult::Refused;
    if (file.state == FileState::Damaged && !replaceFileContent(filePath, file.repaired))
        return IniWriteResult::NotWritten;
    QSettings settings(filePath, QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError ? IniWriteResult::Written
                                                   : IniWriteResult::NotWritten;
}
