#include "AboutDialog.h"
#include "AccountTestEnvironment.h"
#include "DimOverlay.h"
#include "WindowWaits.h"
#include "HelpUrlRequest.h"
#include "ImageWordButton.h"
#include "MainWindow.h"
#include "MemberCenterDialog.h"
#include "ModalDriver.h"
#include "MoreDialog.h"
#include "SettingsStore.h"
#include "StartDialog.h"
#include "StubServiceServer.h"
#include "UserInfoManage.h"
#include "UserNetRequest.h"
#include "WechatLoginDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(StubServiceServer::Reply)

namespace {

// The bound of a wait on the window's requests to the stand-in service and their answers:
// seconds on a machine at load 30, so the bound is a safety net only.
const int kWaitMs = 60000;

const QString placeholderName = QStringLiteral("用户0906");
const QString signedInLoginStyle =
    QStringLiteral("#btn_login{background:transparent;border-image: "
                   "url(:/Resources/table/table_head_portrait_small.png);}");
const QString signedOutLoginStyle =
    QStringLiteral("#btn_login{background:transparent;font: 14px \"Microsoft YaHei UI\";color: "
                   "#333333;}#btn_login:hover{color:#389BFD;}#btn_login:pressed{color:#2C7CCA;}");

StubServiceServer::Reply userDetails(const QByteArray &nickname)
{
    return StubServiceServer::json("{\"code\":0,\"data\":{\"id\":906,\"nickname\":\"" + nickname +
                                   "\"}}");
}

ImageWordButton *navigationButton(MainWindow *window, int row)
{
    auto *list = child<QListWidget>(window, "listWidget_LeftFunction");
    return qobject_cast<ImageWordButton *>(list->itemWidget(list->item(row)));
}

bool isSelectedLook(ImageWordButton *button)
{
    return !button->hoverEnabled() && button->currentStyle() == button->selectedStyle();
}

QString navigationStyle(const QString &icon, const QString &textColour, const QString &background)
{
    return "#label_icon{image: url(" + icon +
           ");}#label_text{font: 14px \"Microsoft YaHei UI\";color: " + textColour +
           ";}#widget{background-color: " + background + ";border-radius: 4px;}";
}

QWidget *dimOverlay(MainWindow *window)
{
    return window->findChild<DimOverlay *>();
}

void sendEnter(QWidget *widget)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(widget, &enter);
}

// Follows the requests that the window and the user-details store send to the service. Each
// is a thread that only posts its start to its object in this thread, where the request then
// runs and waits for its answer: seen as that start arrives, the store's worker is caught,
// and the help-link requests that have run are counted.
class RequestWatch : public QObject
{
public:
    RequestWatch() { QCoreApplication::instance()->installEventFilter(this); }
    ~RequestWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

    QPointer<UserNetRequest> storeRequest;
    int helpLinkRuns = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall) {
            if (auto *request = qobject_cast<UserNetRequest *>(watched))
                storeRequest = request;
            else if (qobject_cast<HelpUrlRequest *>(watched))
                ++helpLinkRuns;
        }
        return false;
    }
};

// Records whether the dim overlay was still shown when the window got its close event.
class CloseWatcher : public QObject
{
public:
    explicit CloseWatcher(MainWindow *window) : window(window) { window->installEventFilter(this); }

    bool closeSeen = false;
    bool overlayVisibleAtClose = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Close) {
            closeSeen = true;
            overlayVisibleAtClose = dimOverlay(window)->isVisible();
        }
        return false;
    }

private:
    MainWindow *window;
};

} // namespace

// The real main window, with its pages and account services, against a stand-in service.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.startPlain());
        m_service.script("/v1/user/info", {userDetails("小明")});
        m_service.script("/v1/config", {StubServiceServer::json("{\"qqUrl\":\"\"}")});
        // Before anything builds the user-details store, which keeps the address it is given.
        pointServicesAt(m_service);
        QFile::remove(configFilePath());
        QSignalSpy firstFetch(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        QVERIFY(firstFetch.wait(kWaitMs));
    }

    void init()
    {
        QFile::remove(configFilePath());
        m_service.script("/v1/user/info", {userDetails("小明")});
        m_service.script("/v1/config", {StubServiceServer::json("{\"qqUrl\":\"\"}")});
        m_service.clearLog();
        m_windowsBuilt = 0;
        m_requests.helpLinkRuns = 0;
    }

    void cleanup()
    {
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->hide();
        m_window.reset();
        // The requests started in this case end before the next one scripts the service: the
        // help-link request of every window built (which outlives its window) and the store's
        // fetches.
        QVERIFY(
            QTest::qWaitFor([this] { return m_requests.helpLinkRuns >= m_windowsBuilt; }, kWaitMs));
        QVERIFY(storeFetchesDone());
    }

    void navigationSwitchesPagesAndRefreshesTheFolder()
    {
        QTemporaryDir folders;
        openWindow();
        auto *stack = child<QStackedWidget>(m_window.get(), "stackedWidget");
        QCOMPARE(stack->currentIndex(), 0);
        QCOMPARE(stack->widget(0)->objectName(), QString("PagePdf2File"));
        QCOMPARE(stack->widget(1)->objectName(), QString("PageFile2Pdf"));
        QCOMPARE(navigationButton(m_window.get(), 0)->text(), QString("PDF转文件"));
        QCOMPARE(navigationButton(m_window.get(), 1)->text(), QString("文件转PDF"));
        QVERIFY(isSelectedLook(navigationButton(m_window.get(), 0)));
        QVERIFY(!isSelectedLook(navigationButton(m_window.get(), 1)));

        // Each step stores a new shared folder first, as the other page would, then clicks.
        const int steps[] = {1, 0, 0, 1, 1};
        int step = 0;
        for (int page : steps) {
            const QString folder = folders.filePath(QStringLiteral("out%1").arg(step++));
            writeConfigValue("convert", "FileConvertOutPutDir", folder);
            QTest::mouseClick(navigationButton(m_window.get(), page), Qt::LeftButton);

            QCOMPARE(stack->currentIndex(), page);
            QVERIFY(isSelectedLook(navigationButton(m_window.get(), page)));
            QVERIFY(!isSelectedLook(navigationButton(m_window.get(), 1 - page)));
            QVERIFY(navigationButton(m_window.get(), 1 - page)->hoverEnabled());
            QCOMPARE(child<QLineEdit>(stack->widget(page), "lineEdit_OutPutDir")->text(), folder);
        }
    }

    void loginStateFromStoredToken_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<StubServiceServer::Reply>("reply");
        QTest::addColumn<QString>("shownName"); // empty: no user name shown
        QTest::newRow("no token: signed out") << "" << userDetails("小明") << "";
        QTest::newRow("accepted token: nickname")
            << "tok-accepted" << userDetails("小明") << "小明";
        QTest::newRow("token rejected by status")
            << "tok-rejected" << StubServiceServer::json("{\"code\":0,\"data\":{}}", 401)
            << placeholderName;
        QTest::newRow("token rejected by code")
            << "tok-expired" << StubServiceServer::json("{\"code\":10001,\"data\":{}}")
            << placeholderName;
    }

    void loginStateFromStoredToken()
    {
        QFETCH(QString, token);
        QFETCH(StubServiceServer::Reply, reply);
        QFETCH(QString, shownName);
        writeConfigValue("user", "token", token);
        m_service.script("/v1/user/info", {reply});
        QSignalSpy fetched(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);

        // The fetch runs as soon as events are processed: look before that happens.
        m_window.reset(buildWindow());
        auto *login = child<QPushButton>(m_window.get(), "btn_login");
        auto *name = child<QLabel>(m_window.get(), "label_username");
        const QString nameAtOnce = name->text();
        showWindow();
        const bool loggedIn = !token.isEmpty();
        QCOMPARE(m_window->isLoggedIn(), loggedIn);
        QCOMPARE(login->text(), loggedIn ? QString() : QString("登录"));
        QCOMPARE(login->styleSheet(), loggedIn ? signedInLoginStyle : signedOutLoginStyle);
        QCOMPARE(name->isVisible(), loggedIn);
        QVERIFY(!readConfigValue("user/uuid").isEmpty());
        if (!loggedIn) {
            QCOMPARE(readConfigValue("user/token"), QString());
            return;
        }

        // The placeholder shows at once; the fetch then runs with the stored token.
        QCOMPARE(nameAtOnce, placeholderName);
        QVERIFY(QTest::qWaitFor([&] { return !fetched.isEmpty(); }, kWaitMs));
        const auto requests = m_service.requestsFor("/v1/user/info");
        QVERIFY(!requests.isEmpty());
        QCOMPARE(requests.last().header("Authorization"), token.toUtf8());
        QTRY_COMPARE_WITH_TIMEOUT(name->text(), shownName, kWindowWaitMs);
        QVERIFY(storeFetchesDone()); // no later fetch changes it
        QCOMPARE(name->text(), shownName);
        QVERIFY(m_window->isLoggedIn());
        QCOMPARE(readConfigValue("user/token"), token);
    }

    void loginButtonOpensTheDialogOnlyWhenSignedOut_data()
    {
        QTest::addColumn<bool>("signedIn");
        QTest::newRow("signed in: nothing happens") << true;
        QTest::newRow("signed out: the sign-in dialog over the overlay") << false;
    }

    void loginButtonOpensTheDialogOnlyWhenSignedOut()
    {
        QFETCH(bool, signedIn);
        writeConfigValue("user", "token", signedIn ? "tok" : "");
        openWindow();
        m_service.clearLog();

        const QString qrPath = "/v1/user/getVxLoginQrcode";
        bool dialogRan = false;
        bool overlayShown = false;
        bool qrAsked = false;
        // A dialog that comes at all comes at once; signed in, a second shows none came.
        const int dialogWithinMs = signedIn ? 1000 : kWaitMs;
        onNextModal(
            [&](QWidget *modal) {
                dialogRan = qobject_cast<WechatLoginDialog *>(modal) != nullptr;
                overlayShown = dimOverlay(m_window.get())->isVisible();
                // The dialog asks for its QR code soon after it shows, not at once.
                qrAsked = QTest::qWaitFor([&] { return !m_service.requestsFor(qrPath).isEmpty(); },
                                          kWaitMs);
                pressButton(modal, "btn_close");
            },
            dialogWithinMs);
        QTest::mouseClick(child<QPushButton>(m_window.get(), "btn_login"), Qt::LeftButton);
        if (signedIn)
            QTest::qWait(dialogWithinMs + 100);

        QCOMPARE(dialogRan, !signedIn);
        QCOMPARE(overlayShown, !signedIn);
        QVERIFY(!dimOverlay(m_window.get())->isVisible());
        QVERIFY(m_window->findChildren<WechatLoginDialog *>().isEmpty());
        QCOMPARE(m_window->isLoggedIn(), signedIn);
        QCOMPARE(qrAsked, !signedIn);
        QCOMPARE(m_service.requestsFor(qrPath).isEmpty(), signedIn);
    }

    void helpLinkStorage_data()
    {
        QTest::addColumn<QString>("storedBefore");
        QTest::addColumn<StubServiceServer::Reply>("reply");
        QTest::addColumn<bool>("menuBeforeReply");
        QTest::addColumn<QString>("menuLink");
        QTest::addColumn<QString>("storedAfter");
        const QString link = "https://kefu.example/qq";
        const QString old = "https://old.example/qq";
        const auto linkReply = StubServiceServer::json("{\"qqUrl\":\"" + link.toUtf8() + "\"}");
        auto lateLinkReply = linkReply;
        lateLinkReply.delayMs = 800;
        QTest::newRow("first start: link stored") << "" << linkReply << false << link << link;
        QTest::newRow("new link replaces the stored one")
            << old << linkReply << false << link << link;
        QTest::newRow("failed request keeps the stored link")
            << old << StubServiceServer::json("{\"qqUrl\":\"https://x\"}", 500) << false << ""
            << old;
        QTest::newRow("empty link keeps the stored link")
            << old << StubServiceServer::json("{\"code\":0,\"qqUrl\":\"\"}") << false << "" << old;
        QTest::newRow("link not a string")
            << old << StubServiceServer::json("{\"qqUrl\":7}") << false << "" << old;
        QTest::newRow("menu opened before the reply keeps its copy")
            << old << lateLinkReply << true << old << link;
    }

    void helpLinkStorage()
    {
        QFETCH(QString, storedBefore);
        QFETCH(StubServiceServer::Reply, reply);
        QFETCH(bool, menuBeforeReply);
        QFETCH(QString, menuLink);
        QFETCH(QString, storedAfter);
        if (!storedBefore.isEmpty())
            writeConfigValue("user", "help", storedBefore);
        m_service.script("/v1/config", {reply});

        m_window.reset(buildWindow());
        auto *more = child<QPushButton>(m_window.get(), "btn_More");
        // The request waits for its reply in a local event loop, so a user can open the
        // menu meanwhile: here once the service has the request, the reply still held back.
        if (menuBeforeReply) {
            auto *opener = new QTimer(more);
            connect(opener, &QTimer::timeout, more, [this, more, opener] {
                if (m_service.requestsFor("/v1/config").isEmpty())
                    return;
                opener->stop();
                QTest::mouseClick(more, Qt::LeftButton);
            });
            opener->start(10);
        }
        showWindow();
        if (!menuBeforeReply) {
            // The request waits for its reply in a local event loop beneath this one: once
            // the service has logged it, the reply has been taken as well.
            QVERIFY(QTest::qWaitFor([&] { return !m_service.requestsFor("/v1/config").isEmpty(); },
                                    kWaitMs));
            QCOMPARE(readConfigValue("user/help"), storedAfter);
            QTest::mouseClick(more, Qt::LeftButton);
        }
        QVERIFY(QTest::qWaitFor([] { return visibleTopLevel<MoreDialog>() != nullptr; }, kWaitMs));
        auto *menu = visibleTopLevel<MoreDialog>();
        QCOMPARE(menu->serviceUrl(), menuLink);
        if (storedAfter != storedBefore) {
            static_cast<void>(QTest::qWaitFor(
                [&] { return readConfigValue("user/help") != storedBefore; }, kWaitMs));
        }
        QCOMPARE(readConfigValue("user/help"), storedAfter);
        QCOMPARE(menu->serviceUrl(), menuLink);

        const auto requests = m_service.requestsFor("/v1/config");
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().header("app_id"), QByteArray("30000"));
    }

    void exitConfirmation_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("ok closes the window") << "btn_ok" << true;
        QTest::newRow("cancel keeps it") << "btn_cancel" << false;
        QTest::newRow("close button keeps it") << "btn_close" << false;
    }

    void exitConfirmation()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        openWindow();
        m_window->resize(1000, 700);
        CloseWatcher watcher(m_window.get());

        QStringList texts;
        QRect overlayArea;
        bool overlayShown = false;
        onNextModal([&](QWidget *modal) {
            for (QLabel *label : modal->findChildren<QLabel *>())
                texts << label->text();
            overlayShown = dimOverlay(m_window.get())->isVisible();
            overlayArea = dimOverlay(m_window.get())->geometry();
            pressButton(modal, answer);
        });
        QTest::mouseClick(child<QPushButton>(m_window.get(), "btn_close"), Qt::LeftButton);

        QVERIFY(texts.contains("确定退出软件吗？"));
        QVERIFY(texts.contains("如有任务在执行中，会自动取消"));
        QVERIFY(overlayShown);
        QCOMPARE(overlayArea, QRect(8, 8, m_window->width() - 16, m_window->height() - 16));
        QVERIFY(!dimOverlay(m_window.get())->isVisible());
        QCOMPARE(watcher.closeSeen, closes);
        QVERIFY(!watcher.overlayVisibleAtClose);
        QCOMPARE(m_window->isVisible(), !closes);
    }

    void moreMenuFollowsItsButton()
    {
        openWindow();
        auto *more = child<QPushButton>(m_window.get(), "btn_More");
        for (const QPoint &windowPlace : {QPoint(40, 30), QPoint(200, 120)}) {
            m_window->move(windowPlace);
            QTest::mouseClick(more, Qt::LeftButton);
            auto *menu = visibleTopLevel<MoreDialog>();
            QVERIFY(menu);
            QCOMPARE(menu->pos(), more->mapToGlobal(QPoint(0, 0)) + QPoint(0, 25));
            QVERIFY(!dimOverlay(m_window.get())->isVisible());
            menu->hide();
        }
        // One menu for the life of the window.
        int menus = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            menus += qobject_cast<MoreDialog *>(widget) ? 1 : 0;
        QCOMPARE(menus, 1);
    }

    void aboutBoxRunsOverTheOverlay()
    {
        openWindow();
        QTest::mouseClick(child<QPushButton>(m_window.get(), "btn_More"), Qt::LeftButton);
        auto *menu = visibleTopLevel<MoreDialog>();
        QVERIFY(menu);

        bool aboutShown = false;
        bool overlayShown = false;
        onNextModal([&](QWidget *modal) {
            aboutShown =
                qobject_cast<AboutDialog *>(modal) && modal->parentWidget() == m_window.get();
            overlayShown = dimOverlay(m_window.get())->isVisible();
            modal->close();
        });
        QTest::mouseClick(child<QPushButton>(menu, "btn_About"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(aboutShown, 5000);
        QVERIFY(overlayShown);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), kWindowWaitMs);
        QVERIFY(!dimOverlay(m_window.get())->isVisible());
        QVERIFY(m_window->findChildren<AboutDialog *>().isEmpty());
        QVERIFY(m_window->isVisible());
    }

    void accountPopupOnHover_data()
    {
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("hovered");
        QTest::newRow("signed in, over the user name") << true << "label_username";
        QTest::newRow("signed in, over the head portrait") << true << "btn_login";
        QTest::newRow("signed out, over the user name") << false << "label_username";
        QTest::newRow("signed out, over the login button") << false << "btn_login";
    }

    void accountPopupOnHover()
    {
        QFETCH(bool, signedIn);
        QFETCH(QString, hovered);
        writeConfigValue("user", "token", signedIn ? "tok" : "");
        QSignalSpy fetched(UserInfoManage::instance(), &UserInfoManage::GetUserInfoResultSignal);
        openWindow();
        m_window->move(300, 200);
        auto *login = child<QPushButton>(m_window.get(), "btn_login");
        auto *target = m_window->findChild<QWidget *>(hovered);
        if (signedIn) // the window's own fetch at its start
            QVERIFY(QTest::qWaitFor([&] { return !fetched.isEmpty(); }, kWaitMs));
        m_service.clearLog();
        fetched.clear();

        sendEnter(target);
        auto *popup = visibleTopLevel<MemberCenterDialog>();
        QCOMPARE(popup != nullptr, signedIn);
        if (!signedIn) {
            QVERIFY(storeFetchesDone());
            QVERIFY(m_service.requestsFor("/v1/user/info").isEmpty());
            return;
        }
        const QPoint place = login->mapToGlobal(QPoint(0, 0)) + QPoint(-52, 28);
        QCOMPARE(popup->pos(), place);
        // Opening asks the store once or twice, as its request thread may still run from
        // the first ask: the count is taken once every fetch asked for has been answered.
        QVERIFY(storeFetchesDone());
        const int fetches = m_service.requestsFor("/v1/user/info").size();
        QVERIFY(fetches > 0);
        QCOMPARE(fetched.size(), fetches);

        // Hovering again while it shows neither moves it nor fetches again.
        m_window->move(350, 260);
        sendEnter(login);
        sendEnter(child<QLabel>(m_window.get(), "label_username"));
        QVERIFY(storeFetchesDone()); // a fetch asked for now has been answered
        QCOMPARE(visibleTopLevel<MemberCenterDialog>(), popup);
        QCOMPARE(popup->pos(), place);
        QCOMPARE(m_service.requestsFor("/v1/user/info").size(), fetches);

        // Once hidden, the same popup comes back at the new place.
        popup->hide();
        sendEnter(target);
        QCOMPARE(visibleTopLevel<MemberCenterDialog>(), popup);
        QCOMPARE(popup->pos(), login->mapToGlobal(QPoint(0, 0)) + QPoint(-52, 28));
    }

    void logoutFromTheAccountPopup_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("signsOut");
        QTest::newRow("confirmed") << "btn_ok" << true;
        QTest::newRow("cancelled") << "btn_cancel" << false;
    }

    void logoutFromTheAccountPopup()
    {
        QFETCH(QString, answer);
        QFETCH(bool, signsOut);
        writeConfigValue("user", "token", "tok");
        openWindow();
        auto *name = child<QLabel>(m_window.get(), "label_username");
        QCOMPARE(nameOnceFetched(name), QString("小明"));
        sendEnter(name);
        auto *popup = visibleTopLevel<MemberCenterDialog>();
        QVERIFY(popup);

        bool overlayShown = false;
        onNextModal([&](QWidget *modal) {
            overlayShown = dimOverlay(m_window.get())->isVisible();
            pressButton(modal, answer);
        });
        child<QPushButton>(popup, "btn_exitlogin")->click();

        QVERIFY(overlayShown);
        QVERIFY(!dimOverlay(m_window.get())->isVisible());
        QCOMPARE(m_window->isLoggedIn(), !signsOut);
        QCOMPARE(name->isVisible(), !signsOut);
        QCOMPARE(readConfigValue("user/token"), signsOut ? QString() : QString("tok"));
        QCOMPARE(UserInfoManage::instance()->userInfo().nickname.isEmpty(), signsOut);
        if (signsOut) {
            auto *login = child<QPushButton>(m_window.get(), "btn_login");
            QCOMPARE(login->text(), QString("登录"));
            QCOMPARE(login->styleSheet(), signedOutLoginStyle);
            // Signed out, hovering shows no popup any more.
            popup->hide();
            sendEnter(login);
            QVERIFY(!visibleTopLevel<MemberCenterDialog>());
        }
    }

    void formShapesTheWindow_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("maximum");
        QTest::addColumn<QString>("text");
        const int open = QWIDGETSIZE_MAX;
        QTest::newRow("left column") << "LeftWidget" << QSize(157, 0) << QSize(157, open) << "";
        QTest::newRow("logo row") << "widget_Logo" << QSize(0, 48) << QSize(open, 48) << "";
        QTest::newRow("program icon")
            << "widget_ProgramIcon" << QSize(48, 48) << QSize(48, 48) << "";
        QTest::newRow("name row") << "widget_2" << QSize(0, 22) << QSize(open, 22) << "";
        QTest::newRow("program name")
            << "label_ProgramName" << QSize(0, 0) << QSize(open, open) << "Quorvane";
        QTest::newRow("list holder") << "widget" << QSize(0, 96) << QSize(open, open) << "";
        QTest::newRow("navigation list")
            << "listWidget_LeftFunction" << QSize(140, 0) << QSize(140, open) << "";
        QTest::newRow("header") << "HeadWidget" << QSize(0, 49) << QSize(open, 49) << "";
        QTest::newRow("login") << "btn_login" << QSize(32, 32) << QSize(32, 32) << "登录";
        QTest::newRow("user name")
            << "label_username" << QSize(0, 0) << QSize(open, open) << "用户0906";
        QTest::newRow("more") << "btn_More" << QSize(30, 24) << QSize(30, 24) << "更多";
        QTest::newRow("minimise") << "btn_min" << QSize(24, 24) << QSize(24, 24) << "";
        QTest::newRow("close") << "btn_close" << QSize(24, 24) << QSize(24, 24) << "";
    }

    void formShapesTheWindow()
    {
        QFETCH(QString, object);
        QFETCH(QSize, minimum);
        QFETCH(QSize, maximum);
        QFETCH(QString, text);
        // A fresh form, before anything changes its texts.
        auto *window = buildWindow();
        m_window.reset(window);
        auto *widget = window->findChild<QWidget *>(object);
        QVERIFY(widget);
        QCOMPARE(widget->minimumSize(), minimum);
        QCOMPARE(widget->maximumSize(), maximum);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(!button->isFlat());
            QCOMPARE(button->text(), text);
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            QCOMPARE(label->text(), text);
        }
        QCOMPARE(window->objectName(), QString("MainWindow"));
        QCOMPARE(window->windowTitle(), QString());
        QCOMPARE(window->size(), QSize(1100, 720));
        auto *list = child<QListWidget>(window, "listWidget_LeftFunction");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->sizeHint(), QSize(120, 40));
        QCOMPARE(list->item(1)->sizeHint(), QSize(120, 40));
        QCOMPARE(list->spacing(), 6);
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void navigationButtonsCarryTheirStyles_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("icon");
        for (int row : {0, 1}) {
            const QString icon = row == 0 ? ":/Resources/icon/icon_pdf_to_file"
                                          : ":/Resources/icon/icon_file_to_pdf";
            QTest::addRow("row %d", row) << row << icon;
        }
    }

    void navigationButtonsCarryTheirStyles()
    {
        QFETCH(int, row);
        QFETCH(QString, icon);
        m_window.reset(buildWindow());
        ImageWordButton *button = navigationButton(m_window.get(), row);
        QCOMPARE(button->objectName(), QString("ImageWordButton"));
        const QString normal = navigationStyle(icon + ".png", "#5C5C5C", "#F0F5FF");
        if (row == 0) {
            QCOMPARE(normal,
                     QString("#label_icon{image: url(:/Resources/icon/icon_pdf_to_file.png);}"
                             "#label_text{font: 14px \"Microsoft YaHei UI\";color: "
                             "#5C5C5C;}#widget{background-color: #F0F5FF;border-radius: "
                             "4px;}"));
        }
        QCOMPARE(button->normalStyle(), normal);
        QCOMPARE(button->hoverStyle(), navigationStyle(icon + ".png", "#5C5C5C", "#FFFFFF"));
        QCOMPARE(button->pressedStyle(), navigationStyle(icon + ".png", "#5C5C5C", "#FFFFFF"));
        QCOMPARE(button->selectedStyle(),
                 navigationStyle(icon + "_select.png", "#389BFD", "rgba(56, 155, 253, 51)"));
        for (const QString &style : {button->normalStyle(), button->selectedStyle()}) {
            const QString path = style.section("url(", 1).section(')', 0, 0);
            QVERIFY2(QFile::exists(path), qPrintable(path));
        }
    }

    void splashShowsItselfForOneSecond()
    {
        // A one-second timer of the test's own tells how late this machine runs timers now.
        const qint64 oneSecond = oneSecondTimerMs();
        // Its timer starts as it is made: timed from there, not from when it is shown.
        QElapsedTimer clock;
        clock.start();
        StartDialog splash(nullptr);
        QCOMPARE(splash.size(), QSize(486, 209));
        QCOMPARE(splash.minimumSize(), QSize(486, 209));
        QCOMPARE(splash.windowTitle(), QString("Dialog"));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(child<QLabel>(&splash, "label")->text(), QString("Quorvane"));
        QCOMPARE(child<QLabel>(&splash, "label_2")->text(), QString("启动中..."));
        QVERIFY(
            splash.styleSheet().contains("border-image:url(:/Resources/table/table_starting.png)"));
        QVERIFY(QFile::exists(":/Resources/table/table_starting.png"));

        // Nothing but its own timer ends the modal run.
        watchNextModal([](QWidget *) {}, kWaitMs);
        splash.exec();
        const qint64 shown = clock.elapsed();
        QVERIFY2(shown >= 950 && shown < oneSecond + 2000,
                 qPrintable(QString("%1 ms, a one-second timer %2 ms").arg(shown).arg(oneSecond)));
        QVERIFY(!splash.isVisible());
    }

    void signInThroughTheDialogTurnsTheHeader()
    {
        m_service.script("/v1/user/getVxLoginQrcode",
                         {StubServiceServer::json(QStringLiteral("{\"scene_id\":77,\"url\":\"%1\"}")
                                                      .arg(m_service.baseAddress() + "/qr.png")
                                                      .toUtf8())});
        m_service.script("/qr.png", {StubServiceServer::json(pngPicture(Qt::black, 90))});
        m_service.script("/v1/user/checkScene",
                         {StubServiceServer::json("{\"code\":0,\"data\":\"tok-scanned\"}")});
        m_service.script("/v1/user/info", {userDetails("扫码用户")});
        openWindow();
        QVERIFY(!m_window->isLoggedIn());

        bool overlayShown = false;
        watchNextModal([&](QWidget *) { overlayShown = dimOverlay(m_window.get())->isVisible(); },
                       kWaitMs);
        QTest::mouseClick(child<QPushButton>(m_window.get(), "btn_login"), Qt::LeftButton);

        QVERIFY(overlayShown);
        QVERIFY(!dimOverlay(m_window.get())->isVisible());
        QVERIFY(m_window->findChildren<WechatLoginDialog *>().isEmpty());
        QVERIFY(m_window->isLoggedIn());
        QCOMPARE(child<QPushButton>(m_window.get(), "btn_login")->styleSheet(), signedInLoginStyle);
        QCOMPARE(readConfigValue("user/token"), QString("tok-scanned"));
        auto *name = child<QLabel>(m_window.get(), "label_username");
        QVERIFY(name->isVisible());
        QCOMPARE(nameOnceFetched(name), QString("扫码用户"));
    }

    void closedWindowLeavesNoOwnerBehind()
    {
        writeConfigValue("user", "token", "tok");
        openWindow();
        QCOMPARE(UserInfoManage::instance()->mainWindow(), m_window.get());
        sendEnter(child<QLabel>(m_window.get(), "label_username"));
        auto *popup = visibleTopLevel<MemberCenterDialog>();
        QVERIFY(popup);
        m_window.reset();
        QCOMPARE(UserInfoManage::instance()->mainWindow(), nullptr);

        // The popup outlives the window; its logout question then runs without an owner.
        bool asked = false;
        onNextModal([&](QWidget *modal) {
            asked = modal->parentWidget() == nullptr;
            pressButton(modal, "btn_cancel");
        });
        child<QPushButton>(popup, "btn_exitlogin")->click();
        QVERIFY(asked);
    }

private:
    // True once every fetch of the user-details store asked for so far has run and been
    // answered: the store's worker thread has ended (each start posts its fetch before the
    // thread ends), and the fetches it posted have run here, each to its answer.
    bool storeFetchesDone()
    {
        UserNetRequest *request = m_requests.storeRequest;
        if (!request || !request->wait(kWaitMs))
            return false;
        QCoreApplication::sendPostedEvents(request, QEvent::MetaCall);
        return true;
    }

    MainWindow *buildWindow()
    {
        ++m_windowsBuilt;
        return new MainWindow(nullptr);
    }

    // The user name once the window's fetch has replaced the placeholder.
    static QString nameOnceFetched(const QLabel *name)
    {
        static_cast<void>(
            QTest::qWaitFor([name] { return name->text() != placeholderName; }, kWaitMs));
        return name->text();
    }

    // How long a one-second timer takes to end a nested event loop.
    static qint64 oneSecondTimerMs()
    {
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        return clock.elapsed();
    }

    void openWindow()
    {
        m_window.reset(buildWindow());
        showWindow();
    }

    void showWindow()
    {
        m_window->move(100, 80);
        m_window->show();
        QVERIFY(waitForExposed(m_window.get()));
    }

    RequestWatch m_requests;
    StubServiceServer m_service;
    std::unique_ptr<MainWindow> m_window;
    int m_windowsBuilt = 0;
};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
