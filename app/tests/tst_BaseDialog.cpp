#include "BaseDialog.h"
#include "CShadowWindow.h"
#include "WindowWaits.h"
#include "ShellTestSupport.h"

#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

class TitledDialog : public BaseDialog
{
public:
    TitledDialog(QWidget *parent, bool shadow, bool withTitle = true)
        : BaseDialog(parent, shadow), title(withTitle ? new QWidget(this) : nullptr)
    {
        auto *layout = new QVBoxLayout(this);
        if (title) {
            title->setFixedHeight(30);
            layout->addWidget(title);
        }
        layout->addStretch();
        resize(200, 100);
    }
    QWidget *title;

protected:
    QWidget *titleWidget() override { return title; }
};

} // namespace

class TestBaseDialog : public QObject
{
    Q_OBJECT

private slots:
    void framelessFlags();
    void centredOverParentOnFirstShowOnly();
    void withoutParentNotMoved();
    void dragByTitle_data();
    void dragByTitle();
    void withoutTitleNotDraggable();
    void shadowIsAttachedOnceAndRemoved();
};

void TestBaseDialog::framelessFlags()
{
    TitledDialog plain(nullptr, false);
    QVERIFY(plain.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(plain.windowType(), Qt::Dialog);
    QVERIFY(!plain.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(plain.shadow(), nullptr);

    TitledDialog shadowed(nullptr, true);
    QVERIFY(shadowed.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(shadowed.shadow());
}

void TestBaseDialog::centredOverParentOnFirstShowOnly()
{
    QWidget parent;
    parent.setGeometry(100, 80, 601, 401);
    parent.show();
    TitledDialog dialog(&parent, false);
    dialog.show();
    // (601 - 200) / 2 and (401 - 100) / 2 round toward zero.
    QCOMPARE(dialog.pos(), parent.mapToGlobal(QPoint(200, 150)));

    dialog.move(10, 20); // the user's place survives hiding and showing
    dialog.hide();
    dialog.show();
    QCOMPARE(dialog.pos(), QPoint(10, 20));
}

void TestBaseDialog::withoutParentNotMoved()
{
    TitledDialog dialog(nullptr, false);
    dialog.move(33, 44);
    dialog.show();
    QCOMPARE(dialog.pos(), QPoint(33, 44));
}

void TestBaseDialog::dragByTitle_data()
{
    QTest::addColumn<int>("pressButton");
    QTest::addColumn<int>("releaseBeforeMove");
    QTest::addColumn<int>("heldWhileMoving");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left drag") << int(Qt::LeftButton) << 0 << int(Qt::LeftButton) << true;
    QTest::newRow("left press, other button held")
        << int(Qt::LeftButton) << 0 << int(Qt::RightButton) << true;
    QTest::newRow("right press starts nothing")
        << int(Qt::RightButton) << 0 << int(Qt::RightButton) << false;
    QTest::newRow("no button held") << int(Qt::LeftButton) << 0 << int(Qt::NoButton) << false;
    QTest::newRow("any release ends the drag")
        << int(Qt::LeftButton) << int(Qt::RightButton) << int(Qt::LeftButton) << false;
}

void TestBaseDialog::dragByTitle()
{
    QFETCH(int, pressButton);
    QFETCH(int, releaseBeforeMove);
    QFETCH(int, heldWhileMoving);
    QFETCH(bool, moves);

    TitledDialog dialog(nullptr, false);
    dialog.move(100, 100);
    dialog.show();
    const QPoint start = dialog.pos();
    const QPoint grip = dialog.title->mapToGlobal(QPoint(20, 10));
    sendMouse(dialog.title, QEvent::MouseButtonPress, grip, Qt::MouseButton(pressButton),
              Qt::MouseButtons(pressButton));
    if (releaseBeforeMove)
        sendMouse(dialog.title, QEvent::MouseButtonRelease, grip,
                  Qt::MouseButton(releaseBeforeMove), Qt::NoButton);
    sendMouse(dialog.title, QEvent::MouseMove, grip + QPoint(37, 23), Qt::NoButton,
              Qt::MouseButtons(heldWhileMoving));
    QCOMPARE(dialog.pos(), moves ? start + QPoint(37, 23) : start);
}

void TestBaseDialog::withoutTitleNotDraggable()
{
    TitledDialog dialog(nullptr, false, false);
    dialog.move(50, 50);
    dialog.show();
    sendMouse(&dialog, QEvent::MouseButtonPress, QPoint(60, 60), Qt::LeftButton, Qt::LeftButton);
    sendMouse(&dialog, QEvent::MouseMove, QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(dialog.pos(), QPoint(50, 50));
}

void TestBaseDialog::shadowIsAttachedOnceAndRemoved()
{
    auto dialog = std::make_unique<TitledDialog>(nullptr, true);
    CShadowWindow *shadow = dialog->shadow();
    QVERIFY(shadow);
    QCOMPARE(CShadowWindow::shadowOf(dialog.get()), shadow);
    const ShadowParameters &p = shadow->parameters();
    QCOMPARE(p.color, uint32_t(0x5F5D5C));
    QCOMPARE(int(p.darkness), 100);
    QCOMPARE(int(p.size), 5);
    QCOMPARE(int(p.xOffset), 1);
    QCOMPARE(int(p.yOffset), 1);
    QCOMPARE(int(p.sharpness), 19);

    dialog->enableShadow(true);
    QCOMPARE(dialog->shadow(), shadow);
    QCOMPARE(CShadowWindow::registeredCount(), 1);

    dialog->show();
    QVERIFY(waitForExposed(dialog.get()));
    QTRY_VERIFY_WITH_TIMEOUT(shadow->shadowWidget() && shadow->shadowWidget()->isVisible(),
                             kWindowWaitMs);

    dialog->enableShadow(false);
    QCOMPARE(dialog->shadow(), nullptr);
    QCOMPARE(CShadowWindow::registeredCount(), 0);

    dialog->enableShadow(true); // a dialog built without shadow may take one later
    QVERIFY(dialog->shadow());
    dialog.reset();
    QCOMPARE(CShadowWindow::registeredCount(), 0);
}

QTEST_MAIN(TestBaseDialog)
#include "tst_BaseDialog.moc"
