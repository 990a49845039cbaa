// A program that starts the stand-in engine beside it and keeps running, for a test to kill:
// the engine must not outlive it.
#include "EngineProcess.h"
#include "EngineProgram.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    EngineProcess engine(EngineProcess::Output::Discarded);
    if (app.arguments().contains(QStringLiteral("--background")))
        engine.setPriority(EngineProcess::Priority::Background);
    engine.start(engineProgramPath(), {});
    return QCoreApplication::exec();
}
