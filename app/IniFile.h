#pragma once

#include <QString>

// One key of an INI file, read or written through its own QSettings object, so that nothing
// is cached. A damaged file (a line that runs on into the next) is read through a repaired
// copy and repaired before a write. Files are bounded: a write that would take the file past
// maximumIniFileBytes is refused, and a file already past it (made by something else) is read
// as it is and never rewritten, so that no access holds more than a few times the bound.

constexpr qint64 maximumIniFileBytes = 8 * 1024 * 1024;

enum class IniWriteResult
{
    Written,    // the value is in the file
    NotWritten, // the file cannot take it now: not a file, unreadable, oversized, no space
    Refused,    // the value would take the file past the bound
};

// The value of key (group and name joined by "/"); "" when absent. reliable (when given)
// tells whether the file was read in full: false when a damaged file could not be repaired
// for reading and was read as it is, so that keys after the damage may have read empty.
QString readIniValue(const QString &filePath, const QString &key, bool *reliable = nullptr);
IniWriteResult writeIniValue(const QString &filePath, const QString &group, const QString &key,
                             const QString &value);
