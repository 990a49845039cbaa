#include "EngineStateFile.h"

#include "EngineFileLines.h"
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
    QByteArray lastProgressLine;
    forEachEngineFileLine(stateFilePath, [&](const QByteArray &line) {
        if (line.startsWith("step") || line.startsWith("progress"))
            lastProgressLine = line;
        return true;
    });
    const int progress = numberAfterLastEquals(lastProgressLine);
    if (lastProgressLine.startsWith("progress"))
        qDebug() << "process = " << progress;
    return progress;
}

EngineOutputFiles readStateFileOutputs(const QString &stateFilePath)
{
    const QHash<QByteArray, QByteArray> values =
        readLastProfileValues(stateFilePath, "outputfiles", {"filecount", "file_0"});
    EngineOutputFiles outputs;
    outputs.fileCount = decodeUtf8UpToZero(values.value("filecount").left(profileValueLimit));
    // A result path is taken whole or not at all: cut at the profile reader's usual limit it
    // would name another file.
    outputs.firstFile = decodeUtf8UpToZero(values.value("file_0"));
    return outputs;
}
