#pragma once

#include "EngineJobRun.h"

#include <QString>
#include <QStringList>
#include <QThread>

// Turns one PDF into a Word, Excel, PowerPoint, image, text or web-page file (chosen by the
// suffix of the output path) by running the engine once. The job's own thread asks for the
// start, polls the state file and reads the result; the engine process lives in the GUI
// thread, where every result is emitted.
class PdfToFileJobEntity : public QThread
{
    Q_OBJECT

public:
    PdfToFileJobEntity();
    ~PdfToFileJobEntity() override;

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
    QStringList buildPdfToFileArguments() const;

    QString m_outputPath;
    QString m_sourcePath;
    EngineJobRun m_engineRun;
};
