#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Files the engine writes (its state file) are read in bounded memory, whatever the engine
// put into them: line by line, up to engineFileSizeLimit bytes in all, far more than an honest
// engine writes (a progress line a percent and a result come to a few kilobytes; thirty
// thousand progress lines to half a megabyte). A line longer than engineLineLimit, more than
// any path, is skipped whole: cut short, a path would name another file.
constexpr qint64 engineFileSizeLimit = 16 * 1024 * 1024;
constexpr int engineLineLimit = 64 * 1024;

// Called with each line without its line end ("\n" or "\r\n"); false stops the reading.
using EngineFileLineHandler = std::function<bool(const QByteArray &line)>;

// Reads the lines of the file at path in order. Only a regular file is read: a FIFO or a
// device planted under the name must neither block nor flood the reader. False when the
// path names no regular file that can be opened.
bool forEachEngineFileLine(const QString &path, const EngineFileLineHandler &onLine);
