#pragma once

// A window that lays a dim overlay over itself while a modal dialog runs over it.
// execModalDialog finds it through the dialog's owner.
class DimOverlayHost
{
public:
    virtual ~DimOverlayHost() = default;
    virtual void showDimOverlay() = 0;
    virtual void hideDimOverlay() = 0;
};
