#pragma once

#include <QString>
#include <QStringList>

// One key of an INI file, read or written through its own QSettings object, so that nothing
// is cached. A damaged file (a line that runs on into the next) is read through a repaired
// copy and repaired before a write. Files are bounded: a write after which the file would be
// larger than maximumIniFileBytes is refused, and a file already past it (made by something
// else) is never rewritten. Such a file is streamed once a run (again only when it changes)
// and only the entries of the keys the program knows are kept, each line of at most the
// bound; it is never parsed whole. So a file within the bound is held a few times over at
// most, and a larger one costs memory in proportion to the bound and its known keys alone.

constexpr qint64 maximumIniFileBytes = 8 * 1024 * 1024;

enum class IniWriteResult
{
    Written,    // the value is in the file
    NotWritten, // the file cannot take it now: not a file, unreadable, oversized, no space
    Refused,    // the value would take the file past the bound
};

// The value of key (group and name joined by "/"); "" when absent. knownKeys are the keys the
// program reads from the file: a file past the bound is streamed once for all of them.
// reliable (when given) tells whether the file was read in full: false when a damaged file
// could not be repaired for reading and was read as it is, so that keys after the damage may
// have read empty, or when what was kept of a file past the bound could not be read.
QString readIniValue(const QString &filePath, const QString &key, const QStringList &knownKeys,
                     bool *reliable = nullptr);
IniWriteResult writeIniValue(const QString &filePath, const QString &group, const QString &key,
                             const QString &value);
