#include "BackgroundProcessAnimationEffect.h"

#include <QPainter>
#include <QPropertyAnimation>
#include <QWidget>

namespace {

constexpr int kAnimationMs = 500;
constexpr int kBarWidth = 4;

} // namespace

BackgroundProcessAnimationEffect::BackgroundProcessAnimationEffect(QObject *parent)
    : AnimationEffect(parent),
      valueAnimation(new QPropertyAnimation(this, QByteArrayLiteral("processValue"), this))
{
    valueAnimation->setDuration(kAnimationMs);
}

void BackgroundProcessAnimationEffect::applyProcessValue(int newValue)
{
    value = newValue;
    if (target)
        target->update();
}

void BackgroundProcessAnimationEffect::setProcessValue(int newValue)
{
    if (valueAnimation->state() == QAbstractAnimation::Running)
        valueAnimation->stop();
    if (newValue <= 0) {
        applyProcessValue(0);
        return;
    }
    valueAnimation->setStartValue(value);
    valueAnimation->setEndValue(newValue);
    valueAnimation->start();
}

bool BackgroundProcessAnimationEffect::paint()
{
    if (!target)
        return false;
    if (value <= 0 || maximumValue == 0)
        return true;
    const int w = target->width();
    const int h = target->height();
    const int filled = int(double(value) / maximumValue * w + 0.5);

    QPainter painter(target);
    painter.setPen(QPen(lineColor, kBarWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawLine(0, h - 2, filled - 2, h - 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(fillColor, Qt::SolidPattern));
    if (filled > kBarWidth)
        painter.drawRect(0, 0, filled, h - kBarWidth);
    return true;
}
