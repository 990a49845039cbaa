#include "RectText.h"

namespace SkinUI {
namespace Testing {

std::string RectText(const RECT &rect)
{
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
}

} // namespace Testing
} // namespace SkinUI
