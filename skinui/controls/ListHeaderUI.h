#pragma once

#include "HorizontalLayoutUI.h"

namespace SkinUI {

// The column header of a list: a horizontal layout of column headers, as wide as they are
// together and as high as the highest (at least a line of the default font).
class CListHeaderUI : public CHorizontalLayoutUI
{
public:
    static const wchar_t *const kClassName;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    SIZE GetDesiredSize(SIZE available) override;
};

} // namespace SkinUI
