#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// What the Windows private-profile reader gives at most with its usual 2048-byte buffer.
constexpr int profileValueLimit = 2047;

// Reads one value of an INI file the way the Windows private-profile reader does: section
// and key matched without regard to case, blanks around the value and one pair of
// enclosing quotes dropped, at most maxValueBytes bytes, the first of several keys of that
// name. The bytes come back raw: no escapes, no lists, so a value with commas or backslashes
// reads as it was written. "" when the file, the section or the key is missing.
QByteArray readProfileString(const QString &filePath, const QByteArray &section,
                             const QByteArray &key, int maxValueBytes = profileValueLimit);

// The values of keys in section, by the same rules, read through the whole file: where a key
// stands more than once (also in a second section of that name), the last value counts, as
// it does for an engine that rewrites its result. Keys come back in lower case; a key that
// is missing is not in the result.
QHash<QByteArray, QByteArray> readLastProfileValues(const QString &filePath,
                                                    const QByteArray &section,
                                                    const QList<QByteArray> &keys);

// Bytes the engine wrote (a raw value, its standard output) as text: UTF-8 up to the first
// zero byte.
QString decodeUtf8UpToZero(const QByteArray &value);
