#pragma once

#include "AnimationEffect.h"

#include <QColor>

class QPropertyAnimation;

// An underline for a checkable button: grows from the centre on a press, shrinks back
// when the button is unchecked.
class BottomLineAnimationEffect : public AnimationEffect
{
    Q_OBJECT
    Q_PROPERTY(int lineLenght READ lineLenght WRITE applyLineLength)

public:
    explicit BottomLineAnimationEffect(QObject *parent);

    int lineLenght() const { return lineLength; }
    void setLineColor(const QColor &color) { lineColor = color; }
    void showFullLine(bool);
    bool isConnected() const { return connected; }
    QPropertyAnimation *animation() const { return lineAnimation; }

public slots:
    void btnToggled(bool bChecked);

protected:
    bool mousePressed(QPoint position) override;
    bool paint() override;
    void attached() override;

private:
    void applyLineLength(int length);

    int lineLength = 0;
    QPropertyAnimation *lineAnimation;
    QColor lineColor{0, 123, 255};
    bool connected = false;
};
