#include "GifAnimUI.h"

#include "ImageDecoder.h"
#include "SkinFileReader.h"
#include "SkinResourceSource.h"
#include "ValueText.h"
#include "WindowManagerUI.h"

#include <objbase.h>

#include <gdiplus.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

namespace SkinUI {

using namespace Gdiplus::DllExports;

const wchar_t *const CGifAnimUI::kClassName = L"GifAnim";

namespace {

const PROPID kFrameDelayProperty = 0x5100;
// A frame whose delay is 0 stays this long (milliseconds).
const UINT kZeroDelayInterval = 100;
const UINT kLongestInterval = 0x7FFFFFFF;

// A stream over a copy of the bytes in a global block that the stream frees on release.
IStream *StreamOverCopy(const uint8_t *data, uint32_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr)
        return nullptr;
    memcpy(block, data, size);
    IStream *stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || stream == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

// The platform's decoders are not safe against damaged pictures: only a picture that our
// own decoder reads is handed to them.
bool ReadCheckedPicture(const CWideString &name, SkinFileBytes &bytes)
{
    return SkinFileReader::ReadSkinFileOrPath(SkinResourceSource::Process(), name.GetData(),
                                              bytes) &&
           ImageDecoder::Decodes(bytes.data.get(), bytes.size);
}

} // namespace

CGifAnimUI::CGifAnimUI()
    : m_image(nullptr), m_frameCount(0), m_currentFrame(0), m_frameDelays(nullptr),
      m_autoPlay(true), m_autoSize(false), m_playing(false), m_loadFailed(false), m_stream(nullptr)
{
}

CGifAnimUI::~CGifAnimUI()
{
    DeleteGif();
    if (m_manager)
        m_manager->KillTimer(this, kFrameTimerId);
}

const wchar_t *CGifAnimUI::GetClass() const
{
    return kClassName;
}

void *CGifAnimUI::GetInterface(const wchar_t *name)
{
    if (name && wcscmp(name, kClassName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

// The frame timer is the window's: an animation that goes to another window goes on there,
// on a timer of that window.
void CGifAnimUI::SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise)
{
    const bool replay = m_playing && IsMovingTo(manager);
    if (replay)
        m_playing = false;
    CControlUI::SetManager(manager, parent, initialise);
    if (replay)
        PlayGif();
}

void CGifAnimUI::DoInit()
{
    InitGifImage();
}

bool CGifAnimUI::DoPaint(HDC dc, const RECT &, CControlUI *)
{
    if (!m_image && !m_loadFailed)
        LoadGif();
    DrawFrame(dc);
    return true;
}

// The animation takes no input: nothing reaches the parent either.
void CGifAnimUI::DoEvent(ControlEvent &event)
{
    if (event.type == EventTimer)
        OnTimer(static_cast<UINT>(event.wParam));
}

void CGifAnimUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (visible)
        PlayGif();
    else
        StopGif();
}

void CGifAnimUI::SetAttribute(const wchar_t *name, const wchar_t *value)
{
    if (name == nullptr || value == nullptr)
        return;
    if (wcscmp(name, L"bkimage") == 0)
        SetBkImage(value);
    else if (wcscmp(name, L"autoplay") == 0)
        SetAutoPlay(ValueText::IsTrue(value));
    else if (wcscmp(name, L"autosize") == 0)
        SetAutoSize(ValueText::IsTrue(value));
    else
        CControlUI::SetAttribute(name, value);
}

// A picture without frame delays (a still image, or one whose delays could not be read) is
// shown but never animated: there is no interval to run a timer with.
void CGifAnimUI::PlayGif()
{
    if (m_playing || !m_image || !HasFrameDelays() || !m_manager)
        return;
    if (m_manager->SetTimer(this, kFrameTimerId, FrameInterval(m_currentFrame)))
        m_playing = true;
}

void CGifAnimUI::StopGif()
{
    if (!m_playing)
        return;
    if (m_manager)
        m_manager->KillTimer(this, kFrameTimerId);
    m_currentFrame = 0;
    Invalidate();
    m_playing = false;
}

void CGifAnimUI::SetBkImage(const wchar_t *name)
{
    if (name == nullptr || m_imageName == name)
        return;
    m_imageName = name;
    m_loadFailed = false;
    StopGif();
    DeleteGif();
    Invalidate();
}

void CGifAnimUI::InitGifImage()
{
    if (!LoadGif())
        return;
    if (m_autoSize) {
        UINT width = 0;
        UINT height = 0;
        GdipGetImageWidth(m_image, &width);
        GdipGetImageHeight(m_image, &height);
        SetFixedWidth(static_cast<int>(width));
        SetFixedHeight(static_cast<int>(height));
    }
    if (m_autoPlay)
        PlayGif();
}

bool CGifAnimUI::LoadGif()
{
    DeleteGif();
    if (m_loadFailed)
        return false;
    m_loadFailed = true;
    SkinFileBytes bytes;
    if (!m_gdiplus.IsStarted() || m_imageName.IsEmpty() || !ReadCheckedPicture(m_imageName, bytes))
        return false;
    IStream *stream = StreamOverCopy(bytes.data.get(), bytes.size);
    if (stream == nullptr)
        return false;
    Gdiplus::GpImage *image = nullptr;
    if (GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok || image == nullptr) {
        stream->Release();
        return false;
    }
    m_loadFailed = false;
    m_image = image;
    m_stream = stream;

    UINT dimensions = 0;
    if (GdipImageGetFrameDimensionsCount(image, &dimensions) == Gdiplus::Ok && dimensions > 0) {
        std::unique_ptr<GUID[]> ids(new (std::nothrow) GUID[dimensions]);
        if (ids && GdipImageGetFrameDimensionsList(image, ids.get(), dimensions) == Gdiplus::Ok &&
            GdipImageGetFrameCount(image, &ids[0], &m_frameCount) != Gdiplus::Ok)
            m_frameCount = 0;
    }

    UINT size = 0;
    if (GdipGetPropertyItemSize(image, kFrameDelayProperty, &size) == Gdiplus::Ok &&
        size >= sizeof(Gdiplus::PropertyItem)) {
        auto *delays = static_cast<Gdiplus::PropertyItem *>(malloc(size));
        if (delays && GdipGetPropertyItem(image, kFrameDelayProperty, size, delays) == Gdiplus::Ok)
            m_frameDelays = delays;
        else
            free(delays);
    }
    return true;
}

void CGifAnimUI::DeleteGif()
{
    if (m_image) {
        GdipDisposeImage(m_image);
        m_image = nullptr;
    }
    if (m_stream) {
        m_stream->Release();
        m_stream = nullptr;
    }
    free(m_frameDelays);
    m_frameDelays = nullptr;
    m_frameCount = 0;
    m_currentFrame = 0;
}

// The current frame is made the active one before drawing, so every paint shows the frame
// whose delay the timer is running.
void CGifAnimUI::DrawFrame(HDC dc)
{
    if (dc == nullptr || !m_image)
        return;
    Gdiplus::GpGraphics *graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok)
        return;
    if (m_currentFrame < m_frameCount)
        GdipImageSelectActiveFrame(m_image, &Gdiplus::FrameDimensionTime, m_currentFrame);
    GdipDrawImageRectI(graphics, m_image, m_itemRect.left, m_itemRect.top,
                       m_itemRect.right - m_itemRect.left, m_itemRect.bottom - m_itemRect.top);
    GdipDeleteGraphics(graphics);
}

void CGifAnimUI::OnTimer(UINT timerId)
{
    if (timerId != kFrameTimerId)
        return;
    if (m_manager)
        m_manager->KillTimer(this, kFrameTimerId);
    Invalidate();
    if (!HasFrameDelays()) {
        m_playing = false;
        return;
    }
    m_currentFrame = (m_currentFrame + 1) % m_frameCount;
    if (!m_manager || !m_manager->SetTimer(this, kFrameTimerId, FrameInterval(m_currentFrame)))
        m_playing = false;
}

bool CGifAnimUI::HasFrameDelays() const
{
    return m_frameCount > 0 && m_frameDelays != nullptr && m_frameDelays->value != nullptr &&
           m_frameDelays->length >= sizeof(LONG);
}

// Delays are stored in hundredths of a second, one 32-bit value per frame. A damaged picture
// may store fewer delays than frames; the missing ones count as 0.
UINT CGifAnimUI::FrameInterval(UINT frame) const
{
    if (!HasFrameDelays() || frame >= m_frameDelays->length / sizeof(LONG))
        return kZeroDelayInterval;
    LONG delay = 0;
    memcpy(&delay, static_cast<const BYTE *>(m_frameDelays->value) + frame * sizeof(LONG),
           sizeof(delay));
    if (delay <= 0)
        return kZeroDelayInterval;
    unsigned long long interval = static_cast<unsigned long long>(delay) * 10;
    return interval > kLongestInterval ? kLongestInterval : static_cast<UINT>(interval);
}

} // namespace SkinUI
