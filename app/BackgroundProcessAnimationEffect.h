#pragma once

#include "AnimationEffect.h"

#include <QColor>

class QPropertyAnimation;

// The progress display of a row: a light fill from the left edge and a 4-px bar along the
// bottom, both as wide as the progress, reaching each new value in a 500 ms animation.
class BackgroundProcessAnimationEffect : public AnimationEffect
{
    Q_OBJECT
    Q_PROPERTY(int processValue READ processValue WRITE applyProcessValue)

public:
    explicit BackgroundProcessAnimationEffect(QObject *parent);

    int processValue() const { return value; }
    int maximum() const { return maximumValue; }
    int minimum() const { return minimumValue; }
    // Animates from wherever the value stands; a value <= 0 clears at once.
    void setProcessValue(int newValue);
    void setMaximum(int newMaximum) { maximumValue = newMaximum; }
    void setMinimum(int newMinimum) { minimumValue = newMinimum; }
    void setLineColor(const QColor &color) { lineColor = color; }
    QPropertyAnimation *animation() const { return valueAnimation; }

protected:
    bool paint() override;

private:
    void applyProcessValue(int newValue);

    int value = 0;
    int maximumValue = 5000;
    int minimumValue = 0;
    QColor lineColor{0, 123, 255};
    QColor fillColor{229, 242, 255};
    QPropertyAnimation *valueAnimation;
};
