#include "AccountTestEnvironment.h"
#include "FileUtils.h"
#include "HttpGet.h"
#include "QHttpNetRequest.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using Reply = StubServiceServer::Reply;
Q_DECLARE_METATYPE(StubServiceServer::Reply)

namespace {

const QString qrPath = QStringLiteral("/v1/user/getVxLoginQrcode");
const QString scenePath = QStringLiteral("/v1/user/checkScene");
const QString imagePath = QStringLiteral("/qr.png");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class QHttpNetRequestTest : public QObject
{
    Q_OBJECT

private:
    QByteArray qrReply(qint64 scene) const
    {
        return QStringLiteral("{\"scene_id\": %1, \"url\": \"%2\"}")
            .arg(scene)
            .arg(server->baseAddress() + imagePath)
            .toUtf8();
    }

    // A request that has fetched a QR code for scene and is polling.
    void fetchQrCode(QHttpNetRequest &request, qint64 scene)
    {
        server->script(qrPath, {StubServiceServer::json(qrReply(scene))});
        server->script(imagePath, {StubServiceServer::json(pngPicture(Qt::black))});
        request.setParams(serviceUrl(qrPath), QStringLiteral("30000"), installChannel());
        request.StartSlot();
        QVERIFY(request.isPolling());
    }

    StubServiceServer *server = nullptr;

private slots:
    void init()
    {
        server = new StubServiceServer(this);
        QVERIFY(server->startPlain());
        pointServicesAt(*server);
    }

    void cleanup()
    {
        delete server;
        server = nullptr;
    }

    void startFetchesQrCodeWithHeadersAndStoresImage()
    {
        const QByteArray picture = pngPicture(Qt::darkGreen);
        server->script(qrPath, {StubServiceServer::json(qrReply(4242))});
        server->script(imagePath, {StubServiceServer::json(picture)});

        QHttpNetRequest request;
        QSignalSpy downloaded(&request, &QHttpNetRequest::DownloadResultSignal);
        request.setParams(serviceUrl(qrPath), QStringLiteral("30000"), installChannel());
        request.start(QThread::InheritPriority);
        QVERIFY(downloaded.wait(testWaitMs));

        QCOMPARE(downloaded.first().at(0).toBool(), true);
        QCOMPARE(downloaded.first().at(1).toString(), request.imageFilePath());
        QVERIFY(request.imageFilePath().startsWith(tempWorkDir()));
        QVERIFY(tempWorkDir().endsWith("/TzQuorvane/"));
        QCOMPARE(readFile(request.imageFilePath()), picture);
        QCOMPARE(request.currentSceneId(), qint64(4242));
        QVERIFY(request.isPolling());

        const auto qr = server->requestsFor(qrPath);
        QCOMPARE(qr.size(), 1);
        QCOMPARE(qr[0].method, QByteArray("GET"));
        QCOMPARE(sentServiceHeaders(qr[0]),
                 serviceHeadersWith({{"app_id", "30000"},
                                     {"channel", "default"},
                                     {"device_id", deviceId().toLocal8Bit()}}));

        const auto image = server->requestsFor(imagePath);
        QCOMPARE(image.size(), 1);
        QCOMPARE(sentServiceHeaders(image[0]), serviceHeadersWith());
        QFile::remove(request.imageFilePath());
    }

    void qrReplyOutcomes_data()
    {
        QTest::addColumn<QByteArray>("qrBody");
        QTest::addColumn<Reply>("qrReply");
        QTest::addColumn<Reply>("imageReply");
        QTest::addColumn<int>("downloadSignals");
        QTest::addColumn<bool>("downloadResult");
        QTest::addColumn<qint64>("scene");
        QTest::addColumn<bool>("polling");

        const Reply picture = StubServiceServer::json(pngPicture(Qt::red));
        const Reply missing = StubServiceServer::json("", 404);
        // "URL" in a body stands for the stand-in's image address.
        QTest::newRow("no scene id: image shown, polls stay idle")
            << QByteArray("{\"url\": \"URL\"}") << Reply() << picture << 1 << true << qint64(0)
            << true;
        QTest::newRow("scene id as text is ignored")
            << QByteArray("{\"scene_id\": \"77\", \"url\": \"URL\"}") << Reply() << picture << 1
            << true << qint64(0) << true;
        QTest::newRow("fractional scene id is cut")
            << QByteArray("{\"scene_id\": 77.9, \"url\": \"URL\"}") << Reply() << picture << 1
            << true << qint64(77) << true;
        QTest::newRow("scene id beyond 64 bits is ignored")
            << QByteArray("{\"scene_id\": 1e30, \"url\": \"URL\"}") << Reply() << picture << 1
            << true << qint64(0) << true;
        QTest::newRow("no url: nothing downloaded, scene kept")
            << QByteArray("{\"scene_id\": 55}") << Reply() << picture << 0 << false << qint64(55)
            << false;
        QTest::newRow("url to a local file is not followed")
            << QByteArray("{\"scene_id\": 55, \"url\": \"file:///etc/hostname\"}") << Reply()
            << picture << 0 << false << qint64(55) << false;
        QTest::newRow("url not a string") << QByteArray("{\"scene_id\": 55, \"url\": 3}") << Reply()
                                          << picture << 0 << false << qint64(55) << false;
        QTest::newRow("image not found") << QByteArray("{\"scene_id\": 55, \"url\": \"URL\"}")
                                         << Reply() << missing << 1 << false << qint64(55) << false;
        QTest::newRow("image connection dropped")
            << QByteArray("{\"scene_id\": 55, \"url\": \"URL\"}") << Reply()
            << StubServiceServer::drop() << 1 << false << qint64(55) << false;
        QTest::newRow("image never arrives")
            << QByteArray("{\"scene_id\": 55, \"url\": \"URL\"}") << Reply()
            << StubServiceServer::hang() << 1 << false << qint64(55) << false;
        QTest::newRow("qr status 500")
            << QByteArray("{\"scene_id\": 55, \"url\": \"URL\"}")
            << StubServiceServer::json("", 500) << picture << 0 << false << qint64(0) << false;
        QTest::newRow("qr body not json") << QByteArray("{\"scene_id\": 55, \"url\": ") << Reply()
                                          << picture << 0 << false << qint64(0) << false;
        QTest::newRow("qr body a json array") << QByteArray("[{\"scene_id\": 55}]") << Reply()
                                              << picture << 0 << false << qint64(0) << false;
        QTest::newRow("qr connection dropped") << QByteArray() << StubServiceServer::drop()
                                               << picture << 0 << false << qint64(0) << false;
    }

    void qrReplyOutcomes()
    {
        QFETCH(QByteArray, qrBody);
        QFETCH(Reply, qrReply);
        QFETCH(Reply, imageReply);
        QFETCH(int, downloadSignals);
        QFETCH(bool, downloadResult);
        QFETCH(qint64, scene);
        QFETCH(bool, polling);

        if (qrReply.body.isEmpty() && !qrReply.drop)
            qrReply.body = qrBody.replace("URL", (server->baseAddress() + imagePath).toUtf8());
        server->script(qrPath, {qrReply});
        server->script(imagePath, {imageReply});
        setRequestTimeoutFor(imageReply);

        QHttpNetRequest request;
        QSignalSpy downloaded(&request, &QHttpNetRequest::DownloadResultSignal);
        QSignalSpy failed(&request, &QHttpNetRequest::QrCodeFailedSignal);
        request.setParams(serviceUrl(qrPath), QStringLiteral("30000"), installChannel());
        request.StartSlot();

        QCOMPARE(downloaded.size(), downloadSignals);
        // A reply that leads to no picture at all is a failed QR code request.
        QCOMPARE(failed.size(), downloadSignals == 0 ? 1 : 0);
        if (downloadSignals)
            QCOMPARE(downloaded.first().at(0).toBool(), downloadResult);
        QCOMPARE(request.currentSceneId(), scene);
        QCOMPARE(request.isPolling(), polling);
        QFile::remove(request.imageFilePath());
    }

    void pollingHandsOutTokenThenStops()
    {
        QHttpNetRequest request;
        QSignalSpy signedIn(&request, &QHttpNetRequest::LoginSuccessSignal);
        server->script(scenePath, {StubServiceServer::json("{\"code\": 1, \"data\": \"\"}"),
                                   StubServiceServer::json("{\"code\": 0, \"data\": \"tok-9\"}")});
        fetchQrCode(request, 987654321012LL);

        QVERIFY(signedIn.wait(testWaitMs));
        QCOMPARE(signedIn.size(), 1);
        QCOMPARE(signedIn.first().at(0).toString(), QStringLiteral("tok-9"));
        QVERIFY(!request.isPolling());

        const auto polls = server->requestsFor(scenePath);
        QCOMPARE(polls.size(), 2);
        QCOMPARE(polls[0].query.queryItemValue("scene_id"), QStringLiteral("987654321012"));
        QCOMPARE(sentServiceHeaders(polls[0]), serviceHeadersWith());
        QFile::remove(request.imageFilePath());
    }

    void pollRepliesThatAreNotASignIn_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::newRow("not scanned yet")
            << StubServiceServer::json("{\"code\": 1, \"data\": \"x\"}");
        QTest::newRow("code as text")
            << StubServiceServer::json("{\"code\": \"0\", \"data\": \"x\"}");
        QTest::newRow("code missing") << StubServiceServer::json("{\"data\": \"x\"}");
        QTest::newRow("token a number") << StubServiceServer::json("{\"code\": 0, \"data\": 5}");
        QTest::newRow("status 503")
            << StubServiceServer::json("{\"code\": 0, \"data\": \"x\"}", 503);
        QTest::newRow("broken json") << StubServiceServer::json("{\"code\": 0, \"data\": \"x\"");
        QTest::newRow("dropped") << StubServiceServer::drop();
        QTest::newRow("never answered") << StubServiceServer::hang();
    }

    void pollRepliesThatAreNotASignIn()
    {
        QFETCH(Reply, reply);
        QHttpNetRequest request;
        QSignalSpy signedIn(&request, &QHttpNetRequest::LoginSuccessSignal);
        fetchQrCode(request, 500);
        server->script(scenePath, {reply});
        setRequestTimeoutFor(reply);
        const qint64 most = mostTakenByRequestFor(reply);

        QElapsedTimer clock;
        clock.start();
        request.CheckLoginStateSlot();
        QVERIFY2(clock.elapsed() < most,
                 qPrintable(QStringLiteral("%1 ms of at most %2").arg(clock.elapsed()).arg(most)));

        // Qt sends a GET once more when the connection drops before any answer.
        QVERIFY(!server->requestsFor(scenePath).isEmpty());
        QCOMPARE(signedIn.size(), 0);
        QVERIFY(request.isPolling());
        QFile::remove(request.imageFilePath());
    }

    void placeholderSceneIdsNeverPoll_data()
    {
        QTest::addColumn<qint64>("scene");
        QTest::newRow("ten") << qint64(10);
        QTest::newRow("negative") << qint64(-300);
    }

    void placeholderSceneIdsNeverPoll()
    {
        QFETCH(qint64, scene);
        QHttpNetRequest request;
        fetchQrCode(request, scene);
        request.CheckLoginStateSlot();
        QCOMPARE(server->requestsFor(scenePath).size(), 0);
        QFile::remove(request.imageFilePath());
    }

    void tickDuringWaitingPollIsSkipped()
    {
        QHttpNetRequest request;
        fetchQrCode(request, 600);
        Reply slow = StubServiceServer::json("{\"code\": 1}");
        slow.delayMs = 2600; // the one-second poll timer ticks twice meanwhile
        server->script(scenePath, {slow});

        request.CheckLoginStateSlot();
        QCOMPARE(server->requestsFor(scenePath).size(), 1);
        QFile::remove(request.imageFilePath());
    }

    void newQrCodeRewritesSameFileCompletely()
    {
        QHttpNetRequest request;
        QSignalSpy downloaded(&request, &QHttpNetRequest::DownloadResultSignal);
        const QByteArray large = pngPicture(Qt::blue, 400) + QByteArray(20000, 'x');
        const QByteArray small = pngPicture(Qt::yellow, 8);
        server->script(
            qrPath, {StubServiceServer::json(qrReply(100)), StubServiceServer::json(qrReply(200))});
        server->script(imagePath, {StubServiceServer::json(large), StubServiceServer::json(small)});
        request.setParams(serviceUrl(qrPath), QStringLiteral("30000"), installChannel());

        request.StartSlot();
        request.StartSlot();

        QCOMPARE(downloaded.size(), 2);
        QCOMPARE(downloaded[1].at(1).toString(), downloaded[0].at(1).toString());
        QCOMPARE(request.currentSceneId(), qint64(200));
        QCOMPARE(readFile(request.imageFilePath()), small);
        QFile::remove(request.imageFilePath());
    }

    // A file that cannot be opened, or a write that fails or stops short, is no new QR code.
    void imageThatCannotBeStoredReportsFailure_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<int>("imageBytes");
        QTest::newRow("folder in the way") << false << 0;
        QTest::newRow("disk full, small image held in the write buffer") << true << 0;
        QTest::newRow("disk full, large image written at once") << true << 200000;
    }

    void imageThatCannotBeStoredReportsFailure()
    {
        QFETCH(bool, diskFull);
        QFETCH(int, imageBytes);
        QHttpNetRequest request;
        QSignalSpy downloaded(&request, &QHttpNetRequest::DownloadResultSignal);
        if (diskFull) {
            QVERIFY(QFile::exists("/dev/full"));
            QVERIFY(QFile::link("/dev/full", request.imageFilePath()));
        } else {
            QVERIFY(QDir().mkpath(request.imageFilePath()));
        }
        server->script(qrPath, {StubServiceServer::json(qrReply(300))});
        server->script(imagePath, {StubServiceServer::json(pngPicture(Qt::black) +
                                                           QByteArray(imageBytes, 'x'))});
        request.setParams(serviceUrl(qrPath), QStringLiteral("30000"), installChannel());

        request.StartSlot();

        QCOMPARE(downloaded.size(), 1);
        QCOMPARE(downloaded.first().at(0).toBool(), false);
        QVERIFY(!request.isPolling());
        if (diskFull)
            QFile::remove(request.imageFilePath());
        else
            QDir().rmdir(request.imageFilePath());
    }

    void hungQrRequestEndsAtBound()
    {
        setRequestTimeoutMs(hungRequestTimeoutMs);
        server->script(qrPath, {StubServiceServer::hang()});
        QHttpNetRequest request;
        QSignalSpy downloaded(&request, &QHttpNetRequest::DownloadResultSignal);
        request.setParams(serviceUrl(qrPath), QStringLiteral("30000"), installChannel());
        const qint64 most = mostTakenByRequestBoundTo(hungRequestTimeoutMs);

        QElapsedTimer clock;
        clock.start();
        request.StartSlot();
        const qint64 elapsed = clock.elapsed();
        const QString times = QStringLiteral("%1 ms of at most %2").arg(elapsed).arg(most);
        QVERIFY2(elapsed >= hungRequestTimeoutMs - 100, qPrintable(times));
        QVERIFY2(elapsed < most, qPrintable(times));
        QCOMPARE(downloaded.size(), 0);
        QCOMPARE(request.currentSceneId(), qint64(0));
    }
};

QTEST_MAIN(QHttpNetRequestTest)
#include "tst_qhttpnetrequest.moc"
