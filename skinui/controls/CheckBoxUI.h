#pragma once

#include "OptionUI.h"

namespace SkinUI {

// An option under the class name "CheckBox": without a group it toggles on every click.
class CCheckBoxUI : public COptionUI
{
public:
    static const wchar_t *const kClassName;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
};

} // namespace SkinUI
