#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

// An effect attaches itself to someone else's widget as an event filter and paints on it
// from inside that widget's paint event, so that a widget gets an animated decoration
// without being subclassed. Events are never consumed.
class AnimationEffect : public QObject
{
    Q_OBJECT

public:
    explicit AnimationEffect(QObject *parent);

    // There is no way to detach: the effect lives as long as its parent.
    bool install(QWidget *target);
    QWidget *targetWidget() const { return target; }

protected:
    bool eventFilter(QObject *obj, QEvent *event) override;

    virtual bool mousePressed(QPoint position);
    virtual bool mouseReleased(QPoint position);
    virtual bool mouseMoved(QPoint position);
    virtual bool entered();
    virtual bool left();
    virtual bool shown();
    virtual bool paint();
    virtual void attached();

    // Guarded: an effect whose parent is not its target may outlive the target.
    QPointer<QWidget> target;
    QPointer<QObject> watched;
};
