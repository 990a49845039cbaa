#include "IniEntryStream.h"

#include "FileUtils.h"
#include "IniLineRepair.h"

#include <QFile>
#include <QHash>

#include <cstring>

namespace {

constexpr qint64 kSliceBytes = 1024 * 1024;

// A section or key name as Qt's INI reader takes it: "%hh" and "%Uhhhh" stand for a
// character, a backslash for "/", any other byte for itself.
QString unescapedName(const QByteArray &raw)
{
    QString name;
    for (int i = 0; i < raw.size();) {
        const char c = raw.at(i);
        if (c == '\\') {
            name += QLatin1Char('/');
            ++i;
            continue;
        }
        const int digits = i + 1 < raw.size() && raw.at(i + 1) == 'U' ? 4 : 2;
        const int first = i + 1 + (digits == 4 ? 1 : 0);
        bool isNumber = false;
        const int code = c == '%' && first + digits <= raw.size()
                             ? raw.mid(first, digits).toInt(&isNumber, 16)
                             : 0;
        if (!isNumber) {
            name += QLatin1Char(c);
            ++i;
            continue;
        }
        name += QChar(code);
        i = first + digits;
    }
    return name;
}

// The group a section header opens: "" for "[General]", "General" for "[%General]".
QString sectionGroup(const QByteArray &line)
{
    const int close = line.indexOf(']');
    const QByteArray raw = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
    if (raw.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    if (raw.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(raw.mid(1));
    return unescapedName(raw);
}

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The groups under which keys can stand: "a" and "a/b" for "a/b/c", "" for a key without one.
QSet<QString> groupsOf(const QSet<QString> &keys)
{
    QSet<QString> groups;
    for (const QString &key : keys) {
        if (!key.contains(QLatin1Char('/')))
            groups.insert(QString());
        for (int slash = key.indexOf(QLatin1Char('/')); slash > 0;
             slash = key.indexOf(QLatin1Char('/'), slash + 1))
            groups.insert(key.left(slash));
    }
    return groups;
}

// Keeps the last line of each key sought. Lines of other sections cost a glance at their
// first character, so that a huge file of foreign entries streams at the speed of the disk.
class EntryCollector
{
public:
    explicit EntryCollector(const QSet<QString> &keys) : m_keys(keys), m_groups(groupsOf(keys))
    {
        enterGroup(QString());
    }

    // One line between line feeds; a carriage return inside ends a line too.
    void take(const char *data, int size)
    {
        for (int start = 0; start <= size;) {
            const char *end =
                static_cast<const char *>(std::memchr(data + start, '\r', size - start));
            const int length = end ? int(end - data) - start : size - start;
            takeLine(data + start, length);
            start += length + 1;
        }
    }

    QByteArray entries() const
    {
        QByteArray all;
        for (const QByteArray &entry : m_lines)
            all += entry;
        return all;
    }

private:
    void takeLine(const char *data, int size)
    {
        int first = 0;
        while (first < size && isBlank(data[first]))
            ++first;
        if (first == size)
            return;
        if (data[first] == '[') {
            m_header = QByteArray(data, size);
            enterGroup(sectionGroup(m_header.trimmed()));
            return;
        }
        if (!m_groupSought || data[first] == ';')
            return;
        const char *equals =
            static_cast<const char *>(std::memchr(data + first, '=', size - first));
        int nameEnd = equals ? int(equals - data) : first;
        while (nameEnd > first && isBlank(data[nameEnd - 1]))
            --nameEnd;
        if (nameEnd == first)
            return;
        const QByteArray rawName = QByteArray::fromRawData(data + first, nameEnd - first);
        const bool escaped = rawName.contains('%') || rawName.contains('\\');
        if (!escaped && !m_namesInGroup.contains(rawName))
            return;
        const QString name = unescapedName(rawName);
        const QString key = m_group.isEmpty() ? name : m_group + QLatin1Char('/') + name;
        if (m_keys.contains(key)) {
            const QByteArray line(data, size);
            m_lines.insert(key, withSelfContainedLines(m_header) + '\n' +
                                    withSelfContainedLines(line) + '\n');
        }
    }

    // The names, as written, of the keys sought in the group a header opened.
    void enterGroup(const QString &group)
    {
        m_group = group;
        m_groupSought = m_groups.contains(group);
        m_namesInGroup.clear();
        const QString prefix = group.isEmpty() ? group : group + QLatin1Char('/');
        for (const QString &key : m_keys) {
            if (key.startsWith(prefix))
                m_namesInGroup.insert(key.mid(prefix.size()).toLatin1());
        }
    }

    const QSet<QString> &m_keys;
    const QSet<QString> m_groups;
    QByteArray m_header;
    QString m_group;
    bool m_groupSought = false;
    QSet<QByteArray> m_namesInGroup;
    QHash<QString, QByteArray> m_lines;
};

} // namespace

bool readIniEntries(const QString &filePath, const QSet<QString> &keys, int maximumLineBytes,
                    QByteArray &entries)
{
    entries.clear();
    QFile file;
    if (!openRegularFile(filePath, file))
        return false;
    EntryCollector collector(keys);
    QByteArray line; // the part of a line that began in an earlier slice
    bool overlong = false;
    QByteArray slice(kSliceBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(slice.data(), kSliceBytes);
        if (got < 0)
            return false;
        const char *data = slice.constData();
        for (qint64 start = 0; start < got;) {
            const char *feed =
                static_cast<const char *>(std::memchr(data + start, '\n', got - start));
            const qint64 length = (feed ? feed - data : got) - start;
            overlong = overlong || line.size() + length > maximumLineBytes;
            if (!feed) {
                if (!overlong)
                    line.append(data + start, int(length));
                break; // the line goes on in the next slice
            }
            if (overlong) {
                // passed over
            } else if (line.isEmpty()) {
                collector.take(data + start, int(length));
            } else {
                line.append(data + start, int(length));
                collector.take(line.constData(), line.size());
            }
            line.clear();
            overlong = false;
            start += length + 1;
        }
        if (got == 0)
            break;
    }
    if (!overlong)
        collector.take(line.constData(), line.size());
    entries = collector.entries();
    return true;
}
