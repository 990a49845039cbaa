#pragma once

#include "EngineProgram.h"
#include "ProcessLookup.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Drives the stand-in engine "Morvex" beside the test executable (see its source for the
// script) and reads back how Quorvane started it.
struct EngineRun
{
    QString workingDirectory;
    QStringList arguments;
};

class EngineStandIn
{
public:
    EngineStandIn()
    {
        qputenv("MORVEX_LOG", logPath().toLocal8Bit());
        setScript({});
    }
    ~EngineStandIn()
    {
        qunsetenv("MORVEX_LOG");
        qunsetenv("MORVEX_SCRIPT");
    }

    bool isValid() const { return m_dir.isValid() && QFile::exists(engineProgramPath()); }

    // Commands for the engines started from now on.
    static void setScript(const QStringList &commands)
    {
        qputenv("MORVEX_SCRIPT", commands.join('\n').toUtf8());
    }

    QList<EngineRun> runs() const
    {
        QList<EngineRun> runs;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return runs;
        const QStringList lines = QString::fromUtf8(log.readAll()).split('\n');
        for (const QString &line : lines) {
            if (line == "run")
                runs.append(EngineRun());
            else if (line.startsWith("cwd ") && !runs.isEmpty())
                runs.last().workingDirectory = line.mid(4);
            else if (line.startsWith("arg [") && line.endsWith(']') && !runs.isEmpty())
                runs.last().arguments.append(line.mid(5, line.size() - 6));
        }
        return runs;
    }

    // Stand-in engines that this test process started and that still run.
    static int runningEngines()
    {
        const auto engines = findProcessesByName(QStringLiteral("Morvex"));
        const auto self = static_cast<quint32>(QCoreApplication::applicationPid());
        int count = 0;
        for (auto parent : engines)
            count += parent == self ? 1 : 0;
        return count;
    }

private:
    QString logPath() const { return m_dir.filePath(QStringLiteral("engine.log")); }

    QTemporaryDir m_dir;
};
