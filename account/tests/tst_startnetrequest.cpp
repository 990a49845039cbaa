#include "AccountTestEnvironment.h"
#include "HttpGet.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StartNetRequest.h"
#include "StubServiceServer.h"

#include <QElapsedTimer>
#include <QtTest>

using Reply = StubServiceServer::Reply;
Q_DECLARE_METATYPE(StubServiceServer::Reply)

namespace {

const QString startPath = QStringLiteral("/v1/report/start");
const QString installPath = QStringLiteral("/v1/report/activateV2");

} // namespace

class StartNetRequestTest : public QObject
{
    Q_OBJECT

private:
    StubServiceServer *server = nullptr;

    qint64 sendTimed(const QString &path, int mode)
    {
        StartNetRequest report;
        report.setParams(serviceUrl(path), "30000", installChannel());
        QElapsedTimer clock;
        clock.start();
        report.sendReport(mode);
        return clock.elapsed();
    }

private slots:
    void init()
    {
        server = new StubServiceServer(this);
        QVERIFY(server->startPlain());
        pointServicesAt(*server);
    }

    void cleanup() { delete server; }

    void reportsCarryVersionButNoToken_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("start") << startPath;
        QTest::newRow("install") << installPath;
    }

    void reportsCarryVersionButNoToken()
    {
        QFETCH(QString, path);
        writeConfigValue("user", "token", "tok-report");
        server->script(path, {StubServiceServer::json("{\"code\":0,\"data\":null}")});
        sendTimed(path, StartNetRequest::headedReportMode);

        const auto sent = server->requestsFor(path);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].method, QByteArray("GET"));
        QCOMPARE(sentServiceHeaders(sent[0]),
                 serviceHeadersWith({{"app_id", "30000"},
                                     {"channel", "default"},
                                     {"device_id", deviceId().toLocal8Bit()},
                                     {"version", "5.16.1.0"}}));
        clearStoredToken();
    }

    void plainModeSendsContentTypeOnly()
    {
        server->script(startPath, {StubServiceServer::json("{\"code\":0}")});
        sendTimed(startPath, StartNetRequest::plainReportMode);
        const auto sent = server->requestsFor(startPath);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sentServiceHeaders(sent[0]), serviceHeadersWith());
    }

    // Whatever the service does, the report returns in bounded time and start-up goes on.
    void reportReturnsWhateverTheService_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<int>("atLeastMs");
        Reply slow = StubServiceServer::json("{\"code\":0}");
        slow.delayMs = 300;
        QTest::newRow("slow answer is waited for") << slow << 300;
        QTest::newRow("server error") << StubServiceServer::json("oops", 500) << 0;
        QTest::newRow("not json") << StubServiceServer::json("<html>") << 0;
        QTest::newRow("dropped") << StubServiceServer::drop() << 0;
        QTest::newRow("never answered") << StubServiceServer::hang() << hungRequestTimeoutMs - 100;
    }

    void reportReturnsWhateverTheService()
    {
        QFETCH(Reply, reply);
        QFETCH(int, atLeastMs);
        server->script(startPath, {reply});
        setRequestTimeoutFor(reply);
        const qint64 most = mostTakenByRequestFor(reply);
        const qint64 elapsed = sendTimed(startPath, StartNetRequest::headedReportMode);
        const QString times = QStringLiteral("%1 ms of at most %2").arg(elapsed).arg(most);
        QVERIFY2(elapsed >= atLeastMs, qPrintable(times));
        QVERIFY2(elapsed < most, qPrintable(times));
        // Qt sends a GET once more when the connection drops before any answer.
        QVERIFY(!server->requestsFor(startPath).isEmpty());
    }

    void unreachableServiceReturns()
    {
        const QString address = server->baseAddress();
        server->close();
        StartNetRequest report;
        report.setParams(address + installPath, "30000", installChannel());
        QElapsedTimer clock;
        clock.start();
        report.sendReport(StartNetRequest::headedReportMode);
        // A refused connection ends the report at once, not at the request's bound.
        QVERIFY2(clock.elapsed() < requestTimeoutMs(),
                 qPrintable(QString::number(clock.elapsed())));
    }

    void defaultBoundIsAboutTenSeconds()
    {
        setRequestTimeoutMs(0);
        QCOMPARE(requestTimeoutMs(), defaultRequestTimeoutMs);
        QVERIFY(defaultRequestTimeoutMs >= 5000 && defaultRequestTimeoutMs <= 15000);
        setRequestTimeoutMs(testRequestTimeoutMs);
    }
};

QTEST_MAIN(StartNetRequestTest)
#include "tst_startnetrequest.moc"
