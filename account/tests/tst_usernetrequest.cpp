#include "AccountTestEnvironment.h"
#include "FileUtils.h"
#include "HttpGet.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"
#include "UserNetRequest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Reply = StubServiceServer::Reply;
Q_DECLARE_METATYPE(StubServiceServer::Reply)

namespace {

const QString infoPath = QStringLiteral("/v1/user/info");

} // namespace

class UserNetRequestTest : public QObject
{
    Q_OBJECT

private:
    StubServiceServer *server = nullptr;

private slots:
    void init()
    {
        server = new StubServiceServer(this);
        QVERIFY(server->startPlain());
        pointServicesAt(*server);
        clearStoredToken();
    }

    void cleanup()
    {
        delete server;
        server = nullptr;
    }

    void sendsTokenChannelAndDeviceHeaders()
    {
        QVERIFY(QDir().mkpath(applicationDataDir()));
        {
            QSettings appIni(applicationDataDir() + "/APP.ini", QSettings::IniFormat);
            appIni.setValue("Install/channel", "store-7");
        }
        writeConfigValue("user", "token", "eyJ0 token/with+chars=");
        server->script(infoPath, {StubServiceServer::json("{\"code\":0,\"data\":{}}")});

        UserNetRequest request;
        QSignalSpy results(&request, &UserNetRequest::GetUserInfoResultSignal);
        request.setParams(serviceUrl(infoPath), "30000", installChannel());
        request.start(QThread::InheritPriority);
        QVERIFY(results.wait(testWaitMs));

        const auto sent = server->requestsFor(infoPath);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sentServiceHeaders(sent[0]),
                 serviceHeadersWith({{"app_id", "30000"},
                                     {"channel", "store-7"},
                                     {"device_id", deviceId().toLocal8Bit()},
                                     {"Authorization", "eyJ0 token/with+chars="}}));
        QFile::remove(applicationDataDir() + "/APP.ini");
    }

    void signedOutFetchSendsEmptyAuthorization()
    {
        server->script(infoPath, {StubServiceServer::json("{\"code\":401}")});
        UserNetRequest request;
        request.setParams(serviceUrl(infoPath), "30000", installChannel());
        request.StartSlot();
        const auto sent = server->requestsFor(infoPath);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sentServiceHeaders(sent[0]),
                 serviceHeadersWith({{"app_id", "30000"},
                                     {"channel", "default"},
                                     {"device_id", deviceId().toLocal8Bit()},
                                     {"Authorization", ""}}));
    }

    // Every fetch starts from stored details {"7", "old"}, so rows show what a reply changes.
    void replyOutcomes_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nickname");

        auto json = [](const char *body, int status = 200) {
            return StubServiceServer::json(body, status);
        };
        QTest::newRow("details replaced")
            << json("{\"code\":0,\"data\":{\"id\":123456,\"nickname\":\"小王\"}}") << true
            << "123456" << QStringLiteral("小王");
        QTest::newRow("empty data keeps details") << json("{\"code\":0,\"data\":{}}") << true << "7"
                                                  << "old";
        QTest::newRow("id as text ignored")
            << json("{\"code\":0,\"data\":{\"id\":\"99\",\"nickname\":\"n\"}}") << true << "7"
            << "n";
        QTest::newRow("nickname not text ignored")
            << json("{\"code\":0,\"data\":{\"id\":8,\"nickname\":5}}") << true << "8"
            << "old";
        QTest::newRow("id beyond 32 bits reads 0")
            << json("{\"code\":0,\"data\":{\"id\":5000000000}}") << true << "0"
            << "old";
        QTest::newRow("code non-zero") << json("{\"code\":401,\"data\":{\"id\":1}}") << false << "7"
                                       << "old";
        QTest::newRow("code as text")
            << json("{\"code\":\"0\",\"data\":{\"id\":1}}") << false << "7"
            << "old";
        QTest::newRow("code missing") << json("{\"data\":{\"id\":1}}") << false << "7"
                                      << "old";
        QTest::newRow("data not an object") << json("{\"code\":0,\"data\":\"x\"}") << false << "7"
                                            << "old";
        QTest::newRow("status 500") << json("{\"code\":0,\"data\":{\"id\":1}}", 500) << false << "7"
                                    << "old";
        // Not an error to Qt, but not the answer either.
        QTest::newRow("status 201") << json("{\"code\":0,\"data\":{\"id\":1}}", 201) << false << "7"
                                    << "old";
        QTest::newRow("broken json") << json("{\"code\":0,") << false << "7"
                                     << "old";
        QTest::newRow("empty body") << json("") << false << "7"
                                    << "old";
        QTest::newRow("json array") << json("[0]") << false << "7"
                                    << "old";
        QTest::newRow("connection dropped") << StubServiceServer::drop() << false << "7"
                                            << "old";
        QTest::newRow("never answered") << StubServiceServer::hang() << false << "7"
                                        << "old";

        // Bodies are bounded at a few MB, compressed or not.
        const QByteArray longDetails =
            "{\"code\":0,\"data\":{\"id\":1,\"nickname\":\"n\",\"pad\":\"" +
            QByteArray(30 << 20, 'x') + "\"}}";
        Reply tooLong = StubServiceServer::json(longDetails.left(5 << 20) + "\"}}");
        QTest::newRow("body beyond the bound") << tooLong << false << "7"
                                               << "old";
        Reply deflated = StubServiceServer::json(qCompress(longDetails, 9).mid(4));
        deflated.headers = "Content-Encoding: deflate\r\n";
        QTest::newRow("compressed body beyond the bound") << deflated << false << "7"
                                                          << "old";
    }

    void replyOutcomes()
    {
        QFETCH(Reply, reply);
        QFETCH(bool, result);
        QFETCH(QString, id);
        QFETCH(QString, nickname);
        server->script(infoPath, {StubServiceServer::json(
                                      "{\"code\":0,\"data\":{\"id\":7,\"nickname\":\"old\"}}"),
                                  reply});
        UserNetRequest request;
        request.setParams(serviceUrl(infoPath), "30000", installChannel());
        request.StartSlot();
        QCOMPARE(request.userInfo().id, QStringLiteral("7"));

        QSignalSpy results(&request, &UserNetRequest::GetUserInfoResultSignal);
        setRequestTimeoutFor(reply);
        const qint64 most = mostTakenByRequestFor(reply);
        QElapsedTimer clock;
        clock.start();
        request.StartSlot();
        QVERIFY2(clock.elapsed() < most,
                 qPrintable(QStringLiteral("%1 ms of at most %2").arg(clock.elapsed()).arg(most)));

        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().at(0).toBool(), result);
        QCOMPARE(request.userInfo().id, id);
        QCOMPARE(request.userInfo().nickname, nickname);
    }

    // A token with a line break (handed out by a reply) would start headers of its own; one
    // with a zero byte would be cut or refused wherever it is read.
    void tokenThatBreaksTheHeaderIsNotSent_data()
    {
        QTest::addColumn<QString>("breaker");
        QTest::newRow("CR LF") << "\r\n";
        QTest::newRow("LF") << "\n";
        QTest::newRow("CR") << "\r";
        QTest::newRow("zero byte") << QString(QChar(0));
    }

    void tokenThatBreaksTheHeaderIsNotSent()
    {
        QFETCH(QString, breaker);
        writeConfigValue("user", "token", "tok" + breaker + "X-Injected: yes");
        server->script(infoPath, {StubServiceServer::json("{\"code\":401}")});
        UserNetRequest request;
        request.setParams(serviceUrl(infoPath), "30000", installChannel());
        request.StartSlot();
        const auto sent = server->requestsFor(infoPath);
        QCOMPARE(sent.size(), 1);
        QVERIFY(!sent[0].hasHeader("X-Injected"));
        QVERIFY(!sent[0].hasHeader("Authorization"));
        QCOMPARE(sent[0].header("app_id"), QByteArray("30000"));
    }

    void unreachableServiceReportsFailure()
    {
        const QString closedAddress = server->baseAddress();
        server->close();
        UserNetRequest request;
        QSignalSpy results(&request, &UserNetRequest::GetUserInfoResultSignal);
        request.setParams(closedAddress + infoPath, "30000", installChannel());
        request.StartSlot();
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().at(0).toBool(), false);
    }

    // Quitting the application ends every local wait at once; the fetch must still report,
    // as a failure, rather than leave its reply unanswered.
    void applicationQuitDuringWaitReportsFailure()
    {
        server->script(infoPath, {StubServiceServer::hang()});
        // A bound far beyond the quit, so that only the quit can have ended the wait.
        constexpr int boundMs = 2 * testWaitMs;
        setRequestTimeoutMs(boundMs);
        UserNetRequest request;
        QSignalSpy results(&request, &UserNetRequest::GetUserInfoResultSignal);
        request.setParams(serviceUrl(infoPath), "30000", installChannel());
        QTimer::singleShot(0, &request, &UserNetRequest::StartSlot);
        QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(0); });

        QElapsedTimer clock;
        clock.start();
        QCoreApplication::exec();
        QVERIFY2(clock.elapsed() < boundMs / 2, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().at(0).toBool(), false);
    }

    void clearedDetailsAreEmpty()
    {
        server->script(infoPath, {StubServiceServer::json(
                                     "{\"code\":0,\"data\":{\"id\":1,\"nickname\":\"a\"}}")});
        UserNetRequest request;
        request.setParams(serviceUrl(infoPath), "30000", installChannel());
        QVERIFY(request.userInfo().id.isEmpty() && request.userInfo().nickname.isEmpty());
        request.StartSlot();
        QCOMPARE(request.userInfo().nickname, QStringLiteral("a"));
        request.clearUserInfo();
        QVERIFY(request.userInfo().id.isEmpty() && request.userInfo().nickname.isEmpty());
    }
};

QTEST_MAIN(UserNetRequestTest)
#include "tst_usernetrequest.moc"
