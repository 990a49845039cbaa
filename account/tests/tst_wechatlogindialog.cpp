#include "AccountTestEnvironment.h"
#include "HttpGet.h"
#include "IniFile.h"
#include "ServiceEndpoints.h"
#include "ModalDriver.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"
#include "UserInfoManage.h"
#include "WechatLoginDialog.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QString qrPath = QStringLiteral("/v1/user/getVxLoginQrcode");
const QString scenePath = QStringLiteral("/v1/user/checkScene");
const QString infoPath = QStringLiteral("/v1/user/info");
const QString imagePath = QStringLiteral("/qr.png");

const StubServiceServer::Reply notScannedYet =
    StubServiceServer::json("{\"code\":1,\"data\":\"\"}");

} // namespace

// The sign-in dialog against the stand-in service, with no main window registered.
class WechatLoginDialogTest : public QObject
{
    Q_OBJECT

private:
    StubServiceServer *server = nullptr;

    StubServiceServer::Reply qrReply(qint64 scene) const
    {
        return StubServiceServer::json(QStringLiteral("{\"scene_id\":%1,\"url\":\"%2\"}")
                                           .arg(scene)
                                           .arg(server->baseAddress() + imagePath)
                                           .toUtf8());
    }

    template <typename T> static T *part(QWidget &dialog, const char *name)
    {
        T *found = dialog.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("form object %s missing", name);
        return found;
    }

    static bool qrShown(QWidget &dialog)
    {
        const QPixmap picture = part<QLabel>(dialog, "img_qrcode")->pixmap(Qt::ReturnByValue);
        return !picture.isNull() && !part<QWidget>(dialog, "widget_login")->isVisible();
    }

private slots:
    void initTestCase()
    {
        server = new StubServiceServer(this);
        QVERIFY(server->startPlain());
        pointServicesAt(*server);
        clearStoredToken();
        // The store's own first fetch, signed out, settles before any dialog runs.
        server->script(infoPath, {StubServiceServer::json("{\"code\":401}")});
        QSignalSpy first(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        QVERIFY(first.wait(testWaitMs));
    }

    void init()
    {
        server->clearLog();
        clearStoredToken();
        setRequestTimeoutMs(testRequestTimeoutMs);
    }

    void signInFromQrCodeToUserDetails()
    {
        server->script(qrPath, {qrReply(880011)});
        server->script(imagePath, {StubServiceServer::json(pngPicture(Qt::black, 120))});
        server->script(scenePath, {notScannedYet,
                                   StubServiceServer::json("{\"code\":0,\"data\":\"tok-qr\"}")});
        server->script(infoPath,
                       {StubServiceServer::json(
                           "{\"code\":0,\"data\":{\"id\":4321,\"nickname\":\"扫码用户\"}}")});

        WechatLoginDialog dialog;
        QSignalSpy signedIn(&dialog, &WechatLoginDialog::LoginSuccessSignal);
        dialog.show();
        QVERIFY(part<QWidget>(dialog, "widget_login")->isVisible());
        QVERIFY(!part<QWidget>(dialog, "widget_failed")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(qrShown(dialog), testWaitMs);

        QVERIFY(signedIn.wait(testWaitMs));
        QCOMPARE(signedIn.size(), 1);
        QVERIFY(configFilePath().endsWith("/CONFIG.dat"));
        QCOMPARE(QSettings(configFilePath(), QSettings::IniFormat).value("user/token").toString(),
                 QStringLiteral("tok-qr"));
        const auto fetches = server->requestsFor(infoPath);
        QVERIFY(!fetches.isEmpty());
        QCOMPARE(fetches.last().header("Authorization"), QByteArray("tok-qr"));
        QCOMPARE(UserInfoManage::instance()->userInfo().nickname, QStringLiteral("扫码用户"));
        QCOMPARE(UserInfoManage::instance()->userInfo().id, QStringLiteral("4321"));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), testWaitMs);
        QCOMPARE(server->requestsFor(scenePath).size(), 2);
        QCOMPARE(server->requestsFor(scenePath)[0].query.queryItemValue("scene_id"),
                 QStringLiteral("880011"));
    }

    // A code that cannot be had is shown as a failure at once, not as loading for ever.
    void failedCodeShowsFailurePanel_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("service unreachable") << "unreachable";
        QTest::newRow("code request refused") << "refused";
        QTest::newRow("reply without an image address") << "no image";
        QTest::newRow("image not found") << "image missing";
    }

    void failedCodeShowsFailurePanel()
    {
        QFETCH(QString, failure);
        server->script(qrPath,
                       {failure == "refused"    ? StubServiceServer::json("", 500)
                        : failure == "no image" ? StubServiceServer::json("{\"scene_id\":905}")
                                                : qrReply(905)});
        server->script(imagePath, {StubServiceServer::json("", 404)});
        StubServiceServer closed;
        if (failure == "unreachable") {
            QVERIFY(closed.startPlain());
            setServiceBaseAddresses(closed.baseAddress(), closed.baseAddress());
            closed.close();
        }

        WechatLoginDialog dialog;
        pointServicesAt(*server);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(part<QWidget>(dialog, "widget_failed")->isVisible(), testWaitMs);
        QVERIFY(!part<QWidget>(dialog, "widget_login")->isVisible());
        QCOMPARE(part<QLabel>(dialog, "label_failed")->text(),
                 QStringLiteral("加载失败，点击刷新"));
    }

    // From the failure panel, "刷新" and the panel's own button both ask for a new code.
    void refreshFromFailurePanelShowsNewCode_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("刷新") << "btn_refrash";
        QTest::newRow("panel button") << "btn_retry";
    }

    void refreshFromFailurePanelShowsNewCode()
    {
        QFETCH(QString, button);
        server->script(qrPath, {StubServiceServer::json("", 503), qrReply(906)});
        server->script(imagePath, {StubServiceServer::json(pngPicture(Qt::black, 90))});
        server->script(scenePath, {notScannedYet});

        WechatLoginDialog dialog;
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(part<QWidget>(dialog, "widget_failed")->isVisible(), testWaitMs);
        QTest::mouseClick(part<QPushButton>(dialog, qPrintable(button)), Qt::LeftButton);
        QVERIFY(!part<QWidget>(dialog, "widget_failed")->isVisible());
        QVERIFY(part<QWidget>(dialog, "widget_login")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(qrShown(dialog), testWaitMs);
        QVERIFY(!part<QWidget>(dialog, "widget_failed")->isVisible());
        QCOMPARE(server->requestsFor(qrPath).size(), 2);
    }

    // A token the settings store refuses (far beyond any real one) is a failed sign-in:
    // nothing is stored, no details are asked for, and the failure panel offers a new code.
    void refusedTokenIsAFailedSignIn()
    {
        writeConfigValue("user", "token", "tok-before");
        server->script(qrPath, {StubServiceServer::json("", 404)});
        WechatLoginDialog dialog;
        QSignalSpy detailsAsked(&dialog, &WechatLoginDialog::StartGetUserInfoSignal);
        dialog.show();
        dialog.LoginSuccessSlot(QString(maximumIniFileBytes, 'x'));
        QCOMPARE(detailsAsked.size(), 0);
        QVERIFY(part<QWidget>(dialog, "widget_failed")->isVisible());
        QCOMPARE(readConfigValue("user/token"), QStringLiteral("tok-before"));
    }

    void refreshShowsLoadingUntilNewCodeArrives()
    {
        server->script(qrPath, {qrReply(901), qrReply(902)});
        StubServiceServer::Reply slowImage = StubServiceServer::json(pngPicture(Qt::blue, 90));
        slowImage.delayMs = 400;
        server->script(imagePath, {StubServiceServer::json(pngPicture(Qt::black, 90)), slowImage});
        server->script(scenePath, {notScannedYet});

        WechatLoginDialog dialog;
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(qrShown(dialog), testWaitMs);

        QTest::mouseClick(part<QPushButton>(dialog, "btn_refrash"), Qt::LeftButton);
        QVERIFY(part<QWidget>(dialog, "widget_login")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(qrShown(dialog), testWaitMs);
        QCOMPARE(server->requestsFor(qrPath).size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!server->requestsFor(scenePath).isEmpty(), testWaitMs);
        QCOMPARE(server->requestsFor(scenePath).last().query.queryItemValue("scene_id"),
                 QStringLiteral("902"));
    }

    void unreadableImageKeepsLoadingPanelButPolls_data()
    {
        QTest::addColumn<QByteArray>("picture");
        QTest::newRow("no picture") << QByteArray("this is no picture");
        // A small file whose declared size would decode into hundreds of megabytes.
        QImage huge(5000, 5000, QImage::Format_Mono);
        huge.fill(0);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        huge.save(&png, "PNG");
        QTest::newRow("picture larger than any QR code") << png.data();
    }

    void unreadableImageKeepsLoadingPanelButPolls()
    {
        QFETCH(QByteArray, picture);
        server->script(qrPath, {qrReply(903)});
        server->script(imagePath, {StubServiceServer::json(picture)});
        server->script(scenePath, {notScannedYet});

        WechatLoginDialog dialog;
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(!server->requestsFor(scenePath).isEmpty(), testWaitMs);
        QVERIFY(part<QWidget>(dialog, "widget_login")->isVisible());
        QVERIFY(part<QLabel>(dialog, "img_qrcode")->pixmap(Qt::ReturnByValue).isNull());
    }

    void failedDetailsFetchKeepsDialogOpen()
    {
        server->script(qrPath, {qrReply(904)});
        server->script(imagePath, {StubServiceServer::json(pngPicture(Qt::black))});
        server->script(scenePath, {StubServiceServer::json("{\"code\":0,\"data\":\"tok-bad\"}")});
        server->script(infoPath, {StubServiceServer::json("{\"code\":401}")});

        WechatLoginDialog dialog;
        QSignalSpy signedIn(&dialog, &WechatLoginDialog::LoginSuccessSignal);
        QSignalSpy results(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        dialog.show();
        QVERIFY(results.wait(testWaitMs));
        QCOMPARE(results.first().at(0).toBool(), false);

        QCOMPARE(readConfigValue("user/token"), QStringLiteral("tok-bad"));
        const int polls = server->requestsFor(scenePath).size();
        const QString frame = part<QLabel>(dialog, "img_loadding")->styleSheet();
        QTest::qWait(1300);
        QVERIFY(dialog.isVisible());
        QCOMPARE(signedIn.size(), 0);
        QCOMPARE(server->requestsFor(scenePath).size(), polls);
        QCOMPARE(part<QLabel>(dialog, "img_loadding")->styleSheet(), frame);
    }

    void loadingAnimationRunsFramesOneToNine()
    {
        server->script(qrPath, {StubServiceServer::json("", 404)});
        WechatLoginDialog dialog;
        QLabel *animation = part<QLabel>(dialog, "img_loadding");
        QStringList frames;
        for (int tick = 0; tick < 10; ++tick) {
            dialog.CheckLoginState();
            frames << animation->styleSheet();
        }
        for (int tick = 0; tick < 10; ++tick) {
            const int frame = tick % 9 + 1;
            QCOMPARE(frames[tick],
                     QStringLiteral("#img_loadding{border-image: "
                                    "url(:/Resources/gif/login_load/icon_login_load_00%1.png);}")
                         .arg(frame));
            const QString picture =
                QStringLiteral(":/Resources/gif/login_load/icon_login_load_00%1.png").arg(frame);
            QVERIFY2(!QPixmap(picture).isNull(), qPrintable(picture));
        }
    }

    // Closed while its QR code request waits for an answer, the dialog goes at once; its
    // modal run ends once that request gives up (the request's own wait lies beneath it).
    void closeEndsDialogEvenWhileServiceHangs()
    {
        server->script(qrPath, {StubServiceServer::hang()});
        setRequestTimeoutMs(hungRequestTimeoutMs);
        const qint64 most = mostTakenByRequestBoundTo(hungRequestTimeoutMs);

        WechatLoginDialog dialog;
        QSignalSpy signedIn(&dialog, &WechatLoginDialog::LoginSuccessSignal);
        QElapsedTimer clock;
        bool requestWaiting = false;
        bool goneAtOnce = false;
        qint64 closedAt = 0;
        onNextModal([&](QWidget *modal) {
            requestWaiting = QTest::qWaitFor(
                [this] { return !server->requestsFor(qrPath).isEmpty(); }, testWaitMs);
            closedAt = clock.elapsed();
            if (auto *close = modal->findChild<QPushButton *>(QStringLiteral("btn_close")))
                QTest::mouseClick(close, Qt::LeftButton);
            goneAtOnce = !modal->isVisible();
        });
        clock.start();
        const int result = dialog.exec();
        QVERIFY(requestWaiting);
        QVERIFY(goneAtOnce);
        QCOMPARE(result, int(QDialog::Rejected));
        // Closed while the request waited, the run ends no later than the request gives up.
        const qint64 afterClose = clock.elapsed() - closedAt;
        QVERIFY2(afterClose < most,
                 qPrintable(QStringLiteral("%1 ms of at most %2").arg(afterClose).arg(most)));
        QCOMPARE(signedIn.size(), 0);
        QVERIFY(readConfigValue("user/token").isEmpty());
    }
};

QTEST_MAIN(WechatLoginDialogTest)
#include "tst_wechatlogindialog.moc"
