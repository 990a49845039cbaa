// A program that starts the stand-in engine beside it as Quorvane does and keeps running, for
// a test to kill or to let quit:
//   (no option)              one engine, as a conversion runs it; the engine must not outlive
//                            the program
//   --background             one engine, as a page count runs it
//   --files <file> <mark>    a conversion of file and a count of its pages, as a row starts
//                            them; quits as the program does (the rows go, then the engines
//                            are ended) once the file mark exists
//   --start                  what the program does at its start with the engines' files; ends
#include "EngineFolders.h"
#include "EngineProcess.h"
#include "EngineProgram.h"
#include "FilePageCount.h"
#include "PdfToFileJobEntity.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <memory>

namespace {

int runRowsUntilMarked(const QString &file, const QString &quitMark)
{
    auto job = std::make_unique<PdfToFileJobEntity>();
    job->setJobParams(file, file + QStringLiteral(".txt"));
    job->start();
    auto count = std::make_unique<FilePageCount>(file);
    count->start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!QFile::exists(quitMark))
            return;
        count.reset();
        job->stopJob();
        job.reset();
        QCoreApplication::quit();
    });
    poll.start(20);
    const int code = QCoreApplication::exec();
    EngineProcess::finishEnding();
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.contains(QStringLiteral("--start"))) {
        removeEngineFilesOfEndedRuns();
        EngineProcess::finishEnding();
        return 0;
    }
    const int files = arguments.indexOf(QStringLiteral("--files"));
    if (files > 0)
        return runRowsUntilMarked(arguments.value(files + 1), arguments.value(files + 2));
    EngineProcess engine(EngineProcess::Output::Discarded);
    if (arguments.contains(QStringLiteral("--background")))
        engine.setPriority(EngineProcess::Priority::Background);
    engine.start(engineProgramPath(), {});
    return QCoreApplication::exec();
}
