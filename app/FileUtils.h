#pragma once

#include <QString>

// Folders and files used across Quorvane.

// Qt's writable application-data folder (holds "CONFIG.dat" and "APP.ini").
QString applicationDataDir();
// The folder of the running executable; the engine program lies there.
QString applicationDir();
// The system temp folder + "/TzQuorvane/" (made on demand), or the temp folder + "/" when
// it cannot be made; callers append a bare file name.
QString tempWorkDir();

// Reads at most maxBytes of a regular file into content. Whatever else the path names (a
// FIFO, a device, a folder, nothing) gives false at once: opening never waits for a writer.
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray &content);

bool ensureDirExists(const QString &path);
bool makeDir(const QString &path);
bool clearDirectory(const QString &path, bool removeSelf);
void emptyDirectory(const QString &path);
qint64 fileSize(const QString &path);

bool isImageFile(const QString &path);
bool isPdfFile(const QString &path);
bool isOfficeFile(const QString &path);
bool isDriveRoot(const QString &text);
bool hasDriveLetter(const QString &text);

QString copyToSpaceFreeName(const QString &path);
void copyToTempIfChinese(const QString &sourcePath, QString &path, QString &name, QString &suffix);
bool copyFileTo(const QString &source, const QString &target, bool overwrite);
bool copyDirectoryTree(const QString &source, const QString &target, bool overwrite);
bool copyDirectoryTreeChecked(const QString &source, const QString &target, bool overwrite);
