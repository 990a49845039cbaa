#include "EngineProcess.h"

#include <QFile>

// Windows keeps the process layer's own start and kill: the engine alone is ended on a stop.
EngineProcess::EngineProcess(Output output, QObject *parent)
    : QObject(parent), m_outputMode(output), m_process(new QProcess(this))
{
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    if (m_outputMode == Output::Discarded)
        m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::started, this, &EngineProcess::started);
    connect(m_process, &QProcess::readyReadStandardOutput, this,
            [this] { appendOutput(m_process->readAllStandardOutput()); });
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int code, QProcess::ExitStatus status) {
                appendOutput(m_process->readAllStandardOutput());
                emit finished(code, status != QProcess::NormalExit);
            });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // Only a failed start is never followed by finished().
        if (error == QProcess::FailedToStart)
            reportFailedStart();
    });
}

EngineProcess::~EngineProcess()
{
    stop();
}

void EngineProcess::start(const QString &program, const QStringList &arguments)
{
    if (isRunning())
        return;
    m_output.clear();
    m_startFailurePending = false;
    m_process->setWorkingDirectory(m_workingDirectory);
    m_process->start(program, arguments, QIODevice::ReadOnly);
}

bool EngineProcess::isRunning() const
{
    return m_process->state() != QProcess::NotRunning;
}

void EngineProcess::stop(const QStringList &leftovers)
{
    m_startFailurePending = false;
    const QSignalBlocker quiet(m_process);
    m_process->close();
    for (const QString &file : leftovers)
        QFile::remove(file);
}

void EngineProcess::finishEnding()
{
    // A stop has waited for its engine already.
}
