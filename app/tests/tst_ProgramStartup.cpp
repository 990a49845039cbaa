#include "StubServiceServer.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QSharedMemory>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The bound of a wait on the program: started on a machine at load 30 it takes seconds to
// build its window or to end, so the bound is a safety net only.
const int kWaitMs = 60000;

const QString startReport = QStringLiteral("/v1/report/start");
const QString installReport = QStringLiteral("/v1/report/activateV2");

QStringList paths(const QList<StubServiceServer::Request> &requests)
{
    QStringList list;
    for (const auto &request : requests)
        list << request.path;
    return list;
}

} // namespace

Q_DECLARE_METATYPE(StubServiceServer::Reply)

// Runs the built program (its loopback variant, same main and libraries) as a process
// against a stand-in service on the port the variant was built for.
class ProgramStartupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Another run of this test may still hold the port for a moment.
        const QDeadlineTimer deadline(10000);
        while (!m_service.listen(QHostAddress::LocalHost, QUORVANE_TEST_SERVICE_PORT) &&
               !deadline.hasExpired())
            QTest::qWait(200);
        QVERIFY2(m_service.isListening(), qPrintable(m_service.errorString()));
        const auto ok = StubServiceServer::json("{\"code\":0,\"data\":{}}");
        for (const QString &path : {startReport, installReport, QStringLiteral("/v1/user/info"),
                                    QStringLiteral("/v1/config")})
            m_service.script(path, {ok});
    }

    void init() { m_service.clearLog(); }

    void switchesEndTheProgram_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("uninstall sends nothing") << QStringList{"-uninstall"} << QStringList{};
        QTest::newRow("uninstall before install")
            << QStringList{"-UnInstall", "-install"} << QStringList{};
        QTest::newRow("install sends one install report")
            << QStringList{"-install"} << QStringList{installReport};
        QTest::newRow("install inside a longer word")
            << QStringList{"file.pdf", "/x-INSTALLER"} << QStringList{installReport};
    }

    void switchesEndTheProgram()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, sent);
        auto program = start(arguments);
        QVERIFY(waitForEnd(*program));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 0);
        QTest::qWait(200);
        QCOMPARE(paths(m_service.requests()), sent);
        if (sent.isEmpty())
            return;

        const auto report = m_service.requests().first();
        QCOMPARE(report.method, QByteArray("GET"));
        QCOMPARE(report.header("app_id"), QByteArray("30000"));
        QCOMPARE(report.header("channel"), QByteArray("default"));
        QCOMPARE(report.header("version"), QByteArray("5.16.1.0"));
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$")
                    .match(QString::fromLatin1(report.header("device_id")))
                    .hasMatch());
    }

    void normalStartWaitsForTheReportThenTheSplash()
    {
        auto slowReport = StubServiceServer::json("{\"code\":0,\"data\":{}}");
        slowReport.delayMs = 1200;
        m_service.script(startReport, {slowReport});
        QElapsedTimer clock;
        clock.start();
        auto program = start({});
        QVERIFY(requested(startReport));
        const qint64 reportSent = clock.elapsed();

        // The main window, which asks for the configuration, comes only after the reply and
        // the one-second splash.
        QVERIFY(requested("/v1/config"));
        const qint64 windowBuilt = clock.elapsed();
        QVERIFY2(windowBuilt - reportSent >= 1200 + 900,
                 qPrintable(QString::number(windowBuilt - reportSent)));
        QCOMPARE(paths(m_service.requests()).first(), startReport);
        QCOMPARE(m_service.requestsFor(startReport).size(), 1);
        QCOMPARE(program->state(), QProcess::Running);

        program->terminate();
        QVERIFY(waitForEnd(*program));
        m_service.script(startReport, {StubServiceServer::json("{\"code\":0,\"data\":{}}")});
    }

    // A report that fails, or never comes back, only delays the start: the start report gives
    // up after two seconds and the window follows the splash.
    void normalStartGoesOnWithoutAReport_data()
    {
        QTest::addColumn<StubServiceServer::Reply>("reply");
        QTest::newRow("server error") << StubServiceServer::json("{\"code\":500}", 500);
        QTest::newRow("no answer") << StubServiceServer::hang();
    }

    void normalStartGoesOnWithoutAReport()
    {
        QFETCH(StubServiceServer::Reply, reply);
        // The same start with a report answered at once, timed on this machine as it is now.
        qint64 answered = 0;
        timeReportToWindow(StubServiceServer::json("{\"code\":0,\"data\":{}}"), answered);
        if (QTest::currentTestFailed())
            return;
        qint64 unanswered = 0;
        timeReportToWindow(reply, unanswered);
        if (QTest::currentTestFailed())
            return;
        // At most two seconds for the report beyond an answered start, with room for a
        // loaded machine; far below the ten seconds of the other requests.
        QVERIFY2(unanswered < answered + 6000,
                 qPrintable(QString("%1 ms, answered %2 ms").arg(unanswered).arg(answered)));
        m_service.script(startReport, {StubServiceServer::json("{\"code\":0,\"data\":{}}")});
    }

    void secondInstanceHandsOffAndEnds()
    {
        QSharedMemory segment(QStringLiteral("quorvanetz"));
        QVERIFY2(segment.create(1024), qPrintable(segment.errorString()));
        std::fill_n(static_cast<char *>(segment.data()), 1024, 'x');

        auto first = start({});
        // The configuration request shows that the first one runs its main window.
        QVERIFY(requested("/v1/config"));

        // The second start ends before it looks at its arguments.
        auto second = start({"-install"});
        QVERIFY(waitForEnd(*second));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        const char *data = static_cast<const char *>(segment.constData());
        QCOMPARE(data[0], '9');
        QCOMPARE(data[1], 'x');
        QTest::qWait(200);
        QVERIFY(m_service.requestsFor(installReport).isEmpty());
        QCOMPARE(m_service.requestsFor(startReport).size(), 1);

        QCOMPARE(first->state(), QProcess::Running);
        first->terminate();
        QVERIFY(waitForEnd(*first));
    }

    // A settings file far past its bound (made by something else) costs a start little more
    // than a normal one: it is streamed once for the keys the program knows, never parsed
    // whole, let alone at every read. Within twice a normal start: the work it adds, in the
    // program's own CPU time (which the machine's load does not change), fits in the time a
    // normal start takes up to its main window; and it adds less than 100 MB to the peak.
    void startWithSettingsFarPastTheBound()
    {
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            "/QuorvaneLoopback/CONFIG.dat";
        QVERIFY(QDir().mkpath(QFileInfo(config).absolutePath()));
        QFile::remove(config);
        const Usage normal = usageAtMainWindow();
        if (QTest::currentTestFailed())
            return;

        const QByteArray id = "00112233445566778899aabbccddeeff";
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[user]\nuuid=" + id + "\n");
        // Entries of a known group, each of which the reader has to look at.
        QByteArray lines;
        for (int i = 0; lines.size() < (1 << 20); ++i)
            lines += "k" + QByteArray::number(i) + "=" + QByteArray(100, 'p') + "\n";
        while (file.size() < 300 * (qint64(1) << 20))
            QVERIFY(file.write(lines) == lines.size());
        file.close();
        const Usage oversized = usageAtMainWindow();
        QFile::remove(config);
        if (QTest::currentTestFailed())
            return;
        // The file is the program's: its device id is read from it.
        QCOMPARE(oversized.deviceId, id);

        const QString figures =
            QString("to the main window %1 ms, CPU %2 ms, peak %3 MB; a normal start: %4 ms, "
                    "CPU %5 ms, peak %6 MB")
                .arg(oversized.wallMs)
                .arg(oversized.cpuMs)
                .arg(oversized.peakKb / 1024)
                .arg(normal.wallMs)
                .arg(normal.cpuMs)
                .arg(normal.peakKb / 1024);
        qInfo("%s", qPrintable(figures));
        QVERIFY2(oversized.cpuMs - normal.cpuMs <= normal.wallMs, qPrintable(figures));
        QVERIFY2(oversized.peakKb <= normal.peakKb + 100 * 1024, qPrintable(figures));
    }

    // At its start the program removes what the engines of earlier runs that were killed left
    // in its temp work folder and its page counts' state folder (the files of a run whose lock
    // nobody holds), and leaves alone what a run that goes on keeps there.
    void startRemovesWhatKilledRunsLeft()
    {
        const QString work = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/TzQuorvane";
        const QString state =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            "/QuorvaneLoopback/state";
        const QStringList killedRuns{"11-killed.lock", "11-killed-engine-Ab12Cd/work/profile",
                                     "11-killed-0123456789abcdef0123456789abcdef"};
        const QStringList goingOn{"22-goeson.lock", "22-goeson-engine-Ef34Gh/work", "22-goeson-3"};
        for (const QString &folder : {work, state}) {
            for (const QString &file : killedRuns + goingOn)
                QVERIFY(plant(folder + "/" + file));
        }
        const int workLock = ::open(QFile::encodeName(work + "/22-goeson.lock"), O_RDONLY);
        const int stateLock = ::open(QFile::encodeName(state + "/22-goeson.lock"), O_RDONLY);
        QVERIFY(::flock(workLock, LOCK_EX) == 0 && ::flock(stateLock, LOCK_EX) == 0);

        auto program = start({});
        const bool removed = QTest::qWaitFor(
            [&] {
                return QDir(work).entryList({"11-*"}).isEmpty() &&
                       QDir(state).entryList({"11-*"}).isEmpty();
            },
            kWaitMs);
        program->terminate();
        QVERIFY(waitForEnd(*program));
        ::close(workLock);
        ::close(stateLock);
        QVERIFY2(removed, qPrintable(QDir(work).entryList({"11-*"}).join(' ') + " | " +
                                     QDir(state).entryList({"11-*"}).join(' ')));
        for (const QString &folder : {work, state}) {
            for (const QString &file : goingOn)
                QVERIFY2(QFile::exists(folder + "/" + file), qPrintable(folder + "/" + file));
            QDir(folder).removeRecursively();
        }
    }

private:
    // A file of a few bytes at path, with the folders above it.
    static bool plant(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("left") == 4;
    }

    std::unique_ptr<QProcess> start(const QStringList &arguments)
    {
        auto program = std::make_unique<QProcess>();
        program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program->start(QStringLiteral(QUORVANE_VARIANT_PATH), arguments);
        program->waitForStarted(kWaitMs);
        return program;
    }

    struct Usage
    {
        qint64 wallMs = 0;
        qint64 cpuMs = 0;
        qint64 peakKb = 0;
        QByteArray deviceId;
    };

    // What a normal start has cost the program once its main window asks for the
    // configuration: the time since it was started, its CPU time, user and system, and its
    // peak resident memory.
    Usage usageAtMainWindow()
    {
        Usage usage;
        m_service.clearLog();
        QElapsedTimer clock;
        clock.start();
        auto program = start({});
        [&] { QVERIFY(requested("/v1/config")); }();
        usage.wallMs = clock.elapsed();
        const QString proc = QString("/proc/%1/").arg(program->processId());
        const QList<QByteArray> stat = readProcFile(proc + "stat").split(' ');
        const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
        // Fields 14 and 15, counted from 1, after the name in parentheses (which has none).
        if (stat.size() > 14)
            usage.cpuMs = (stat[13].toLongLong() + stat[14].toLongLong()) * 1000 / ticksPerSecond;
        for (const QByteArray &line : readProcFile(proc + "status").split('\n')) {
            if (line.startsWith("VmHWM:"))
                usage.peakKb = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        const auto reports = m_service.requestsFor(startReport);
        if (!reports.isEmpty())
            usage.deviceId = reports.first().header("device_id");
        program->terminate();
        [&] { QVERIFY(waitForEnd(*program)); }();
        [&] { QVERIFY2(usage.cpuMs > 0 && usage.peakKb > 0, qPrintable(proc)); }();
        return usage;
    }

    static QByteArray readProcFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Keeps this thread's event loop running, so the stand-in service answers meanwhile.
    static bool waitForEnd(QProcess &program)
    {
        return QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, kWaitMs);
    }

    // True once the service has a request for path; the event loop runs meanwhile.
    bool requested(const QString &path)
    {
        return QTest::qWaitFor([&] { return !m_service.requestsFor(path).isEmpty(); }, kWaitMs);
    }

    // A normal start whose start report gets report: elapsed is the time from the report's
    // request to the main window's first request. The report is sent once and the program
    // runs on.
    void timeReportToWindow(const StubServiceServer::Reply &report, qint64 &elapsed)
    {
        m_service.clearLog();
        m_service.script(startReport, {report});
        auto program = start({});
        QVERIFY(requested(startReport));
        QElapsedTimer sinceReport;
        sinceReport.start();
        QVERIFY(requested("/v1/config"));
        elapsed = sinceReport.elapsed();
        QCOMPARE(m_service.requestsFor(startReport).size(), 1);
        QCOMPARE(program->state(), QProcess::Running);
        program->terminate();
        QVERIFY(waitForEnd(*program));
    }

    StubServiceServer m_service;
};

QTEST_GUILESS_MAIN(ProgramStartupTest)
#include "tst_ProgramStartup.moc"
