#pragma once

#include <QByteArray>
#include <QString>

// The engine's files are read up to this size, and only when they are regular files: a
// FIFO or a device planted under a state file's name must neither block nor flood the GUI.
constexpr qint64 engineFileReadLimit = 256 * 1024;

// What the Windows private-profile reader gives at most with its usual 2048-byte buffer.
constexpr int profileValueLimit = 2047;

// Reads one value of an INI file the way the Windows private-profile reader does: section
// and key matched without regard to case, blanks around the value and one pair of
// enclosing quotes dropped, at most maxValueBytes bytes. The bytes come back raw: no escapes,
// no lists, so a value with commas or backslashes reads as it was written. "" when the file,
// the section or the key is missing.
QByteArray readProfileString(const QString &filePath, const QByteArray &section,
                             const QByteArray &key, int maxValueBytes = profileValueLimit);

// Bytes the engine wrote (a raw value, its standard output) as text: UTF-8 up to the first
// zero byte.
QString decodeUtf8UpToZero(const QByteArray &value);
