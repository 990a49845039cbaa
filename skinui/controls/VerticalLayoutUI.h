#pragma once

#include "LinearLayoutUI.h"

namespace SkinUI {

// The vertical layout stacks its visible children from top to bottom; "sepheight" gives its
// separator band at the bottom (positive) or top (negative) edge.
class CVerticalLayoutUI : public CLinearLayoutUI
{
public:
    static const wchar_t *const kClassName;

    CVerticalLayoutUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
};

} // namespace SkinUI
