#pragma once

#include <QByteArray>
#include <QString>

// Reads one value of an INI file the way the Windows private-profile reader does: section
// and key matched without regard to case, blanks around the value and one pair of
// enclosing quotes dropped, at most 2047 bytes. The bytes come back raw: no escapes, no
// lists, so a value with commas or backslashes reads as it was written. "" when the file,
// the section or the key is missing.
QByteArray readProfileString(const QString &filePath, const QByteArray &section,
                             const QByteArray &key);

// Bytes the engine wrote (a raw value, its standard output) as text: UTF-8 up to the first
// zero byte.
QString decodeUtf8UpToZero(const QByteArray &value);
