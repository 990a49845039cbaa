#include "ShadowState.h"

namespace {

constexpr int kMaxOffset = 20;
constexpr unsigned kMaxDarkness = 255;
constexpr int kMaxRestrictedSize = 20;
constexpr int kMaxRestrictedSharpness = 20;

} // namespace

bool ShadowState::setSize(int size)
{
    if (ranges_ == Ranges::Restricted && (size < -kMaxRestrictedSize || size > kMaxRestrictedSize))
        return false;
    parameters_.size = int8_t(size & 0xFF);
    return true;
}

bool ShadowState::setSharpness(int sharpness)
{
    if (ranges_ == Ranges::Restricted && (sharpness < 0 || sharpness > kMaxRestrictedSharpness))
        return false;
    parameters_.sharpness = uint8_t(sharpness & 0xFF);
    return true;
}

bool ShadowState::setDarkness(unsigned darkness)
{
    if (darkness > kMaxDarkness)
        return false;
    parameters_.darkness = uint8_t(darkness);
    return true;
}

bool ShadowState::setPosition(int x, int y)
{
    if (x < -kMaxOffset || x > kMaxOffset || y < -kMaxOffset || y > kMaxOffset)
        return false;
    parameters_.xOffset = int8_t(x);
    parameters_.yOffset = int8_t(y);
    return true;
}

bool ShadowState::setColor(uint32_t colorRef)
{
    parameters_.color = colorRef;
    return true;
}

ShadowState::Reaction ShadowState::attached(bool parentVisible, bool parentMinimisedOrMaximised,
                                            unsigned width, unsigned height)
{
    // Measured now, so that the first size message compares against the real size.
    lastWidth_ = width;
    lastHeight_ = height;
    updatePending_ = false;
    Reaction reaction;
    if (!parentVisible) {
        status_ = Enabled;
    } else if (parentMinimisedOrMaximised) {
        status_ = Enabled | ParentShown;
    } else {
        status_ = Enabled | ShadowShown | ParentShown;
        reaction.render = reaction.show = true;
    }
    return reaction;
}

ShadowState::Reaction ShadowState::resized(bool minimisedOrMaximised, unsigned width,
                                           unsigned height)
{
    Reaction reaction;
    if (!enabled())
        return reaction;
    if (minimisedOrMaximised) {
        reaction.hide = true;
        status_ &= uint8_t(~ShadowShown);
    } else if (status_ & ParentShown) {
        // Growing waits for the paint that shows the new area; shrinking renders at once.
        if (width > lastWidth_ || height > lastHeight_)
            updatePending_ = true;
        else
            reaction.render = true;
        reaction.show = !shadowShown();
        status_ |= ShadowShown;
    }
    lastWidth_ = width;
    lastHeight_ = height;
    return reaction;
}

ShadowState::Reaction ShadowState::painted()
{
    Reaction reaction;
    reaction.render = updatePending_;
    updatePending_ = false;
    return reaction;
}

ShadowState::Reaction ShadowState::parentShown()
{
    Reaction reaction;
    if (!enabled() || (status_ & ParentShown))
        return reaction;
    reaction.render = showRender_ == ShowRender::AtOnceAndAtPaint;
    reaction.show = true;
    updatePending_ = true;
    status_ |= ShadowShown | ParentShown;
    return reaction;
}

ShadowState::Reaction ShadowState::parentHidden()
{
    Reaction reaction;
    if (!enabled())
        return reaction;
    reaction.hide = true;
    status_ &= uint8_t(~(ShadowShown | ParentShown));
    return reaction;
}

void ShadowState::detached()
{
    status_ = 0;
    updatePending_ = false;
}
