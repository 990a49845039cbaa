#include "TextUtils.h"

#include <QDateTime>
#include <QUuid>

QString newUuidString()
{
    return QUuid::createUuid()
        .toString()
        .remove(QLatin1Char('{'))
        .remove(QLatin1Char('}'))
        .remove(QLatin1Char('-'));
}

QString formatFileSize(qint64 size)
{
    constexpr qint64 kilo = 1024;
    constexpr qint64 mega = kilo * 1024;
    constexpr qint64 giga = mega * 1024;
    const double bytes = static_cast<double>(size);
    if (size >= giga)
        return QString::asprintf("%.2fG", bytes / giga);
    if (size >= mega)
        return QString::asprintf("%.2fMB", bytes / mega);
    if (size >= kilo)
        return QString::asprintf("%.2fKB", bytes / kilo);
    return QString::asprintf("%.0fB", bytes);
}

int valueForMode(int mode)
{
    switch (mode) {
    case 0:
        return 60;
    case 2:
        return 20;
    default:
        return 40;
    }
}

QString emptyString()
{
    return QStringLiteral("");
}

QString timestampText()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss-zzz"));
}

int nextSequenceNumber()
{
    static int counter = 0;
    counter = counter + 1 > 999 ? 0 : counter + 1;
    return counter;
}
