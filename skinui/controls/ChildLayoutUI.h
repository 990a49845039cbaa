#pragma once

#include "ContainerUI.h"

namespace SkinUI {

// A container that fills itself, when it is initialised, with the control tree that the
// dialog builder makes of another skin file, so that a skin can take in a separately
// described part.
class CChildLayoutUI : public CContainerUI
{
public:
    static const wchar_t *const kClassName;
    // Child layouts built inside one another's initialisation stop at this depth, so that a
    // skin whose child layout takes in the skin itself, directly or through others, ends.
    static constexpr int kMaxNestingDepth = 8;

    CChildLayoutUI();
    ~CChildLayoutUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void Init() override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;

    void SetChildLayoutXML(const wchar_t *source) { m_xmlFile = source; }
    const CWideString &GetChildLayoutXML() const { return m_xmlFile; }

private:
    CWideString m_xmlFile;
};

} // namespace SkinUI
