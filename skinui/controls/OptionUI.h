#pragma once

#include "ButtonUI.h"

namespace SkinUI {

// A button with a selected state. Options that share a group name form a radio group
// through the window's option groups: selecting one deselects the others. An option without
// a group toggles on every click, which makes it a check box.
class COptionUI : public CButtonUI
{
public:
    static const wchar_t *const kClassName;

    COptionUI();
    ~COptionUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;

    // Within a group only the newly selected option notifies "selectchanged"; an option
    // without a group notifies both ways.
    virtual void SetSelected(bool selected, bool sendNotify = true);

    bool IsSelected() const { return m_selected; }
    const CWideString &GetGroup() const { return m_group; }
    void SetGroup(const wchar_t *group);

protected:
    void LeaveGroup();
    void JoinGroup();

    bool m_selected;
    CWideString m_group;
    DWORD m_selectedBkColor;
    DWORD m_selectedTextColor;
    ImageDescriptor m_selectedImage;
    ImageDescriptor m_selectedHotImage;
    ImageDescriptor m_optionForeImage;
};

} // namespace SkinUI
