#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#ifdef Q_OS_WIN
#include <QProcess>
#else
#include <memory>

class QSocketNotifier;
class QTimer;
struct SpawnTicket;
#endif

// One run of the engine program, started, watched and ended in the GUI thread.
//
// On Linux the engine is started without copying the GUI process (from a launcher thread, so
// the GUI thread never waits for it), so a start costs the same however large the program has
// grown. It runs in a process group of its own (a background engine in a session of its own,
// at a lower priority) and ends with the program, even when the program is killed. When it
// ends, whatever it left running in its group is killed; a stop ends the group and whatever
// the engine started in other sessions as well, and never keeps the GUI thread waiting (see
// EngineReaper). Its standard input and error are the null device; its standard output is
// the null device too, or, when captured, kept up to kOutputLimit bytes and the rest drained
// and dropped, so that a talkative engine neither stalls nor fills the memory. Each engine
// keeps its temporary files (TMPDIR) in a folder of its own in the temp work folder, which
// goes once the engine's group has ended, however it ended: nothing depends on the engine's
// own clean-up.
class EngineProcess : public QObject
{
    Q_OBJECT

public:
    enum class Output
    {
        Discarded,
        Captured
    };
    static constexpr int kOutputLimit = 64 * 1024;

    enum class Priority
    {
        Normal,
        // Behind the window: page counts, which the user waits for only indirectly.
        Background
    };

    explicit EngineProcess(Output output, QObject *parent = nullptr);
    // Ends a running engine as stop() does.
    ~EngineProcess() override;

    void setWorkingDirectory(const QString &folder) { m_workingDirectory = folder; }
    // For the engines started afterwards.
    void setPriority(Priority priority) { m_priority = priority; }

    // Starts program; finished() or failedToStart() follows, never during this call.
    void start(const QString &program, const QStringList &arguments);
    bool isRunning() const;
    // Ends the engine and whatever it started; returns at once, while the engine is given a
    // moment to end on its own before it is killed. Nothing is reported afterwards.
    // leftovers: files that the engine writes, removed once it has ended (at once when no
    // engine runs).
    void stop(const QStringList &leftovers = {});

    // For quitting: engines still ending are given at most their grace, all of them together,
    // then killed, and their leftovers and temporary folders removed.
    static void finishEnding();

    // What the engine wrote to its standard output, up to kOutputLimit bytes.
    QByteArray capturedOutput() const { return m_output; }

signals:
    // The engine runs: it has replaced the program's copy that started it.
    void started();
    void finished(int exitCode, bool crashed);
    void failedToStart();

private:
    void reportFailedStart();
    void appendOutput(const QByteArray &chunk);

    Output m_outputMode;
    QString m_workingDirectory;
    Priority m_priority = Priority::Normal;
    QByteArray m_output;
    bool m_startFailurePending = false;

#ifdef Q_OS_WIN
    QProcess *m_process;
#else
    void spawn(const QString &program, const QStringList &arguments);
    void takeSpawned();
    void dropStart(const QStringList &leftovers);
    void watchExit();
    void watchOutput(int readEnd);
    void readOutput();
    void closeOutput();
    void reapIfEnded();
    void forget();
    QStringList withTempFolder(const QStringList &leftovers) const;

    std::shared_ptr<SpawnTicket> m_ticket; // from the start until the engine is reaped
    int m_pid = -1;
    QString m_tempFolder;  // the engine's TMPDIR, from its start until it is handed on
    int m_exitNotice = -1; // readable once the engine has ended
    int m_outputPipe = -1;
    QSocketNotifier *m_exitNotifier = nullptr;
    QSocketNotifier *m_outputNotifier = nullptr;
    QTimer *m_exitPoll = nullptr; // where the kernel gives no exit notice
#endif
};
