#include "BaseMainWindow.h"
#include "WindowWaits.h"
#include "ShellTestSupport.h"

#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>

namespace {

class TestWindow : public BaseMainWindow
{
public:
    explicit TestWindow(bool withDropArea = false)
    {
        auto *central = new QWidget(this);
        auto *layout = new QVBoxLayout(central);
        title = new QWidget(central);
        title->setFixedHeight(40);
        layout->addWidget(title);
        body = new QWidget(central);
        layout->addWidget(body, 1);
        setCentralWidget(central);
        dropArea = withDropArea ? body : nullptr;
        setMinimumSize(300, 200);
        resize(400, 300);
    }
    // The filter as the drop area's events reach it.
    bool filter(QEvent *event) { return eventFilter(dropArea, event); }
    QWidget *title;
    QWidget *body;
    QWidget *dropArea;

protected:
    QWidget *titleWidget() override { return title; }
    QWidget *dropAreaWidget() override { return dropArea; }
};

int alphaAt(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

} // namespace

class TestBaseMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void firstShowMakesRoomForTheShadowOnce();
    void paintsWhiteBodyAndFadingRings();
    void dragByTitle();
    void exitMaximizedSignal();
    void maximizeAndRestoreMargins();
    void dropAreaTakesLocalPaths();
    void noDropAreaLeavesDropsToChildren();
};

void TestBaseMainWindow::firstShowMakesRoomForTheShadowOnce()
{
    TestWindow window;
    window.show();
    QCOMPARE(window.size(), QSize(418, 318));
    QCOMPARE(window.minimumSize(), QSize(318, 218));
    QCOMPARE(window.centralWidget()->layout()->contentsMargins(), QMargins(9, 9, 9, 9));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window.pos(), QPoint((screen.width() - 418) / 2, (screen.height() - 318) / 2));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));

    window.hide();
    window.show();
    QCOMPARE(window.size(), QSize(418, 318));
    QCOMPARE(window.minimumSize(), QSize(318, 218));
}

void TestBaseMainWindow::paintsWhiteBodyAndFadingRings()
{
    TestWindow window;
    window.show();
    QVERIFY(waitForExposed(&window));
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int middle = image.height() / 2;

    QCOMPARE(image.pixel(11, middle), qRgba(255, 255, 255, 255));
    QCOMPARE(image.pixel(image.width() - 12, middle), qRgba(255, 255, 255, 255));
    QVERIFY(alphaAt(image, 0, middle) <= 5); // only the antialiased edge of the outer ring
    // Outward from the body the rings fade; every ring leaves a mark.
    for (int x = 1; x < 9; ++x) {
        QVERIFY2(alphaAt(image, x, middle) <= alphaAt(image, x + 1, middle),
                 qPrintable(QString::number(x)));
        QVERIFY2(alphaAt(image, x, middle) > 0, qPrintable(QString::number(x)));
    }
    QVERIFY(alphaAt(image, 9, middle) >= 100);
    QVERIFY(alphaAt(image, 2, middle) <= 15);
    // The same on the right and at the bottom.
    QVERIFY(alphaAt(image, image.width() - 1, middle) <= 5);
    QVERIFY(alphaAt(image, image.width() - 10, middle) >= 60);
    QVERIFY(alphaAt(image, image.width() / 2, image.height() - 10) >= 60);
    // The shadow's colour is grey (92, 93, 95) once un-premultiplied.
    const QColor ring = QColor::fromRgba(image.pixel(9, middle));
    QVERIFY(qAbs(ring.red() - 92) <= 4 && qAbs(ring.blue() - 95) <= 4);
    // The ring at inset 5 has a square corner; the others are rounded, so only it
    // marks the corner pixel at (5, 5) strongly; the corner itself stays clear.
    QVERIFY(alphaAt(image, 5, 5) > alphaAt(image, 4, 4));
    QCOMPARE(alphaAt(image, 0, 0), 0);
}

void TestBaseMainWindow::dragByTitle()
{
    TestWindow window;
    window.show();
    const QPoint start = window.pos();
    const QPoint grip = window.title->mapToGlobal(QPoint(50, 10));
    sendMouse(window.title, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    sendMouse(window.title, QEvent::MouseMove, grip + QPoint(-30, 15), Qt::NoButton,
              Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(-30, 15));
    sendMouse(window.title, QEvent::MouseButtonRelease, grip + QPoint(-30, 15), Qt::LeftButton,
              Qt::NoButton);
    sendMouse(window.title, QEvent::MouseMove, grip, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(-30, 15));
}

void TestBaseMainWindow::exitMaximizedSignal()
{
    TestWindow window;
    window.show();
    QSignalSpy spy(&window, &BaseMainWindow::exitMaximized);
    const QPoint grip = window.title->mapToGlobal(QPoint(50, 10));

    sendMouse(window.title, QEvent::MouseButtonDblClick, grip, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    sendMouse(window.title, QEvent::MouseMove, grip, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(spy.count(), 1); // not maximised: a move says nothing

    window.maximizeWindow();
    QTRY_COMPARE_WITH_TIMEOUT(window.windowState(), Qt::WindowMaximized, kWindowWaitMs);
    // A receiver that restores makes the window follow the cursor proportionally.
    connect(&window, &BaseMainWindow::exitMaximized, &window, [&window] {
        window.setWindowState(Qt::WindowNoState);
        window.resize(400, 300);
    });
    const QPoint cursor = window.title->mapToGlobal(QPoint(200, 10));
    const QPoint local = window.mapFromGlobal(cursor);
    const int oldWidth = window.width(), oldHeight = window.height();
    // Plain moves reach the title only with mouse tracking; a drag always does.
    sendMouse(window.title, QEvent::MouseMove, cursor, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    const QPoint expected(cursor.x() - 400 * local.x() / oldWidth,
                          cursor.y() - 300 * local.y() / oldHeight);
    QCOMPARE(window.pos(), expected);
}

void TestBaseMainWindow::maximizeAndRestoreMargins()
{
    TestWindow window;
    window.show();
    window.maximizeWindow();
    QCOMPARE(window.centralWidget()->layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(window.isMaximized(), kWindowWaitMs);
    window.restoreWindow();
    QCOMPARE(window.centralWidget()->layout()->contentsMargins(), QMargins(9, 9, 9, 9));
    QTRY_VERIFY_WITH_TIMEOUT(!window.isMaximized(), kWindowWaitMs);
}

namespace {

// Drags local files onto widget and drops them, through the widget's own event delivery.
void dropFilesOn(QWidget *widget)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/c.pdf"))});
    data.setData(QStringLiteral("*"), QByteArray());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
}

} // namespace

void TestBaseMainWindow::dropAreaTakesLocalPaths()
{
    TestWindow window(true);
    window.show();
    QVERIFY(window.body->acceptDrops());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/报告 1.pdf")),
                  QUrl::fromLocalFile(QStringLiteral("/home/u/b.pdf"))});
    QDragEnterEvent plainEnter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    plainEnter.setAccepted(false);
    window.filter(&plainEnter);
    QVERIFY(!plainEnter.isAccepted());
    data.setData(QStringLiteral("*"), QByteArray());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    window.filter(&enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    window.filter(&drop);
    QCOMPARE(window.droppedPaths(),
             QStringList({QStringLiteral("/tmp/报告 1.pdf"), QStringLiteral("/home/u/b.pdf")}));

    QMimeData text;
    text.setText(QStringLiteral("no files"));
    QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(!window.filter(&textDrop));
    QCOMPARE(window.droppedPaths().size(), 2); // a drop without URLs changes nothing

    // The same way a drop reaches the window below.
    dropFilesOn(window.body);
    QCOMPARE(window.droppedPaths(), QStringList{QStringLiteral("/tmp/c.pdf")});
}

void TestBaseMainWindow::noDropAreaLeavesDropsToChildren()
{
    TestWindow window(false);
    window.show();
    QVERIFY(!window.body->acceptDrops());
    dropFilesOn(window.body);
    QVERIFY(window.droppedPaths().isEmpty());
}

QTEST_MAIN(TestBaseMainWindow)
#include "tst_BaseMainWindow.moc"
