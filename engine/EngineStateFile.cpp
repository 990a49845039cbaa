#include "EngineStateFile.h"

#include "FileUtils.h"
#include "ProfileStringReader.h"

#include <QDebug>

namespace {

int numberAfterLastEquals(const QByteArray &line)
{
    return line.mid(line.lastIndexOf('=') + 1).toInt();
}

} // namespace

int readStateFileProgress(const QString &stateFilePath)
{
    QByteArray content;
    if (!readRegularFile(stateFilePath, engineFileReadLimit, content))
        return 0;
    int progress = 0;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith("step")) {
            progress = numberAfterLastEquals(line);
        } else if (line.startsWith("progress")) {
            progress = numberAfterLastEquals(line);
            qDebug() << "process = " << progress;
        }
    }
    return progress;
}

EngineOutputFiles readStateFileOutputs(const QString &stateFilePath)
{
    EngineOutputFiles outputs;
    outputs.fileCount =
        decodeUtf8UpToZero(readProfileString(stateFilePath, "outputfiles", "filecount"));
    // A result path is taken whole or not at all: cut at the profile reader's usual limit it
    // would name another file.
    outputs.firstFile = decodeUtf8UpToZero(
        readProfileString(stateFilePath, "outputfiles", "file_0", int(engineFileReadLimit)));
    return outputs;
}
