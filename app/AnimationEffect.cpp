#include "AnimationEffect.h"

#include <QMouseEvent>
#include <QWidget>

AnimationEffect::AnimationEffect(QObject *parent) : QObject(parent) {}

bool AnimationEffect::install(QWidget *targetWidget)
{
    target = targetWidget;
    watched = targetWidget;
    if (targetWidget)
        targetWidget->installEventFilter(this);
    attached();
    return true;
}

bool AnimationEffect::eventFilter(QObject *obj, QEvent *event)
{
    const bool result = QObject::eventFilter(obj, event);
    if (!watched || obj != watched)
        return result;
    auto positionOf = [event] { return static_cast<QMouseEvent *>(event)->localPos().toPoint(); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            mousePressed(positionOf());
        break;
    case QEvent::MouseButtonRelease:
        mouseReleased(positionOf());
        break;
    case QEvent::MouseMove:
        mouseMoved(positionOf());
        break;
    case QEvent::Enter:
        entered();
        break;
    case QEvent::Leave:
        left();
        break;
    case QEvent::Paint:
        paint();
        break;
    case QEvent::Show:
        shown();
        break;
    default:
        break;
    }
    return result;
}

bool AnimationEffect::mousePressed(QPoint)
{
    return false;
}
bool AnimationEffect::mouseReleased(QPoint)
{
    return false;
}
bool AnimationEffect::mouseMoved(QPoint)
{
    return false;
}
bool AnimationEffect::entered()
{
    return false;
}
bool AnimationEffect::left()
{
    return false;
}
bool AnimationEffect::shown()
{
    return false;
}
bool AnimationEffect::paint()
{
    return false;
}
void AnimationEffect::attached() {}
