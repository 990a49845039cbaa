#include "AccountTestEnvironment.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"
#include "UserInfoManage.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString infoPath = QStringLiteral("/v1/user/info");

} // namespace

// The store is a process-wide singleton, so the cases run in order against one stand-in.
class UserInfoManageTest : public QObject
{
    Q_OBJECT

private:
    StubServiceServer server;

private slots:
    void initTestCase()
    {
        QVERIFY(server.startPlain());
        pointServicesAt(server);
        writeConfigValue("user", "token", "tok-start");
    }

    void firstUseStartsFetch()
    {
        server.script(infoPath, {StubServiceServer::json(
                                    "{\"code\":0,\"data\":{\"id\":31,\"nickname\":\"Ann\"}}")});
        UserInfoManage *store = UserInfoManage::instance();
        QVERIFY(store);
        QCOMPARE(UserInfoManage::instance(), store);
        QVERIFY(store->userInfo().id.isEmpty());
        QVERIFY(store->mainWindow() == nullptr);

        QSignalSpy results(store, &UserInfoManage::GetUserInfoResultSignal);
        QVERIFY(results.wait(testWaitMs));
        QCOMPARE(results.first().at(0).toBool(), true);
        QCOMPARE(store->userInfo().id, QStringLiteral("31"));
        QCOMPARE(store->userInfo().nickname, QStringLiteral("Ann"));

        const auto sent = server.requestsFor(infoPath);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].header("Authorization"), QByteArray("tok-start"));
        QCOMPARE(sent[0].header("app_id"), QByteArray("30000"));
    }

    void everyListenerHearsEveryResult()
    {
        server.script(infoPath, {StubServiceServer::json("{\"code\":7}")});
        UserInfoManage *store = UserInfoManage::instance();
        QSignalSpy first(store, &UserInfoManage::GetUserInfoResultSignal);
        QSignalSpy second(store, &UserInfoManage::GetUserInfoResultSignal);
        store->refresh();
        QVERIFY(first.wait(testWaitMs));
        QCOMPARE(first.size(), 1);
        QCOMPARE(second.size(), 1);
        QCOMPARE(first.first().at(0).toBool(), false);
        QCOMPARE(store->userInfo().nickname, QStringLiteral("Ann"));
    }

    void clearForgetsUntilNextFetch()
    {
        UserInfoManage *store = UserInfoManage::instance();
        store->clearUserInfo();
        QVERIFY(store->userInfo().id.isEmpty() && store->userInfo().nickname.isEmpty());

        server.script(infoPath, {StubServiceServer::json(
                                    "{\"code\":0,\"data\":{\"id\":32,\"nickname\":\"Bo\"}}")});
        QSignalSpy results(store, &UserInfoManage::GetUserInfoResultSignal);
        store->refresh();
        QVERIFY(results.wait(testWaitMs));
        QCOMPARE(store->userInfo().id, QStringLiteral("32"));
        QCOMPARE(store->userInfo().nickname, QStringLiteral("Bo"));
    }
};

QTEST_MAIN(UserInfoManageTest)
#include "tst_userinfomanage.moc"
