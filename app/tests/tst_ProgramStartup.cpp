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
