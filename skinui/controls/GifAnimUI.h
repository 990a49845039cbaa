#pragma once

#include "ControlUI.h"
#include "GdiplusSession.h"

struct IStream;
namespace Gdiplus {
class GpImage;
struct PropertyItem;
} // namespace Gdiplus

namespace SkinUI {

// An animated picture: the frames of a GIF decoded by GDI+, advanced on a window-manager
// timer with the delay that the image stores for each frame. The control loads its picture
// itself (skin folder, skin package or plain path) and paints nothing but the frame.
class CGifAnimUI : public CControlUI
{
public:
    static const wchar_t *const kClassName;
    static const UINT kFrameTimerId = 100;

    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void DoInit() override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
    void DoEvent(ControlEvent &event) override;
    void SetVisible(bool visible = true) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;

    void PlayGif();
    void StopGif();
    // Takes effect at the next paint, which loads the new picture.
    void SetBkImage(const wchar_t *name);
    const CWideString &GetBkImage() const { return m_imageName; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }
    bool IsAutoSize() const { return m_autoSize; }
    // Frees the picture; one that was loaded is loaded again at the next paint.
    void DeleteGif();

private:
    void InitGifImage();
    bool LoadGif();
    void DrawFrame(HDC dc);
    void OnTimer(UINT timerId);
    bool HasFrameDelays() const;
    UINT FrameInterval(UINT frame) const;

    // Declared first: GDI+ is up before the image exists and goes down after it.
    CGdiplusSession m_gdiplus;
    Gdiplus::GpImage *m_image;
    UINT m_frameCount;
    UINT m_currentFrame;
    Gdiplus::PropertyItem *m_frameDelays; // on the heap; its values are 32-bit delays
    CWideString m_imageName;
    bool m_autoPlay;
    bool m_autoSize;
    bool m_playing;
    // The picture of this name could not be loaded: it is not tried again until the name
    // changes.
    bool m_loadFailed;
    IStream *m_stream; // the image reads its frames from it while it lives
};

} // namespace SkinUI
