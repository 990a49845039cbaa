#pragma once

#include <QString>
#include <QThread>

class EngineProcess;
class PageCountQueue;
class QTimer;

// Asks the engine for the page count of one document and answers once with the count as
// text, "全部" when the engine gave none, or "-1" (read "unknown") when no engine could be
// started or it gave no answer within the time limit (then it is ended). The worker's thread only
// asks for the start; the engine runs in the GUI thread, where the answer is emitted. Workers wait
// their turn in the page-count queue, so only a few threads and engines run at once however many
// files are added. An Office file may be counted by converting it with LibreOffice, which takes a
// processor or more and seconds to minutes a file: those wait in a queue of their own, which lets
// only two run at once, and are given a longer time.
class FilePageCount : public QThread
{
    Q_OBJECT

public:
    explicit FilePageCount(const QString &filePath);
    // Ends a running engine without an answer, and waits for the worker's thread.
    ~FilePageCount() override;

    // Starts the worker's thread, and with it the engine, once it is the worker's turn in
    // the page-count queue: adding thousands of files then starts no more threads at once
    // than engines. It hides QThread::start; a thread started past it waits for its turn
    // before the engine starts.
    void start(Priority priority = InheritPriority);

    // The file's size for the row's size label: "1.50KB", "1.00MB".
    QString fileSizeText() const;

    // How long an engine may take to count, from its start, for the workers started
    // afterwards: 30 seconds, far more than a local document needs; for an Office file 5
    // minutes, many times what LibreOffice takes for one on a busy machine. Tests shorten them.
    static void setTimeLimit(int milliseconds);
    static void setOfficeTimeLimit(int milliseconds);

signals:
    void PageCountResultSignal(QString pageCount);
    void StartProcessSignal();

private slots:
    void ProcessFinished(int codeId);
    void StartProcessSlot();

protected:
    void run() override;

private:
    void startEngine();
    void giveUp();
    void answerOnce(const QString &answer);
    QStringList leftovers() const;
    PageCountQueue &queue() const;
    bool engineLibrariesPresent() const;
    QString readAnswer();

    EngineProcess *m_engineProcess = nullptr;
    QTimer *m_timeLimit = nullptr;
    QString m_enginePath;
    QString m_filePath;
    qint64 m_fileSize = 0;
    bool m_isOfficeFile = false;
    QString m_stateFilePath;
    bool m_answered = false;
};
