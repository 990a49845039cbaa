#pragma once

#include "LinearLayoutUI.h"

namespace SkinUI {

// The horizontal layout lines its visible children up from left to right; "sepwidth" gives its
// separator band at the right (positive) or left (negative) edge.
class CHorizontalLayoutUI : public CLinearLayoutUI
{
public:
    static const wchar_t *const kClassName;

    CHorizontalLayoutUI();

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
};

} // namespace SkinUI
