#include "ControlUI.h"

#include "GdiPainter.h"

namespace SkinUI {

bool CControlUI::DrawImage(HDC dc, ImageDescriptor &descriptor)
{
    return CGdiPainter::DrawImageDescriptor(dc, m_manager, m_itemRect, m_paintRect, descriptor);
}

} // namespace SkinUI
