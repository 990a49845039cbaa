#include "AnimationEffectData.h"

AnimationEffectData::AnimationEffectData(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<AnimationEffectData *>("AnimationEffectData*");
}

void AnimationEffectData::setEffect(AnimationEffect *effect, int role)
{
    animationEffect = effect;
    roleNumber = role;
}
