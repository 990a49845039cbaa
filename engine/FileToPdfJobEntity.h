#pragma once

#include "EngineJobRun.h"

#include <QString>
#include <QStringList>
#include <QThread>

// Turns one Word, Excel or PowerPoint file into a PDF by running the engine once. The
// job's own thread asks for the start, polls the state file and reads the result; the
// engine process lives in the GUI thread, where every result is emitted.
class FileToPdfJobEntity : public QThread
{
    Q_OBJECT

public:
    FileToPdfJobEntity();
    ~FileToPdfJobEntity() override;

    void setJobParams(const QString &sourcePath, const QString &outputPath);
    // Ends the engine; a stopped job delivers nothing more to its owner.
    void stopJob();

signals:
    void StartProcessSignal();
    void ProcessState(int state);
    void ProcessResult(bool result, QString outFilePath);

public slots:
    void processfinished(int code);
    void StartProcessSlot();

protected:
    void run() override;

private:
    QStringList buildFileToPdfArguments() const;

    QString m_outputPath;
    QString m_sourcePath;
    EngineJobRun m_engineRun;
};
