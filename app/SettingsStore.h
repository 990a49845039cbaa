#pragma once

#include <QString>

// The settings store "CONFIG.dat" and the installer's "APP.ini", both INI files in the
// application-data folder. Every call opens the file afresh, so nothing is cached and a
// written value is on disk when the write returns. A value that cannot reach the file (the
// file cannot be written, or was not read whole) is kept for the rest of the run instead.

QString configFilePath();
// key is group and key joined by "/" ("convert/openfilepath"); "" when absent.
QString readConfigValue(const QString &key);
// False only when the value is refused: it would take the file past its bound.
bool writeConfigValue(const QString &group, const QString &key, const QString &value);
// 0 when absent or not a number.
int readConfigInt(const QString &group, const QString &key);

// "user/uuid", created on first use: 32 lower-case hexadecimal digits. Where it cannot be
// stored, it is made from the machine's id and the user, the same in every run.
QString deviceId();
// "Install/channel" of "APP.ini", or "default" when missing or empty.
QString installChannel();
// Writes "Install/active" = "1" unless it already is; true when it wrote.
bool markInstallActive();
// "Install/name" when "Install/native" is "1", else "".
QString installName();
