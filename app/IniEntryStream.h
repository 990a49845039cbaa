#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// Reads an INI file of any size as a stream, a slice at a time, and keeps only the entries of
// keys (group and name joined by "/"): for each, the last line that sets it, under its section
// header, so that the result is an INI text that reads as the file would for those keys. Each
// line stands on its own, as in a repaired file. A line longer than maximumLineBytes is passed
// over, so that what is held stays within a few times that bound for each key, whatever the
// file's size. False when the file is not a regular file or cannot be read.
bool readIniEntries(const QString &filePath, const QSet<QString> &keys, int maximumLineBytes,
                    QByteArray &entries);
