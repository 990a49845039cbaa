#pragma once

#include <QString>

class QFile;

// Folders and files used across Quorvane.

// How the platform's file system compares names: "Report.txt" and "report.txt" are one file
// on Windows and two on Linux.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kFileNameCase = Qt::CaseSensitive;
#endif

// Qt's writable application-data folder (holds "CONFIG.dat" and "APP.ini").
QString applicationDataDir();
// The folder of the running executable; the engine program lies there.
QString applicationDir();
// The folder "TzQuorvane" for state files and the QR picture, made on demand, with a
// closing "/"; callers append a bare file name. On Linux it lies in the user's runtime
// folder, or in the temp folder that all users share; it is the user's own: made with mode
// 0700, and a folder of that name that is a link, belongs to someone else or that others
// may write into is refused in favour of a fresh private folder for this run, which goes
// when the application object does.
QString tempWorkDir();
// The user's runtime folder when it is private to the user ("" when there is none or it is
// not): the place for per-session files such as the single-instance lock.
QString privateRuntimeDir();

// Reads at most maxBytes of a regular file into content. Whatever else the path names (a
// FIFO, a device, a folder, nothing) gives false at once: opening never waits for a writer.
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray &content);
// Opens path for reading when it is a regular file, without waiting on anything else (a FIFO
// or a device that stands in its place by now).
bool openRegularFile(const QString &path, QFile &file);

bool ensureDirExists(const QString &path);
bool makeDir(const QString &path);
bool clearDirectory(const QString &path, bool removeSelf);
void emptyDirectory(const QString &path);
// The size of a regular file; 0 for anything else (nothing, a folder, a FIFO, a device).
qint64 fileSize(const QString &path);

bool isImageFile(const QString &path);
bool isPdfFile(const QString &path);
bool isOfficeFile(const QString &path);
bool isDriveRoot(const QString &text);
bool hasDriveLetter(const QString &text);

QString copyToSpaceFreeName(const QString &path);
void copyToTempIfChinese(const QString &sourcePath, QString &path, QString &name, QString &suffix);
// Copies source to target (native separators of target read as "/"); true when they are the
// same file name already.
bool copyFileTo(const QString &source, const QString &target, bool overwrite);
bool copyDirectoryTree(const QString &source, const QString &target, bool overwrite);
bool copyDirectoryTreeChecked(const QString &source, const QString &target, bool overwrite);
