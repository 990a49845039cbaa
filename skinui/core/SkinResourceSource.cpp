#include "SkinResourceSource.h"

namespace SkinUI {

const wchar_t *const SkinResourceSource::kMemoryPackageName = L"membuffer";

SkinResourceSource &SkinResourceSource::Process()
{
    static SkinResourceSource source;
    return source;
}

} // namespace SkinUI
