#include "IniLineRepair.h"

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// One physical line, scanned as the INI reader scans it: a backslash escapes the next
// character, a double quote toggles quoting, and ";" outside quotes starts a comment.
QByteArray selfContained(const QByteArray &line)
{
    if (line.isEmpty() || line.at(0) == ';')
        return line;
    bool quoted = false;
    bool escapesLineEnd = false;
    for (int i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '\\') {
            if (i + 1 == line.size())
                escapesLineEnd = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            break;
        }
    }
    QByteArray repaired = line;
    if (escapesLineEnd)
        repaired.chop(1);
    if (quoted)
        repaired.append('"');
    return repaired;
}

} // namespace

QByteArray withSelfContainedLines(const QByteArray &content)
{
    QByteArray result;
    result.reserve(content.size() + 16);
    int lineStart = 0;
    for (int i = 0; i <= content.size(); ++i) {
        if (i < content.size() && !isLineEnd(content.at(i)))
            continue;
        result.append(selfContained(content.mid(lineStart, i - lineStart)));
        if (i < content.size())
            result.append(content.at(i));
        lineStart = i + 1;
    }
    return result;
}
