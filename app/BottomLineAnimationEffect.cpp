#include "BottomLineAnimationEffect.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPropertyAnimation>

namespace {

constexpr int kAnimationMs = 200;

} // namespace

BottomLineAnimationEffect::BottomLineAnimationEffect(QObject *parent)
    : AnimationEffect(parent),
      lineAnimation(new QPropertyAnimation(this, QByteArrayLiteral("lineLenght"), this))
{
    lineAnimation->setDuration(kAnimationMs);
    lineAnimation->setStartValue(0);
    lineAnimation->setEasingCurve(QEasingCurve::InCubic);
}

void BottomLineAnimationEffect::applyLineLength(int length)
{
    lineLength = length;
    if (target)
        target->update();
}

void BottomLineAnimationEffect::attached()
{
    if (auto *button = qobject_cast<QAbstractButton *>(target)) {
        connect(button, &QAbstractButton::toggled, this, &BottomLineAnimationEffect::btnToggled);
        connected = true;
    }
}

bool BottomLineAnimationEffect::mousePressed(QPoint)
{
    if (!lineAnimation || !target)
        return false;
    lineAnimation->stop();
    lineAnimation->setEndValue(target->width() / 2);
    lineAnimation->setDirection(QAbstractAnimation::Forward);
    lineAnimation->start();
    return true;
}

void BottomLineAnimationEffect::btnToggled(bool bChecked)
{
    if (bChecked)
        return;
    if (!lineAnimation->endValue().isValid()) { // never grown: nothing to shrink
        applyLineLength(0);
        return;
    }
    lineAnimation->setDirection(QAbstractAnimation::Backward);
    lineAnimation->start();
}

void BottomLineAnimationEffect::showFullLine(bool)
{
    if (!target)
        return;
    lineAnimation->setEndValue(target->width() / 2);
    applyLineLength(target->width() / 2);
}

bool BottomLineAnimationEffect::paint()
{
    if (!target)
        return false;
    if (lineLength == 0)
        return true;
    const int w = target->width();
    const int h = target->height();
    QPainter painter(target);
    painter.setPen(QPen(lineColor, 1));
    painter.setBrush(QBrush(lineColor));
    painter.drawRect(w / 2 - lineLength, h - 2, 2 * lineLength, 1);
    return true;
}
