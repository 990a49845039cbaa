#include "GdiplusSession.h"

#include <gdiplus.h>

namespace SkinUI {

CGdiplusSession::CGdiplusSession() : m_token(0), m_started(false)
{
    Gdiplus::GdiplusStartupInput input;
    m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
}

CGdiplusSession::~CGdiplusSession()
{
    if (m_started)
        Gdiplus::GdiplusShutdown(m_token);
}

} // namespace SkinUI
