#include "EngineProgram.h"

#include "FileUtils.h"

QString engineProgramPath()
{
#ifdef Q_OS_WIN
    return applicationDir() + QStringLiteral("/Morvex.exe");
#else
    return applicationDir() + QStringLiteral("/Morvex");
#endif
}
