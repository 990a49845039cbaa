#include "ProfileStringReader.h"

#include "FileUtils.h"

#include <QList>

#ifdef Q_OS_WIN
#include <windows.h>

#include <vector>
#endif

namespace {

#ifndef Q_OS_WIN
bool sameName(const QByteArray &left, const QByteArray &right)
{
    return qstricmp(left.constData(), right.constData()) == 0;
}

QByteArray trimmedBlanks(const QByteArray &text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && (text.at(begin) == ' ' || text.at(begin) == '\t'))
        ++begin;
    while (end > begin && (text.at(end - 1) == ' ' || text.at(end - 1) == '\t' ||
                           text.at(end - 1) == '\r' || text.at(end - 1) == '\n'))
        --end;
    return text.mid(begin, end - begin);
}

QByteArray withoutEnclosingQuotes(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// "[name]" gives name; anything else is not a section header.
bool sectionHeader(const QByteArray &line, QByteArray &name)
{
    if (!line.startsWith('['))
        return false;
    const int close = line.indexOf(']');
    name = trimmedBlanks(close < 0 ? line.mid(1) : line.mid(1, close - 1));
    return true;
}

QByteArray readWithOwnReader(const QString &filePath, const QByteArray &section,
                             const QByteArray &key, int maxValueBytes)
{
    QByteArray content;
    if (!readRegularFile(filePath, engineFileReadLimit, content))
        return QByteArray();
    bool inSection = false;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QByteArray line = trimmedBlanks(rawLine);
        QByteArray sectionName;
        if (sectionHeader(line, sectionName)) {
            inSection = sameName(sectionName, section);
            continue;
        }
        const int equals = line.indexOf('=');
        if (!inSection || equals < 0 || !sameName(trimmedBlanks(line.left(equals)), key))
            continue;
        return withoutEnclosingQuotes(trimmedBlanks(line.mid(equals + 1))).left(maxValueBytes);
    }
    return QByteArray();
}
#endif

} // namespace

QByteArray readProfileString(const QString &filePath, const QByteArray &section,
                             const QByteArray &key, int maxValueBytes)
{
#ifdef Q_OS_WIN
    std::vector<char> buffer(size_t(maxValueBytes) + 1, '\0');
    const DWORD length = GetPrivateProfileStringA(section.constData(), key.constData(), "",
                                                  buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  filePath.toLocal8Bit().constData());
    return QByteArray(buffer.data(), static_cast<int>(length));
#else
    return readWithOwnReader(filePath, section, key, maxValueBytes);
#endif
}

QString decodeUtf8UpToZero(const QByteArray &value)
{
    const int zero = value.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? value : value.left(zero));
}
