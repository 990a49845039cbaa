#include "AboutDialog.h"
#include "CShadowWindow.h"
#include "WindowWaits.h"
#include "MessageBoxDialog.h"
#include "ModalDriver.h"
#include "MoreDialog.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

// Receives what the menu hands to the desktop instead of starting a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestSharedDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void messageBoxResults_data();
    void messageBoxResults();
    void messageBoxTexts();
    void moreMenuAbout();
    void moreMenuServiceAddress();
    void aboutBoxShowsTheVersion();

private:
    UrlCatcher catcher;
};

void TestSharedDialogs::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
}

void TestSharedDialogs::messageBoxResults_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("确定") << "btn_ok" << int(QDialog::Accepted);
    QTest::newRow("取消") << "btn_cancel" << int(QDialog::Rejected);
    QTest::newRow("close button") << "btn_close" << int(QDialog::Rejected);
    QTest::newRow("Escape") << "escape" << int(QDialog::Rejected);
}

void TestSharedDialogs::messageBoxResults()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    MessageBoxDialog box(nullptr);
    box.setMessage(QStringLiteral("确定删除吗？"),
                   QStringLiteral("只会删除该条记录，本地文件不会删除"));
    onNextModal([how](QWidget *modal) {
        if (how == QLatin1String("escape"))
            QTest::keyClick(modal, Qt::Key_Escape);
        else if (auto *button = modal->findChild<QPushButton *>(how))
            QTest::mouseClick(button, Qt::LeftButton);
    });
    QCOMPARE(box.exec(), result);
}

void TestSharedDialogs::messageBoxTexts()
{
    MessageBoxDialog box(nullptr);
    QCOMPARE(box.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(box.size(), QSize(416, 212));
    QVERIFY(box.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(box.shadow(), nullptr);
    for (const char *name : {"widgeMain1212", "widget", "widget_2", "widget_3", "widget_5",
                             "widget_6", "img_tipsicon", "btn_close", "btn_ok", "btn_cancel"})
        QVERIFY2(box.findChild<QWidget *>(QLatin1String(name)), name);
    QCOMPARE(box.findChild<QPushButton *>(QStringLiteral("btn_ok"))->text(),
             QStringLiteral("确定"));
    QCOMPARE(box.findChild<QPushButton *>(QStringLiteral("btn_cancel"))->text(),
             QStringLiteral("取消"));

    box.setMessage(QStringLiteral("确定清空吗？"), QString());
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("label"))->text(),
             QStringLiteral("确定清空吗？"));
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("label_tips"))->text(), QString());
    box.show();
    QCOMPARE(box.size(), QSize(416, 212));
    // The pictures of the close button and the tips icon are in the resources.
    QVERIFY(!QPixmap(QStringLiteral(":/Resources/public/icon_public_close.png")).isNull());
    QCOMPARE(QPixmap(QStringLiteral(":/Resources/icon/icon_pop-up_tips.png")).size(),
             QSize(24, 24));
}

void TestSharedDialogs::moreMenuAbout()
{
    MoreDialog menu(nullptr, QString());
    QVERIFY(menu.windowFlags() & Qt::Popup);
    QVERIFY(!menu.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(menu.shadow());
    QCOMPARE(menu.size(), QSize(126, 108));
    menu.show();
    QVERIFY(waitForExposed(&menu));

    bool openWhenSignalled = false;
    int signals_ = 0;
    connect(&menu, &MoreDialog::ShowAboutWndSignal, this, [&] {
        ++signals_;
        openWhenSignalled = menu.isVisible();
    });
    QTest::mouseClick(menu.findChild<QPushButton *>(QStringLiteral("btn_About")), Qt::LeftButton);
    QCOMPARE(signals_, 1);
    QVERIFY(openWhenSignalled);
    QVERIFY(!menu.isVisible());

    menu.show(); // hidden, not destroyed: it opens again
    QVERIFY(menu.isVisible());
}

void TestSharedDialogs::moreMenuServiceAddress()
{
    const QString address = QStringLiteral("https://help.quorvane.test/kefu?from=app");
    MoreDialog menu(nullptr, address);
    menu.show();
    QTest::mouseClick(menu.findChild<QPushButton *>(QStringLiteral("btn_KeFu")), Qt::LeftButton);
    QVERIFY(!menu.isVisible());
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(address)});

    MoreDialog empty(nullptr, QString());
    empty.show();
    QTest::mouseClick(empty.findChild<QPushButton *>(QStringLiteral("btn_KeFu")), Qt::LeftButton);
    QVERIFY(!empty.isVisible());
    QCOMPARE(catcher.opened.size(), 1);
    QCOMPARE(empty.serviceUrl(), QString());
}

void TestSharedDialogs::aboutBoxShowsTheVersion()
{
    AboutDialog about(nullptr);
    QCOMPARE(about.size(), QSize(360, 386));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("label_ProgramName"))->text(),
             QStringLiteral("Quorvane"));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("label_version"))->text(),
             QStringLiteral("版本：5.16.1.0"));
    QVERIFY(!about.findChild<QLabel *>(QStringLiteral("label_copyright"))->text().isEmpty());
    QCOMPARE(QPixmap(QStringLiteral(":/Resources/icon/icon_about_logo.png")).size(), QSize(74, 74));
    onNextModal([](QWidget *modal) {
        if (auto *close = modal->findChild<QPushButton *>(QStringLiteral("btn_close")))
            QTest::mouseClick(close, Qt::LeftButton);
    });
    QCOMPARE(about.exec(), int(QDialog::Rejected));
}

QTEST_MAIN(TestSharedDialogs)
#include "tst_SharedDialogs.moc"
