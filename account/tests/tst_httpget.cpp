#include "AccountTestEnvironment.h"
#include "FloodingServer.h"
#include "HttpGet.h"
#include "StubServiceServer.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QTimer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(FloodingServer::Flood)

namespace {

const QString reportPath = QStringLiteral("/v1/report/start");

struct Outcome
{
    bool handled = false;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    qint64 elapsedMs = 0;
    // The longest time the calling thread did not get to its events while the request ran.
    qint64 longestPauseMs = 0;
};

Outcome timedGet(const QString &url, int timeoutMs)
{
    Outcome outcome;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        outcome.longestPauseMs = qMax(outcome.longestPauseMs, sinceTick.restart());
    });
    ticker.start(10);
    clock.start();
    sinceTick.start();
    runGet(
        makeServiceRequest(QUrl(url)),
        [&](QNetworkReply *reply) {
            outcome.handled = true;
            outcome.error = reply->error();
            if (reply->error() == QNetworkReply::NoError)
                outcome.body = reply->readAll();
            reply->deleteLater();
        },
        timeoutMs);
    outcome.elapsedMs = clock.elapsed();
    outcome.longestPauseMs = qMax(outcome.longestPauseMs, sinceTick.elapsed());
    return outcome;
}

} // namespace

// One GET of the web service against real servers on 127.0.0.1: whatever they send, the
// request gives control back to the calling (GUI) thread within its bound.
class HttpGetTest : public QObject
{
    Q_OBJECT

private slots:
    void floodingServiceDoesNotHoldTheThread_data()
    {
        QTest::addColumn<FloodingServer::Flood>("flood");
        QTest::newRow("endless body, declared length") << FloodingServer::Flood::DeclaredBody;
        QTest::newRow("endless body, no length") << FloodingServer::Flood::OpenBody;
        QTest::newRow("endless chunks") << FloodingServer::Flood::ChunkedBody;
        QTest::newRow("endless headers") << FloodingServer::Flood::Headers;
    }

    // Measured against a service that never answers, asked in the same run with the same
    // bound: a flood may not cost the caller more than that, give or take what the machine's
    // load adds now (seen in how far that request ran past its bound).
    void floodingServiceDoesNotHoldTheThread()
    {
        QFETCH(FloodingServer::Flood, flood);
        constexpr int boundMs = 1500;
        StubServiceServer silent;
        QVERIFY(silent.startPlain());
        silent.script(reportPath, {StubServiceServer::hang()});
        const Outcome baseline = timedGet(silent.baseAddress() + reportPath, boundMs);
        QVERIFY(baseline.handled);

        FloodingServer server(flood);
        QVERIFY(server.startListening());
        const Outcome outcome = timedGet(server.baseAddress() + reportPath, boundMs);
        QVERIFY(outcome.handled);
        QVERIFY(outcome.error != QNetworkReply::NoError);
        QCOMPARE(server.requestCount(), 1);
        const QString times =
            QStringLiteral("took %1 ms, paused %2 ms; silent service %3 ms, %4 ms")
                .arg(outcome.elapsedMs)
                .arg(outcome.longestPauseMs)
                .arg(baseline.elapsedMs)
                .arg(baseline.longestPauseMs);
        // Taking in the flood until the bound keeps this thread busy, which a loaded machine
        // stretches well past what the idle silent request shows; a destroyed manager's wait
        // for its busy network thread holds it five seconds, far beyond the margin still.
        const qint64 margin =
            2500 + 3 * qMax(baseline.elapsedMs - boundMs, baseline.longestPauseMs);
        QVERIFY2(outcome.elapsedMs < baseline.elapsedMs + margin, qPrintable(times));
        QVERIFY2(outcome.longestPauseMs < baseline.longestPauseMs + margin, qPrintable(times));
    }

    // A body is bounded by what arrives, not only by what the service declares. The bound on
    // the wait lies far beyond, so that only the size can have ended a long body.
    void bodyIsBoundedWithOrWithoutLength_data()
    {
        QTest::addColumn<bool>("declareLength");
        QTest::addColumn<int>("bodyBytes");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("3 MB, declared") << true << (3 << 20) << true;
        QTest::newRow("3 MB, no length") << false << (3 << 20) << true;
        QTest::newRow("6 MB, declared") << true << (6 << 20) << false;
        QTest::newRow("6 MB, no length") << false << (6 << 20) << false;
        // The declared length alone ends it: the body would never come.
        QTest::newRow("6 MB declared, none sent") << true << -(6 << 20) << false;
    }

    void bodyIsBoundedWithOrWithoutLength()
    {
        QFETCH(bool, declareLength);
        QFETCH(int, bodyBytes);
        QFETCH(bool, accepted);
        StubServiceServer server;
        QVERIFY(server.startPlain());
        StubServiceServer::Reply reply = StubServiceServer::json(QByteArray(qAbs(bodyBytes), 'x'));
        reply.declareLength = declareLength;
        if (bodyBytes < 0) {
            reply.declareLength = false;
            reply.headers = "Content-Length: " + QByteArray::number(-bodyBytes) + "\r\n";
            reply.body.clear();
            reply.keepOpen = true;
        }
        server.script(reportPath, {reply});

        constexpr int boundMs = 2 * testWaitMs;
        const Outcome outcome = timedGet(server.baseAddress() + reportPath, boundMs);
        QVERIFY(outcome.handled);
        QVERIFY2(outcome.elapsedMs < boundMs / 2, qPrintable(QString::number(outcome.elapsedMs)));
        // A compressed body would be inflated by Qt before anything could bound it.
        QCOMPARE(server.requests().value(0).header("Accept-Encoding"), QByteArray("identity"));
        if (accepted) {
            QCOMPARE(outcome.error, QNetworkReply::NoError);
            QCOMPARE(outcome.body.size(), bodyBytes);
        } else {
            QCOMPARE(outcome.error, QNetworkReply::OperationCanceledError);
        }
    }

    // Requests made on worker threads, as the window's background requests are, one after
    // another and side by side, each retiring its manager as it ends. A reply used by its
    // thread and then moved along with its manager corrupts Qt's bookkeeping of threads, which
    // crashes such a run now and then: every reply is destroyed in the thread that made it,
    // before its request returns.
    void requestsOnWorkerThreadsEndCleanly()
    {
        StubServiceServer server;
        QVERIFY(server.startPlain());
        server.script(reportPath, {StubServiceServer::json("{}")});
        const QString url = server.baseAddress() + reportPath;
        constexpr int threads = 8;
        constexpr int requestsEach = 40;
        QAtomicInt answered = 0;
        // Shared with the replies, which could outlive this frame if they went elsewhere.
        const auto destroyedWhereMade = std::make_shared<QAtomicInt>(0);
        QList<QThread *> workers;
        for (int t = 0; t < threads; ++t) {
            workers << QThread::create([&] {
                for (int i = 0; i < requestsEach; ++i) {
                    runGet(makeServiceRequest(QUrl(url)), [&](QNetworkReply *reply) {
                        if (reply->error() == QNetworkReply::NoError)
                            answered.fetchAndAddRelaxed(1);
                        QObject::connect(reply, &QObject::destroyed,
                                         [destroyedWhereMade, maker = QThread::currentThread()] {
                                             if (QThread::currentThread() == maker)
                                                 destroyedWhereMade->fetchAndAddRelaxed(1);
                                         });
                        reply->deleteLater();
                    });
                }
            });
            workers.last()->start();
        }
        QVERIFY(QTest::qWaitFor(
            [&] {
                return std::all_of(workers.begin(), workers.end(),
                                   [](QThread *worker) { return worker->isFinished(); });
            },
            testWaitMs * 4));
        qDeleteAll(workers);
        QCOMPARE(int(answered), threads * requestsEach);
        QCOMPARE(destroyedWhereMade->loadRelaxed(), threads * requestsEach);
    }
};

QTEST_MAIN(HttpGetTest)
#include "tst_httpget.moc"
