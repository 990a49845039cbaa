#pragma once

#include <QString>

// A new UUID as 32 lower-case hexadecimal digits, without braces and dashes.
QString newUuidString();
// "1023B", "1.00KB", "1.00MB", "1.00G".
QString formatFileSize(qint64 size);
int valueForMode(int mode);
QString emptyString();
// The current local time as "yyyy-MM-dd-hh-mm-ss-zzz".
QString timestampText();
// 1, 2, ..., 999, 0, 1, ... (not thread-safe).
int nextSequenceNumber();
