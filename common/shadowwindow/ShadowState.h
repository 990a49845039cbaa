#pragma once

#include "ShadowParameters.h"

#include <cstdint>

// How a shadow answers its parent, apart from any window system: the status bits, the
// parameters with their range checks, the parent's last size and the deferred render.
// Each answer tells the window layer what to do, in this order: hide, render, show.
class ShadowState
{
public:
    enum StatusBit : uint8_t
    {
        Enabled = 1,
        ShadowShown = 2,
        ParentShown = 4
    };

    // Quorvane takes any byte for the size and the sharpness; uninst's skins are held to
    // the ranges its skin attributes document.
    enum class Ranges
    {
        AnyByte,
        Restricted
    };

    // When a parent that was hidden becomes visible: render at once as well as at the
    // next paint, or only at the next paint.
    enum class ShowRender
    {
        AtOnceAndAtPaint,
        AtPaint
    };

    struct Reaction
    {
        bool hide = false;
        bool render = false;
        bool show = false;
    };

    ShadowState(Ranges ranges, ShowRender showRender) : ranges_(ranges), showRender_(showRender) {}

    // False, and nothing stored, when the value is refused.
    bool setSize(int size);
    bool setSharpness(int sharpness);
    bool setDarkness(unsigned darkness);
    bool setPosition(int x, int y);
    bool setColor(uint32_t colorRef);

    Reaction attached(bool parentVisible, bool parentMinimisedOrMaximised, unsigned width,
                      unsigned height);
    Reaction resized(bool minimisedOrMaximised, unsigned width, unsigned height);
    Reaction painted();
    Reaction parentShown();
    Reaction parentHidden();
    // The parent is gone: nothing is shown or rendered any more.
    void detached();

    uint8_t status() const { return status_; }
    bool enabled() const { return status_ & Enabled; }
    bool shadowShown() const { return status_ & ShadowShown; }
    bool updatePending() const { return updatePending_; }
    const ShadowParameters &parameters() const { return parameters_; }
    // Where the shadow's top-left corner lies against the parent's.
    int originDx() const { return parameters_.xOffset - parameters_.size; }
    int originDy() const { return parameters_.yOffset - parameters_.size; }

private:
    Ranges ranges_;
    ShowRender showRender_;
    uint8_t status_ = 0;
    ShadowParameters parameters_;
    unsigned lastWidth_ = 0;
    unsigned lastHeight_ = 0;
    bool updatePending_ = false;
};
