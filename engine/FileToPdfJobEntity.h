#pragma once

#include "StopFlag.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

// Turns one Word, Excel or PowerPoint file into a PDF by running the engine once. The
// job's own thread only asks for the start and polls the state file; the engine process
// lives in the GUI thread, where every result is emitted.
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
    int readJobProgress() const;
    void readJobOutputFiles();
    void reportJobFailure(bool removeStateFile);
    void emitResultOnce(bool result, const QString &outputPath);
    void forwardProgress(int progress);
    void onEngineFinished(int code, QProcess::ExitStatus status);
    void onEngineError(QProcess::ProcessError error);

    QString m_outputPath;
    QString m_sourcePath;
    QProcess *m_engineProcess = nullptr;
    QString m_enginePath;
    QString m_applicationFolder;
    StopFlag m_stop;
    QString m_stateFilePath;
    bool m_resultSent = false;
};
