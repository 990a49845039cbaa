#include "AccountTestEnvironment.h"
#include "WindowWaits.h"
#include "MemberCenterDialog.h"
#include "ModalDriver.h"
#include "StubServiceServer.h"
#include "UserInfoManage.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString infoPath = QStringLiteral("/v1/user/info");

} // namespace

// The account popup against the stand-in service, with no main window registered (the
// confirmation box then runs without parent and without overlay).
class MemberCenterDialogTest : public QObject
{
    Q_OBJECT

private:
    StubServiceServer server;

    static QString labelText(MemberCenterDialog &popup, const char *name)
    {
        return popup.findChild<QLabel *>(QString::fromLatin1(name))->text();
    }

    // The name the popup shows once the fetch that it started has reported (fetched: the
    // store's results since before the popup), so that a wrong name fails at once.
    static QString nameAfterFetch(MemberCenterDialog &popup, QSignalSpy &fetched)
    {
        if (fetched.isEmpty())
            static_cast<void>(fetched.wait(testWaitMs));
        return labelText(popup, "label_username");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.startPlain());
        pointServicesAt(server);
    }

    void opensEmptyThenShowsFetchedDetails()
    {
        server.script(infoPath, {StubServiceServer::json(
                                    "{\"code\":0,\"data\":{\"id\":2024,\"nickname\":\"李雷\"}}")});
        QSignalSpy fetched(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        MemberCenterDialog popup;
        QVERIFY(popup.windowFlags().testFlag(Qt::Popup));
        QCOMPARE(labelText(popup, "label_username"), QString());
        QCOMPARE(labelText(popup, "label_userID"), QStringLiteral("ID："));

        QCOMPARE(nameAfterFetch(popup, fetched), QStringLiteral("李雷"));
        QCOMPARE(labelText(popup, "label_userID"), QStringLiteral("ID：2024"));
    }

    void failedFetchKeepsLastDetails()
    {
        server.script(infoPath, {StubServiceServer::json(
                                     "{\"code\":0,\"data\":{\"id\":2025,\"nickname\":\"韩梅梅\"}}"),
                                 StubServiceServer::json("{\"code\":500}")});
        QSignalSpy fetched(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        MemberCenterDialog popup;
        QCOMPARE(nameAfterFetch(popup, fetched), QStringLiteral("韩梅梅"));
        QSignalSpy results(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        MemberCenterDialog::refreshUserInfo();
        QVERIFY(results.wait(testWaitMs));
        QCOMPARE(results.first().at(0).toBool(), false);
        QCOMPARE(labelText(popup, "label_username"), QStringLiteral("韩梅梅"));
        QCOMPARE(labelText(popup, "label_userID"), QStringLiteral("ID：2025"));
        QVERIFY(!QPixmap(":/Resources/table/table_personal_center.png").isNull());
        QVERIFY(!QPixmap(":/Resources/table/table_head_portrait_big.png").isNull());
    }

    void mouseLeaveHidesAtOnce()
    {
        MemberCenterDialog popup;
        popup.show();
        QVERIFY(waitForExposed(&popup));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&popup, &leave);
        QVERIFY(!popup.isVisible());
    }

    void signOutAsksFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("signOuts");
        QTest::newRow("confirmed") << "btn_ok" << 1;
        QTest::newRow("cancelled") << "btn_cancel" << 0;
        QTest::newRow("closed") << "btn_close" << 0;
    }

    void signOutAsksFirst()
    {
        QFETCH(QString, button);
        QFETCH(int, signOuts);
        MemberCenterDialog popup;
        QSignalSpy signedOut(&popup, &MemberCenterDialog::ExitLoginSignal);
        popup.show();
        QVERIFY(waitForExposed(&popup));

        QString question;
        onNextModal([&question, button](QWidget *box) {
            if (auto *label = box->findChild<QLabel *>(QStringLiteral("label")))
                question = label->text();
            if (auto *pressed = box->findChild<QPushButton *>(button))
                QTest::mouseClick(pressed, Qt::LeftButton);
        });
        popup.on_btn_exitlogin_clicked();

        QCOMPARE(question, QStringLiteral("确定退出登录吗？"));
        QCOMPARE(signedOut.size(), signOuts);
        if (signOuts)
            QVERIFY(!popup.isVisible());
    }
};

QTEST_MAIN(MemberCenterDialogTest)
#include "tst_membercenterdialog.moc"
