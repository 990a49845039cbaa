#include "ProfileStringReader.h"

#include "EngineFileLines.h"

#include <QList>

#ifdef Q_OS_WIN
#include <windows.h>

#include <vector>
#endif

namespace {

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
    while (end > begin && (text.at(end - 1) == ' ' || text.at(end - 1) == '\t'))
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

// Follows the sections of an INI file line by line and picks out the entries of one.
class SectionReader
{
public:
    explicit SectionReader(const QByteArray &section) : m_section(section) {}

    // True when line is an entry of the section; its key and value are then given.
    bool entry(const QByteArray &rawLine, QByteArray &key, QByteArray &value)
    {
        const QByteArray line = trimmedBlanks(rawLine);
        if (line.startsWith('[')) {
            const int close = line.indexOf(']');
            m_inSection = sameName(trimmedBlanks(close < 0 ? line.mid(1) : line.mid(1, close - 1)),
                                   m_section);
            return false;
        }
        const int equals = line.indexOf('=');
        if (!m_inSection || equals < 0)
            return false;
        key = trimmedBlanks(line.left(equals));
        value = withoutEnclosingQuotes(trimmedBlanks(line.mid(equals + 1)));
        return true;
    }

private:
    QByteArray m_section;
    bool m_inSection = false;
};

#ifndef Q_OS_WIN
QByteArray readFirstWithOwnReader(const QString &filePath, const QByteArray &section,
                                  const QByteArray &key, int maxValueBytes)
{
    SectionReader reader(section);
    QByteArray found;
    forEachEngineFileLine(filePath, [&](const QByteArray &line) {
        QByteArray name, value;
        if (!reader.entry(line, name, value) || !sameName(name, key))
            return true;
        found = value.left(maxValueBytes);
        return false;
    });
    return found;
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
    return readFirstWithOwnReader(filePath, section, key, maxValueBytes);
#endif
}

QHash<QByteArray, QByteArray> readLastProfileValues(const QString &filePath,
                                                    const QByteArray &section,
                                                    const QList<QByteArray> &keys)
{
    SectionReader reader(section);
    QHash<QByteArray, QByteArray> values;
    forEachEngineFileLine(filePath, [&](const QByteArray &line) {
        QByteArray name, value;
        if (reader.entry(line, name, value)) {
            for (const QByteArray &key : keys) {
                if (sameName(name, key))
                    values.insert(key.toLower(), value);
            }
        }
        return true;
    });
    return values;
}

QString decodeUtf8UpToZero(const QByteArray &value)
{
    const int zero = value.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? value : value.left(zero));
}
