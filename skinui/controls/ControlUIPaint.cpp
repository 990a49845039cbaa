#include "ControlUI.h"

// Painting of the control base in its fixed order of steps. This first version runs the
// steps without drawing anything of its own; subclasses fill the steps they need.

namespace SkinUI {

bool CControlUI::DoPaint(HDC dc, const RECT &, CControlUI *)
{
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStateImage(dc);
    PaintText(dc);
    PaintBorder(dc);
    return true;
}

void CControlUI::PaintBkColor(HDC) {}
void CControlUI::PaintBkImage(HDC) {}
void CControlUI::PaintStateImage(HDC) {}
void CControlUI::PaintText(HDC) {}
void CControlUI::PaintBorder(HDC) {}

} // namespace SkinUI
