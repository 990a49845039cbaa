#pragma once

#include <QObject>

class AnimationEffect;

// What a row hangs on its progress widget under the dynamic property "RoleEffectData":
// the effect and its role number.
class AnimationEffectData : public QObject
{
    Q_OBJECT

public:
    explicit AnimationEffectData(QObject *parent);

    void setEffect(AnimationEffect *effect, int role);
    AnimationEffect *effect() const { return animationEffect; }
    int role() const { return roleNumber; }

private:
    AnimationEffect *animationEffect = nullptr;
    int roleNumber = 0;
};

Q_DECLARE_METATYPE(AnimationEffectData *)
