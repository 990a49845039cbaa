#include "BaseMainWindow.h"
#include "CShadowWindow.h"
#include "DimOverlay.h"
#include "DimOverlayHost.h"
#include "WindowWaits.h"
#include "MessageBoxDialog.h"
#include "ModalDialog.h"
#include "ModalDriver.h"
#include "ScreenReading.h"
#include "XvfbDisplay.h"

#include <QPushButton>
#include <QScreen>
#include <QDeadlineTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <string>

namespace {

std::string skipReason;

class ScreenMainWindow : public BaseMainWindow, public DimOverlayHost
{
public:
    ScreenMainWindow()
    {
        auto *central = new QWidget(this);
        auto *layout = new QVBoxLayout(central);
        title = new QWidget(central);
        title->setFixedHeight(40);
        layout->addWidget(title);
        layout->addStretch();
        setCentralWidget(central);
        resize(600, 400);
        overlay = new DimOverlay(this);
    }
    void showDimOverlay() override { overlay->showOverWindow(); }
    void hideDimOverlay() override { overlay->hideOverlay(); }
    QWidget *title;
    DimOverlay *overlay;

protected:
    QWidget *titleWidget() override { return title; }
    QWidget *dropAreaWidget() override { return nullptr; }
};

bool near(QRgb actual, QRgb expected, int tolerance)
{
    return qAbs(qRed(actual) - qRed(expected)) <= tolerance &&
           qAbs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           qAbs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

using namespace ScreenReading;

} // namespace

class TestShellScreenshot : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxOverMainWindow();
    void noShadowWithoutCompositor();
};

void TestShellScreenshot::messageBoxOverMainWindow()
{
    if (!skipReason.empty())
        QSKIP(skipReason.c_str());

    ScreenMainWindow window;
    window.show();
    QVERIFY(waitForExposed(&window));
    const QImage ownPaint =
        window.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);

    MessageBoxDialog box(&window);
    box.setMessage(QStringLiteral("确定退出软件吗？"),
                   QStringLiteral("如有任务在执行中，会自动取消"));
    QImage screen;
    bool settled = false;
    QPoint cancelCentre;
    QRect boxRect;
    onNextModal([&](QWidget *modal) {
        settled = waitForExposed(modal) && readSettledScreen(screen);
        if (auto *cancel = modal->findChild<QPushButton *>(QStringLiteral("btn_cancel"))) {
            cancelCentre = cancel->mapToGlobal(cancel->rect().center());
            boxRect = modal->frameGeometry();
        }
        pressButton(modal, QStringLiteral("btn_cancel"));
    });
    QCOMPARE(execModalDialog(&box, &window), int(QDialog::Rejected));
    QVERIFY2(settled, "the screen did not settle with the box shown");

    const QPoint origin = window.pos();
    const int middle = window.height() / 2;
    auto at = [&screen](const QPoint &global) { return screen.pixel(global); };

    // The dim overlay: the window's white body darkened by a fifth, outside the box.
    const QRgb dimmed = at(origin + QPoint(40, middle));
    QVERIFY2(near(dimmed, qRgb(204, 204, 204), 3), qPrintable(describe(dimmed)));
    // The box lies above the overlay: its white panel and its blue cancel button.
    QVERIFY(boxRect.contains(origin + QPoint(window.width() / 2, middle)));
    const QRgb panel = at(boxRect.topLeft() + QPoint(6, boxRect.height() - 6));
    QVERIFY2(near(panel, qRgb(255, 255, 255), 3), qPrintable(describe(panel)));
    const QRgb cancel = at(cancelCentre + QPoint(-25, 0));
    QVERIFY2(near(cancel, qRgb(56, 155, 253), 3), qPrintable(describe(cancel)));
    // The window's painted shadow, outside the overlay's 8-px inset, over the black root.
    for (int x : {1, 4, 7}) {
        const QRgb shadow = at(origin + QPoint(x, middle));
        const QRgb painted = ownPaint.pixel(x, middle);
        QVERIFY2(near(shadow, painted, 3),
                 qPrintable(describe(shadow) + " vs " + describe(painted)));
    }
    QVERIFY(qRed(at(origin + QPoint(7, middle))) > qRed(at(origin + QPoint(2, middle))));
    QVERIFY(qRed(at(origin + QPoint(7, middle))) >= 15);
    QVERIFY(near(at(origin - QPoint(20, 0) + QPoint(0, middle)), qRgb(0, 0, 0), 2));
}

// An X server without a compositing manager would show a translucent shadow window as a
// dark veil: no shadow is made, and a dialog asking for one simply has none.
void TestShellScreenshot::noShadowWithoutCompositor()
{
    if (!skipReason.empty())
        QSKIP(skipReason.c_str());
    QVERIFY(!registerShadowClass(nullptr));
    MessageBoxDialog box(nullptr);
    box.enableShadow(true);
    QVERIFY(box.shadow());
    QCOMPARE(box.shadow()->shadowWidget(), nullptr);
    QCOMPARE(int(box.shadow()->status()), 0);
    QCOMPARE(CShadowWindow::registeredCount(), 0);
}

int main(int argc, char **argv)
{
    // An X server of the test's own, with a black root window and no compositing manager.
    XvfbDisplay server;
    if (server.start(skipReason)) {
        qputenv("DISPLAY", QByteArray::fromStdString(server.display()));
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        TestShellScreenshot test;
        result = QTest::qExec(&test, argc, argv);
    }
    server.stop();
    return result;
}

#include "tst_ShellScreenshot.moc"
