#include "AccountTestEnvironment.h"
#include "HelpUrlRequest.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using Reply = StubServiceServer::Reply;
Q_DECLARE_METATYPE(StubServiceServer::Reply)

namespace {

const QString configPath = QStringLiteral("/v1/config");

} // namespace

// The configuration is fetched over https: the stand-in speaks TLS with a certificate made
// for this run, which the test trusts.
class HelpUrlRequestTest : public QObject
{
    Q_OBJECT

private:
    TlsIdentity identity;
    StubServiceServer *plain = nullptr;
    StubServiceServer *secure = nullptr;

    QSignalSpy *runRequest(HelpUrlRequest &request)
    {
        auto *spy = new QSignalSpy(&request, &HelpUrlRequest::GetHelpUrlSignal);
        request.setParams(secureServiceUrl(configPath), "30000", installChannel());
        request.StartSlot();
        return spy;
    }

private slots:
    void initTestCase()
    {
        identity = TlsIdentity::create();
        QVERIFY2(identity.isValid(), "openssl could not make a certificate");
        trustCertificate(identity.certificate);
    }

    void init()
    {
        plain = new StubServiceServer(this);
        secure = new StubServiceServer(this);
        QVERIFY(plain->startPlain());
        QVERIFY(secure->startTls(identity.certificate, identity.key));
        pointServicesAt(*plain, secure);
    }

    void cleanup()
    {
        delete plain;
        delete secure;
    }

    void fetchesLinkOverHttpsWithAppIdOnly()
    {
        writeConfigValue("user", "token", "secret-token");
        secure->script(configPath,
                       {StubServiceServer::json("{\"qqUrl\":\"https://help.example/kf?id=1\"}")});
        HelpUrlRequest request;
        QSignalSpy links(&request, &HelpUrlRequest::GetHelpUrlSignal);
        request.setParams(secureServiceUrl(configPath), "30000", installChannel());
        QVERIFY(secureServiceUrl(configPath).startsWith("https://"));
        request.start(QThread::InheritPriority);
        QVERIFY(links.wait(testWaitMs));

        QCOMPARE(links.size(), 1);
        QCOMPARE(links.first().at(0).toString(), QStringLiteral("https://help.example/kf?id=1"));
        const auto sent = secure->requestsFor(configPath);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sentServiceHeaders(sent[0]), serviceHeadersWith({{"app_id", "30000"}}));
        QVERIFY(plain->requests().isEmpty());
        clearStoredToken();
    }

    void replyOutcomes_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QString>("link");
        auto json = [](const char *body, int status = 200) {
            return StubServiceServer::json(body, status);
        };
        QTest::newRow("link without code") << json("{\"qqUrl\":\"u\"}") << "u";
        QTest::newRow("link beside failing code") << json("{\"code\":5,\"qqUrl\":\"u\"}") << "u";
        QTest::newRow("link missing") << json("{\"code\":0}") << "";
        QTest::newRow("link not text") << json("{\"qqUrl\":12}") << "";
        QTest::newRow("link nested in data") << json("{\"data\":{\"qqUrl\":\"u\"}}") << "";
        QTest::newRow("status 404") << json("{\"qqUrl\":\"u\"}", 404) << "";
        QTest::newRow("broken json") << json("{\"qqUrl\":\"u\"") << "";
        QTest::newRow("dropped") << StubServiceServer::drop() << "";
        QTest::newRow("never answered") << StubServiceServer::hang() << "";
    }

    void replyOutcomes()
    {
        QFETCH(Reply, reply);
        QFETCH(QString, link);
        secure->script(configPath, {reply});
        setRequestTimeoutFor(reply);
        const qint64 most = mostTakenByRequestFor(reply);
        HelpUrlRequest request;
        QElapsedTimer clock;
        clock.start();
        QScopedPointer<QSignalSpy> links(runRequest(request));
        QVERIFY2(clock.elapsed() < most,
                 qPrintable(QStringLiteral("%1 ms of at most %2").arg(clock.elapsed()).arg(most)));
        QCOMPARE(links->size(), 1);
        QCOMPARE(links->first().at(0).toString(), link);
    }

    void untrustedCertificateFails()
    {
        // A second identity that nobody trusts: the link must not be taken from it.
        const TlsIdentity stranger = TlsIdentity::create();
        QVERIFY(stranger.isValid());
        StubServiceServer impostor;
        QVERIFY(impostor.startTls(stranger.certificate, stranger.key));
        impostor.script(configPath, {StubServiceServer::json("{\"qqUrl\":\"evil\"}")});
        setServiceBaseAddresses(plain->baseAddress(), impostor.baseAddress());

        HelpUrlRequest request;
        QScopedPointer<QSignalSpy> links(runRequest(request));
        QCOMPARE(links->size(), 1);
        QCOMPARE(links->first().at(0).toString(), QString());
    }
};

QTEST_MAIN(HelpUrlRequestTest)
#include "tst_helpurlrequest.moc"
