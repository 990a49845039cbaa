#include "CShadowWindow.h"
#include "WindowWaits.h"

#include <QImage>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

void configureAsDialog(CShadowWindow &shadow)
{
    shadow.setColor(0x5F5D5C);
    shadow.setDarkness(100);
    shadow.setSize(5);
    shadow.setPosition(1, 1);
    shadow.setSharpness(19);
}

std::unique_ptr<QWidget> frameless(const QRect &geometry)
{
    auto widget = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    widget->setGeometry(geometry);
    return widget;
}

QImage shadowImage(CShadowWindow &shadow)
{
    return shadow.shadowWidget()->grab().toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestCShadowWindowQt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void followsMovesAndResizes();
    void paintsTheComputedShadow();
    void sizeWithoutAreaKeepsTheLastShadow();
    void hiddenWithHiddenOrMinimisedParent();
    void parentDestroyedFirst();
    void shadowDeletedFirst();
    void oneShadowPerParent();
    void settersRefuseOutOfRange();
};

void TestCShadowWindowQt::initTestCase()
{
    QVERIFY(registerShadowClass(nullptr));
    QVERIFY(!registerShadowClass(nullptr));
}

void TestCShadowWindowQt::followsMovesAndResizes()
{
    auto parent = frameless(QRect(100, 100, 200, 120));
    parent->show();
    QVERIFY(waitForExposed(parent.get()));
    CShadowWindow shadow;
    shadow.attach(parent.get());
    configureAsDialog(shadow);
    QWidget *surface = shadow.shadowWidget();
    QVERIFY(surface);
    QCOMPARE(shadow.status(), uint8_t(7));
    QVERIFY(surface->isVisible());
    QVERIFY(surface->windowFlags() & Qt::WindowTransparentForInput);
    QVERIFY(surface->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(surface->geometry(), QRect(96, 96, 210, 130));

    parent->move(300, 40);
    QTRY_COMPARE(surface->geometry(), QRect(296, 36, 210, 130));

    parent->resize(150, 100);
    QTRY_COMPARE(surface->geometry(), QRect(296, 36, 160, 110));

    parent->resize(260, 180);
    QTRY_COMPARE(surface->geometry(), QRect(296, 36, 270, 190));
}

void TestCShadowWindowQt::paintsTheComputedShadow()
{
    auto parent = frameless(QRect(50, 50, 100, 60));
    parent->show();
    QVERIFY(waitForExposed(parent.get()));
    CShadowWindow shadow;
    shadow.attach(parent.get());
    configureAsDialog(shadow);
    const QImage image = shadowImage(shadow);
    QCOMPARE(image.size(), QSize(110, 70));
    QCOMPARE(qAlpha(image.pixel(0, 35)), 5);
    QCOMPARE(qAlpha(image.pixel(3, 35)), 19);
    QCOMPARE(qAlpha(image.pixel(50, 35)), 0);
    QCOMPARE(qAlpha(image.pixel(104, 35)), 30);
}

// A size that eats the whole parent leaves no bitmap to draw: the last shadow stays.
void TestCShadowWindowQt::sizeWithoutAreaKeepsTheLastShadow()
{
    auto parent = frameless(QRect(50, 50, 30, 30));
    parent->show();
    QVERIFY(waitForExposed(parent.get()));
    CShadowWindow shadow;
    shadow.attach(parent.get());
    configureAsDialog(shadow);
    QCOMPARE(shadow.shadowWidget()->geometry(), QRect(46, 46, 40, 40));
    QVERIFY(shadow.setSize(-15));
    QVERIFY(shadow.setSize(-20));
    QCOMPARE(shadow.parameters().size, int8_t(-20));
    QCOMPARE(shadow.shadowWidget()->geometry(), QRect(46, 46, 40, 40));
    QCOMPARE(shadowImage(shadow).size(), QSize(40, 40));
}

void TestCShadowWindowQt::hiddenWithHiddenOrMinimisedParent()
{
    auto parent = frameless(QRect(100, 100, 200, 120));
    CShadowWindow shadow;
    shadow.attach(parent.get());
    QCOMPARE(shadow.status(), uint8_t(ShadowState::Enabled));
    QVERIFY(!shadow.shadowWidget()->isVisible());

    parent->show();
    QTRY_VERIFY(shadow.shadowWidget()->isVisible());
    QCOMPARE(shadow.status(), uint8_t(7));

    parent->showMinimized();
    QTRY_VERIFY(!shadow.shadowWidget()->isVisible());
    QVERIFY(!(shadow.status() & ShadowState::ShadowShown));

    parent->showNormal();
    QTRY_VERIFY(shadow.shadowWidget()->isVisible());

    parent->showMaximized();
    QTRY_VERIFY(!shadow.shadowWidget()->isVisible());
    parent->showNormal();
    QTRY_VERIFY(shadow.shadowWidget()->isVisible());

    parent->hide();
    QVERIFY(!shadow.shadowWidget()->isVisible());
    QCOMPARE(shadow.status(), uint8_t(ShadowState::Enabled));
}

void TestCShadowWindowQt::parentDestroyedFirst()
{
    auto parent = frameless(QRect(10, 10, 80, 80));
    parent->show();
    auto shadow = std::make_unique<CShadowWindow>();
    shadow->attach(parent.get());
    QCOMPARE(CShadowWindow::shadowOf(parent.get()), shadow.get());
    parent.reset();
    QCOMPARE(CShadowWindow::registeredCount(), 0);
    QCOMPARE(shadow->shadowWidget(), nullptr);
    shadow->setSize(3); // no window to render into: harmless
    shadow.reset();
}

void TestCShadowWindowQt::shadowDeletedFirst()
{
    auto parent = frameless(QRect(10, 10, 80, 80));
    parent->show();
    QVERIFY(waitForExposed(parent.get()));
    auto shadow = std::make_unique<CShadowWindow>();
    shadow->attach(parent.get());
    QPointer<QWidget> surface = shadow->shadowWidget();
    shadow.reset();
    QVERIFY(surface.isNull());
    QCOMPARE(CShadowWindow::registeredCount(), 0);
    // Events of the parent must not reach the deleted object.
    parent->move(40, 40);
    parent->resize(120, 90);
    parent->hide();
    parent->show();
    QTest::qWait(20);

    CShadowWindow again;
    again.attach(parent.get());
    QCOMPARE(CShadowWindow::shadowOf(parent.get()), &again);
}

void TestCShadowWindowQt::oneShadowPerParent()
{
    auto parent = frameless(QRect(10, 10, 80, 80));
    parent->show();
    CShadowWindow first, second;
    first.attach(parent.get());
    second.attach(parent.get());
    first.attach(parent.get());
    QCOMPARE(CShadowWindow::registeredCount(), 1);
    QCOMPARE(second.shadowWidget(), nullptr);
    QCOMPARE(second.status(), uint8_t(0));
}

void TestCShadowWindowQt::settersRefuseOutOfRange()
{
    CShadowWindow shadow;
    QVERIFY(!shadow.setDarkness(256));
    QVERIFY(!shadow.setPosition(21, 0));
    QVERIFY(!shadow.setPosition(0, -21));
    QCOMPARE(shadow.parameters().darkness, uint8_t(150));
    QCOMPARE(shadow.parameters().xOffset, int8_t(5));
    QVERIFY(shadow.setPosition(-20, 20));
    QCOMPARE(shadow.parameters().xOffset, int8_t(-20));
    QCOMPARE(shadow.parameters().yOffset, int8_t(20));
    // Quorvane takes any byte for size and sharpness: the low byte is kept.
    QVERIFY(shadow.setSize(0x1FE));
    QCOMPARE(shadow.parameters().size, int8_t(-2));
    QVERIFY(shadow.setSharpness(300));
    QCOMPARE(shadow.parameters().sharpness, uint8_t(44));
}

QTEST_MAIN(TestCShadowWindowQt)
#include "tst_CShadowWindowQt.moc"
