#include "EngineFileLines.h"

#include "FileUtils.h"

#include <QFile>

namespace {

constexpr int kChunkBytes = 64 * 1024;

// Gathers the bytes read into lines and hands each complete one on.
class LineSplitter
{
public:
    explicit LineSplitter(const EngineFileLineHandler &onLine) : m_onLine(onLine) {}

    // False once the handler asked to stop.
    bool add(const char *data, int size)
    {
        for (int begin = 0; begin < size;) {
            const char *end = static_cast<const char *>(memchr(data + begin, '\n', size - begin));
            const int length = end ? int(end - data) - begin : size - begin;
            append(data + begin, length);
            begin += length;
            if (!end)
                break;
            ++begin; // the line end
            if (!finishLine())
                return false;
        }
        return true;
    }

    // The end of the file: a last line without a line end counts as well.
    void finish()
    {
        if (!m_line.isEmpty() || m_tooLong)
            finishLine();
    }

private:
    void append(const char *data, int length)
    {
        if (m_tooLong)
            return;
        if (m_line.size() + length > engineLineLimit + 1) { // room for a "\r"
            m_tooLong = true;
            m_line.clear();
            return;
        }
        m_line.append(data, length);
    }

    bool finishLine()
    {
        const bool skipped = m_tooLong;
        m_tooLong = false;
        if (m_line.endsWith('\r'))
            m_line.chop(1);
        const bool goOn = skipped || m_onLine(m_line);
        m_line.clear();
        return goOn;
    }

    const EngineFileLineHandler &m_onLine;
    QByteArray m_line;
    bool m_tooLong = false;
};

} // namespace

bool forEachEngineFileLine(const QString &path, const EngineFileLineHandler &onLine)
{
    QFile file;
    if (!openRegularFile(path, file))
        return false;
    LineSplitter lines(onLine);
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    qint64 left = engineFileSizeLimit;
    while (left > 0) {
        const qint64 got = file.read(chunk.data(), qMin<qint64>(chunk.size(), left));
        if (got <= 0) {
            lines.finish(); // the file's end, short of the limit
            break;
        }
        left -= got;
        if (!lines.add(chunk.constData(), int(got)))
            break;
    }
    // A line that the limit cut is left out.
    return true;
}
