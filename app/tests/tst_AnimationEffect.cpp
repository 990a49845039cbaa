#include "AnimationEffectData.h"
#include "BackgroundProcessAnimationEffect.h"
#include "BottomLineAnimationEffect.h"
#include "ShadowWindow.h"

#include <QPropertyAnimation>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBar = qRgb(0, 123, 255);
const QRgb kFill = qRgb(229, 242, 255);

std::unique_ptr<QWidget> whiteTarget(int width, int height)
{
    auto widget = std::make_unique<QWidget>();
    widget->resize(width, height);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    return widget;
}

QImage paintedImage(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestAnimationEffect : public QObject
{
    Q_OBJECT

private slots:
    void progressPainting_data();
    void progressPainting();
    void progressAnimatesFromWhereItStands();
    void progressZeroStopsAtOnce();
    void rowScalingOfPercentages();
    void installWithoutTarget();
    void effectOutlivesItsTarget();
    void bottomLineFollowsPressAndToggle();
    void effectDataTravelsInAProperty();
    void shadowFrame();
};

void TestAnimationEffect::progressPainting_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("filled"); // columns covered from the left

    QTest::newRow("nothing at 0") << 0 << 0;
    QTest::newRow("nothing below 0") << -50 << 0;
    QTest::newRow("bar only, 2 px") << 50 << 2;
    QTest::newRow("bar only, 4 px") << 100 << 4;
    QTest::newRow("half") << 2500 << 100;
    QTest::newRow("rounded to nearest") << 1013 << 41; // 40.52
    QTest::newRow("full") << 5000 << 200;
    QTest::newRow("beyond the maximum is clipped") << 6000 << 200;
}

void TestAnimationEffect::progressPainting()
{
    QFETCH(int, value);
    QFETCH(int, filled);
    auto target = whiteTarget(200, 40);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    effect->setProperty("processValue", value);
    QCOMPARE(effect->processValue(), value);

    const QImage image = paintedImage(target.get());
    for (int x : {0, filled / 2, filled - 1, filled, 199}) {
        if (x < 0 || x >= 200)
            continue;
        const bool covered = x < filled;
        QCOMPARE(image.pixel(x, 38), covered ? kBar : kWhite);
        QCOMPARE(image.pixel(x, 36), covered ? kBar : kWhite);
        const bool fillDrawn = covered && filled > 4;
        QCOMPARE(image.pixel(x, 10), fillDrawn ? kFill : kWhite);
        QCOMPARE(image.pixel(x, 35), fillDrawn ? kFill : kWhite);
    }
}

void TestAnimationEffect::progressAnimatesFromWhereItStands()
{
    auto target = whiteTarget(200, 40);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    QCOMPARE(effect->animation()->duration(), 500);

    effect->setProcessValue(500); // 10 %
    QTest::qWait(120);
    const int reached = effect->processValue();
    QVERIFY(reached > 0 && reached < 500);
    effect->setProcessValue(1000); // 20 %: starts where the first one stood
    QCOMPARE(effect->animation()->startValue().toInt(), reached);
    QVERIFY(effect->processValue() >= reached);
    effect->setProcessValue(1500); // 30 %
    QVERIFY(effect->animation()->startValue().toInt() >= reached);
    QTRY_COMPARE_WITH_TIMEOUT(effect->processValue(), 1500, 2000);
    QCOMPARE(effect->animation()->state(), QAbstractAnimation::Stopped);
    QCOMPARE(paintedImage(target.get()).pixel(59, 38), kBar);
    QCOMPARE(paintedImage(target.get()).pixel(60, 38), kWhite);
}

void TestAnimationEffect::progressZeroStopsAtOnce()
{
    auto target = whiteTarget(100, 30);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    effect->setProcessValue(5000);
    QTest::qWait(50);
    effect->setProcessValue(0);
    QCOMPARE(effect->animation()->state(), QAbstractAnimation::Stopped);
    QCOMPARE(effect->processValue(), 0);
    QTest::qWait(60);
    QCOMPARE(effect->processValue(), 0);
    QCOMPARE(paintedImage(target.get()).pixel(5, 28), kWhite);
}

void TestAnimationEffect::rowScalingOfPercentages()
{
    BackgroundProcessAnimationEffect effect(nullptr);
    QCOMPARE(effect.maximum(), 5000);
    QCOMPARE(effect.minimum(), 0);
    const int range = effect.maximum() - effect.minimum();
    QCOMPARE(int(1.0 * range / 100), 50);
    QCOMPARE(int(100.0 * range / 100), 5000);
}

void TestAnimationEffect::installWithoutTarget()
{
    BottomLineAnimationEffect line(nullptr);
    QVERIFY(line.install(nullptr));
    QVERIFY(!line.isConnected());
    BackgroundProcessAnimationEffect progress(nullptr);
    QVERIFY(progress.install(nullptr));
    progress.setProcessValue(0); // no target to repaint: harmless
}

void TestAnimationEffect::effectOutlivesItsTarget()
{
    BackgroundProcessAnimationEffect effect(nullptr);
    auto target = whiteTarget(100, 30);
    effect.install(target.get());
    effect.setProcessValue(2000);
    target.reset();
    QTest::qWait(60); // animation steps repaint nothing once the target is gone
    effect.setProcessValue(0);
    QCOMPARE(effect.processValue(), 0);
}

void TestAnimationEffect::bottomLineFollowsPressAndToggle()
{
    QPushButton button;
    button.setCheckable(true);
    button.resize(120, 30);
    auto *effect = new BottomLineAnimationEffect(&button);
    effect->install(&button);
    QVERIFY(effect->isConnected());
    QCOMPARE(effect->animation()->duration(), 200);
    QCOMPARE(effect->animation()->easingCurve().type(), QEasingCurve::InCubic);

    QTest::mousePress(&button, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(effect->animation()->state(), QAbstractAnimation::Stopped);
    QTest::mouseRelease(&button, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));

    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10)); // checks it
    QVERIFY(button.isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(effect->lineLenght(), 60, 2000);

    button.setChecked(false);
    QCOMPARE(effect->animation()->direction(), QAbstractAnimation::Backward);
    QTRY_COMPARE_WITH_TIMEOUT(effect->lineLenght(), 0, 2000);

    effect->showFullLine(false);
    QCOMPARE(effect->lineLenght(), 60);
}

void TestAnimationEffect::effectDataTravelsInAProperty()
{
    auto target = whiteTarget(50, 20);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    AnimationEffectData data(nullptr);
    data.setEffect(effect, 2);
    QVERIFY(QMetaType::type("AnimationEffectData*") != QMetaType::UnknownType);
    target->setProperty("RoleEffectData", QVariant::fromValue(&data));
    auto *back = target->property("RoleEffectData").value<AnimationEffectData *>();
    QCOMPARE(back, &data);
    QCOMPARE(back->effect(), effect);
    QCOMPARE(back->role(), 2);
}

void TestAnimationEffect::shadowFrame()
{
    ShadowWindow frame;
    QCOMPARE(frame.objectName(), QStringLiteral("ShadowWindow"));
    QCOMPARE(frame.size(), QSize(996, 770));
    QCOMPARE(frame.windowTitle(), QStringLiteral("Frame"));
    QCOMPARE(frame.frameShape(), QFrame::StyledPanel);
    QCOMPARE(frame.frameShadow(), QFrame::Raised);
    frame.setDarkStyle();
    QCOMPARE(frame.styleSheet(), QStringLiteral("background: rgba(0,0,0,0.64);"));
}

QTEST_MAIN(TestAnimationEffect)
#include "tst_AnimationEffect.moc"
