#include "EngineStateFile.h"

#include "ProfileStringReader.h"

#include <QDebug>
#include <QFile>

namespace {

int numberAfterLastEquals(const QByteArray &line)
{
    return line.mid(line.lastIndexOf('=') + 1).toInt();
}

} // namespace

int readStateFileProgress(const QString &stateFilePath)
{
    QFile file(stateFilePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    int progress = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
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
    outputs.firstFile =
        decodeUtf8UpToZero(readProfileString(stateFilePath, "outputfiles", "file_0"));
    return outputs;
}
