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

// Each new value is reached in 500 ms, starting from wherever the fill stands; the animation
// is driven by its clock rather than sampled after a wait.
void TestAnimationEffect::progressAnimatesFromWhereItStands()
{
    auto target = whiteTarget(200, 40);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    QPropertyAnimation *animation = effect->animation();
    QCOMPARE(animation->duration(), 500);

    effect->setProcessValue(500); // 10 %
    QCOMPARE(animation->state(), QAbstractAnimation::Running);
    animation->setCurrentTime(125);
    QCOMPARE(effect->processValue(), 125);
    effect->setProcessValue(1000); // 20 %: from where the first one stood
    QCOMPARE(animation->startValue().toInt(), 125);
    QCOMPARE(effect->processValue(), 125);
    animation->setCurrentTime(250);
    QCOMPARE(effect->processValue(), 125 + (1000 - 125) / 2);
    effect->setProcessValue(1500); // 30 %
    QCOMPARE(animation->startValue().toInt(), 125 + (1000 - 125) / 2);
    animation->setCurrentTime(500);
    QCOMPARE(effect->processValue(), 1500);
    QCOMPARE(animation->state(), QAbstractAnimation::Stopped);
    QCOMPARE(paintedImage(target.get()).pixel(59, 38), kBar);
    QCOMPARE(paintedImage(target.get()).pixel(60, 38), kWhite);
}

void TestAnimationEffect::progressZeroStopsAtOnce()
{
    auto target = whiteTarget(100, 30);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    effect->setProcessValue(5000);
    effect->animation()->setCurrentTime(100); // on its way
    QVERIFY(effect->processValue() > 0);
    effect->setProcessValue(0);
    QCOMPARE(effect->animation()->state(), QAbstractAnimation::Stopped);
    QCOMPARE(effect->processValue(), 0);
    QTest::qWait(60); // no step of the stopped animation comes after
    QCOMPARE(effect->processValue(), 0);
    QCOMPARE(paintedImage(target.get()).pixel(5, 28), kWhite);
}

// The rows' scale: 0 to 5000, a percentage times 50. The fill is the value's share of the
// maximum, whatever the maximum is.
void TestAnimationEffect::rowScalingOfPercentages()
{
    BackgroundProcessAnimationEffect defaults(nullptr);
    QCOMPARE(defaults.minimum(), 0);
    QCOMPARE(defaults.maximum(), 5000);

    auto target = whiteTarget(200, 40);
    auto *effect = new BackgroundProcessAnimationEffect(target.get());
    effect->install(target.get());
    effect->setMaximum(100);
    effect->setProperty("processValue", 25);
    const QImage image = paintedImage(target.get());
    QCOMPARE(image.pixel(49, 38), kBar);
    QCOMPARE(image.pixel(50, 38), kWhite);
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
    effect.animation()->setCurrentTime(250); // a step repaints nothing once the target is gone
    QCOMPARE(effect.processValue(), 1000);
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

    // A busy machine runs the 200 ms late: each check waits for the animation to end, a
    // minute at most.
    const auto animationEnds = [effect] {
        return QTest::qWaitFor(
            [effect] { return effect->animation()->state() == QAbstractAnimation::Stopped; },
            60000);
    };
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10)); // checks it
    QVERIFY(button.isChecked());
    QVERIFY(animationEnds());
    QCOMPARE(effect->lineLenght(), 60);

    button.setChecked(false);
    QCOMPARE(effect->animation()->direction(), QAbstractAnimation::Backward);
    QVERIFY(animationEnds());
    QCOMPARE(effect->lineLenght(), 0);

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
