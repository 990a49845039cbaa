#include "ImageWordButton.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kNormal = QStringLiteral("#widget{background:#FFFFFF;}");
const QString kHover = QStringLiteral("#widget{background:#5FAFFD;}");
const QString kPressed = QStringLiteral("#widget{background:#2C7CCA;}");
const QString kSelected = QStringLiteral("#widget{background:#389BFD;}");

void styled(ImageWordButton &button)
{
    button.setText(QStringLiteral("添加文件"));
    button.setNormalStyle(kNormal);
    button.setHoverStyle(kHover);
    button.setPressedStyle(kPressed);
    button.setSelectedStyle(kSelected);
}

void sendPlain(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

void perform(ImageWordButton &button, const QString &step)
{
    if (step == QLatin1String("enter"))
        sendPlain(&button, QEvent::Enter);
    else if (step == QLatin1String("leave"))
        sendPlain(&button, QEvent::Leave);
    else if (step == QLatin1String("press"))
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    else if (step == QLatin1String("release"))
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    else if (step == QLatin1String("select"))
        button.setHoverEnabled(false);
    else if (step == QLatin1String("unselect"))
        button.setHoverEnabled(true);
}

} // namespace

class TestImageWordButton : public QObject
{
    Q_OBJECT

private slots:
    void builtTree();
    void looks_data();
    void looks();
    void clickRule_data();
    void clickRule();
    void unsetHoverStyleShowsEmptySheet();
};

void TestImageWordButton::builtTree()
{
    ImageWordButton button;
    QCOMPARE(button.objectName(), QStringLiteral("ImageWordButton"));
    QCOMPARE(button.size(), QSize(73, 32));
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(button.text(), QStringLiteral("清空"));
    auto *icon = button.findChild<QLabel *>(QStringLiteral("label_icon"));
    QVERIFY(icon);
    QCOMPARE(icon->minimumSize(), QSize(20, 20));
    QCOMPARE(icon->maximumSize(), QSize(20, 20));
    QVERIFY(button.findChild<QWidget *>(QStringLiteral("widget")));
    button.setText(QStringLiteral("全部转换"));
    QCOMPARE(button.findChild<QLabel *>(QStringLiteral("label_text"))->text(),
             QStringLiteral("全部转换"));
}

void TestImageWordButton::looks_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("look");

    QTest::newRow("at rest") << "" << kNormal;
    QTest::newRow("hover") << "enter" << kHover;
    QTest::newRow("pressed") << "enter press" << kPressed;
    QTest::newRow("pressed look stays after a click") << "enter press release" << kPressed;
    QTest::newRow("leave restores") << "enter press leave" << kNormal;
    QTest::newRow("selected") << "select" << kSelected;
    QTest::newRow("selected ignores the pointer")
        << "select enter press leave release" << kSelected;
    QTest::newRow("unselect while hovered") << "enter select unselect" << kNormal;
}

void TestImageWordButton::looks()
{
    QFETCH(QString, steps);
    QFETCH(QString, look);
    ImageWordButton button;
    styled(button);
    button.show();
    for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        perform(button, step);
    QCOMPARE(button.currentStyle(), look);
    QCOMPARE(button.styleSheet(), QString()); // never on the button itself
}

void TestImageWordButton::clickRule_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("frameVisible");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("clicks");

    QTest::newRow("left inside") << int(Qt::LeftButton) << QPoint(30, 16) << true << false << 1;
    QTest::newRow("right inside") << int(Qt::RightButton) << QPoint(30, 16) << true << false << 1;
    QTest::newRow("on the far edge") << int(Qt::LeftButton) << QPoint(73, 32) << true << false << 1;
    QTest::newRow("just outside") << int(Qt::LeftButton) << QPoint(74, 16) << true << false << 0;
    QTest::newRow("dragged out above")
        << int(Qt::LeftButton) << QPoint(30, -1) << true << false << 0;
    QTest::newRow("frame hidden") << int(Qt::LeftButton) << QPoint(30, 16) << false << false << 0;
    QTest::newRow("selected look still clicks")
        << int(Qt::LeftButton) << QPoint(30, 16) << true << true << 1;
}

void TestImageWordButton::clickRule()
{
    QFETCH(int, button);
    QFETCH(QPoint, release);
    QFETCH(bool, frameVisible);
    QFETCH(bool, selected);
    QFETCH(int, clicks);

    ImageWordButton widget;
    styled(widget);
    widget.resize(73, 32);
    widget.show();
    widget.setFrameVisible(frameVisible);
    if (selected)
        widget.setHoverEnabled(false);
    QSignalSpy spy(&widget, &ImageWordButton::ClickButtonSignal);
    QTest::mousePress(&widget, Qt::MouseButton(button), Qt::NoModifier, QPoint(30, 16));
    QTest::mouseRelease(&widget, Qt::MouseButton(button), Qt::NoModifier, release);
    QCOMPARE(spy.count(), clicks);
}

void TestImageWordButton::unsetHoverStyleShowsEmptySheet()
{
    ImageWordButton button;
    button.setNormalStyle(kNormal);
    sendPlain(&button, QEvent::Enter);
    QCOMPARE(button.currentStyle(), QString());
}

QTEST_MAIN(TestImageWordButton)
#include "tst_ImageWordButton.moc"
