#include "DimOverlay.h"
#include "DimOverlayHost.h"
#include "MessageBoxDialog.h"
#include "ModalDialog.h"
#include "ModalDriver.h"

#include <QtTest>

namespace {

// A window of the test's own that hosts the overlay, as the main window does.
class HostWindow : public QWidget, public DimOverlayHost
{
public:
    HostWindow()
    {
        resize(640, 480);
        overlay = new DimOverlay(this);
    }
    void showDimOverlay() override
    {
        log << QStringLiteral("show");
        overlay->showOverWindow();
    }
    void hideDimOverlay() override
    {
        log << QStringLiteral("hide");
        overlay->hideOverlay();
    }
    DimOverlay *overlay;
    QStringList log;
};

struct Observed
{
    bool overlayVisible = false;
    QRect overlayGeometry;
};

// Answers the box from inside its event loop, noting what the overlay of window looked like;
// the box runs over host (null: no main window).
int answerBox(MessageBoxDialog &box, HostWindow *host, HostWindow *window, const QString &button,
              Observed &seen)
{
    onNextModal([&seen, window, button](QWidget *modal) {
        seen.overlayVisible = window->overlay->isVisible();
        seen.overlayGeometry = window->overlay->geometry();
        pressButton(modal, button);
    });
    box.setMessage(QStringLiteral("确定退出软件吗？"),
                   QStringLiteral("如有任务在执行中，会自动取消"));
    return execModalDialog(&box, host);
}

} // namespace

class TestModalDialog : public QObject
{
    Q_OBJECT

private slots:
    void overlayWidget();
    void overlayAroundTheBox_data();
    void overlayAroundTheBox();
    void overlayFollowsTheWindowSize();
    void ownerWithoutOverlay();
    void withoutMainWindow();
};

void TestModalDialog::overlayWidget()
{
    HostWindow host;
    QCOMPARE(host.overlay->objectName(), QStringLiteral("dimOverlay"));
    QCOMPARE(host.overlay->styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 20%);"));
    QVERIFY(host.overlay->isHidden());
    host.show();
    QVERIFY(!host.overlay->isVisible());

    // Shown, it darkens what lies under it by a fifth.
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, Qt::white);
    host.setPalette(palette);
    host.overlay->showOverWindow();
    const QImage image = host.grab().toImage();
    QCOMPARE(QColor(image.pixel(4, 4)).red(), 255);
    QVERIFY(qAbs(QColor(image.pixel(320, 240)).red() - 204) <= 1);
}

void TestModalDialog::overlayAroundTheBox_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("confirmed") << "btn_ok" << 1;
    QTest::newRow("cancelled") << "btn_cancel" << 0;
    QTest::newRow("closed") << "btn_close" << 0;
}

void TestModalDialog::overlayAroundTheBox()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    HostWindow host;
    host.show();
    MessageBoxDialog box(&host);
    Observed seen;
    const int answer = answerBox(box, &host, &host, button, seen);
    // The confirmed action would run here: the overlay must already be gone.
    QVERIFY(!host.overlay->isVisible());
    QCOMPARE(answer, result);
    QVERIFY(seen.overlayVisible);
    QCOMPARE(seen.overlayGeometry, QRect(8, 8, 624, 464));
    QCOMPARE(host.log, QStringList({QStringLiteral("show"), QStringLiteral("hide")}));
}

void TestModalDialog::overlayFollowsTheWindowSize()
{
    HostWindow host;
    host.show();
    host.resize(1000, 700);
    host.showDimOverlay();
    QCOMPARE(host.overlay->geometry(), QRect(8, 8, 984, 684));
    host.hideDimOverlay();
    QVERIFY(!host.overlay->isVisible());
}

void TestModalDialog::ownerWithoutOverlay()
{
    QWidget owner;
    owner.resize(500, 400);
    owner.show();
    MessageBoxDialog box(&owner);
    pressInNextModal(QStringLiteral("btn_ok"));
    QCOMPARE(execModalDialog(&box, &owner), 1);
}

// Before the main window exists the box runs without overlay: a window that hosts one but
// is not the box's owner stays as it is.
void TestModalDialog::withoutMainWindow()
{
    HostWindow bystander;
    bystander.show();
    MessageBoxDialog box(nullptr);
    Observed seen;
    QCOMPARE(answerBox(box, nullptr, &bystander, QStringLiteral("btn_ok"), seen), 1);
    QVERIFY(!seen.overlayVisible);
    QVERIFY(bystander.log.isEmpty());
    QCOMPARE(execModalDialog(nullptr, nullptr), 0);
}

QTEST_MAIN(TestModalDialog)
#include "tst_ModalDialog.moc"
