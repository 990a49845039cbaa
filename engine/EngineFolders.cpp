#include "EngineFolders.h"

#include "FileUtils.h"
#include "RunOwnedFiles.h"
#include "TextUtils.h"

#include <QDir>

namespace {

// Where the temp work folder could not be made, it is the system's temp folder, which other
// programs share: nothing is removed there.
bool isOwnWorkFolder(const QString &folder)
{
    return QDir::cleanPath(folder) != QDir::cleanPath(QDir::tempPath());
}

} // namespace

QString engineWorkFolder()
{
    return QDir::cleanPath(tempWorkDir());
}

QString pageCountStateFolder()
{
    return applicationDataDir() + QStringLiteral("/state");
}

QString newConversionStateFilePath()
{
    return RunOwnedFiles::namePrefix(engineWorkFolder()) + newUuidString();
}

QString newPageCountStateFilePath()
{
    static int counter = 0;
    return RunOwnedFiles::namePrefix(pageCountStateFolder()) + QString::number(++counter);
}

void removeEngineFilesOfEndedRuns()
{
    const QString workFolder = engineWorkFolder();
    for (const QString &folder : {workFolder, pageCountStateFolder()}) {
        RunOwnedFiles::namePrefix(folder);
        if (folder != workFolder || isOwnWorkFolder(folder))
            RunOwnedFiles::removeThoseOfEndedRuns(folder);
    }
}

void releaseEngineFolders()
{
    RunOwnedFiles::release(engineWorkFolder());
    RunOwnedFiles::release(pageCountStateFolder());
}
