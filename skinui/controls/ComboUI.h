#pragma once

#include "ContainerUI.h"
#include "ListInterfaces.h"

namespace SkinUI {

class CComboWnd;

// A drop-down selector: its face shows the selected item; pressing it opens a pop-up
// window with its own window manager that takes over the items while it is open
// ("dropdown"). The combo box is the items' owner ("itemselect"); the items are never laid
// out or painted in the face.
class CComboUI : public CContainerUI, public IListOwnerUI
{
public:
    static const wchar_t *const kClassName;

    CComboUI();
    ~CComboUI() override;

    const wchar_t *GetClass() const override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    bool Activate() override;
    const CWideString &GetText() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(ControlEvent &event) override;
    void SetAttribute(const wchar_t *name, const wchar_t *value) override;
    SIZE GetDesiredSize(SIZE available) override;
    bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;

    // ---- IContainerUI: the items, numbered, with the selection kept on its item ----
    bool SetItemIndex(CControlUI *control, int index) override;
    bool MoveItemRange(CControlUI *first, int count, int newIndex) override;
    bool Add(CControlUI *control) override;
    bool AddAt(CControlUI *control, int index) override;
    bool Remove(CControlUI *control, bool doNotDelete = false) override;
    bool RemoveAt(int index, bool doNotDelete = false) override;
    void RemoveAll() override;

    // ---- IListOwnerUI ----
    ListItemStyle *GetItemStyle() override { return &m_style; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
    bool ExpandItem(int, bool = true) override { return false; }
    int GetExpandedItem() const override { return -1; }

    // The open pop-up, null while closed.
    CComboWnd *GetDropDown() const { return m_window; }
    // Called by the pop-up as it ends.
    void DropDownEnded();
    const CWideString &GetDropBoxAttributeList() const { return m_dropBox; }
    SIZE GetDropBoxSize() const { return m_dropBoxSize; }
    bool IsShowText() const { return m_showText; }
    UINT GetButtonState() const { return m_buttonState; }

private:
    IListItemUI *ItemAt(int index) const;
    void HandleKey(wchar_t key);
    // Keyboard and wheel selections move through the items without closing the pop-up.
    void SelectKeepingOpen(int index);
    void LoadStyleImages();
    void LendItemsAgain(const CControlUI *leaving = nullptr);

    CComboWnd *m_window;
    int m_curSel;
    bool m_showText;
    bool m_closeOnSelect;
    RECT m_textPadding;
    CWideString m_dropBox;
    SIZE m_dropBoxSize;
    UINT m_buttonState;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_pushedImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_disabledImage;
    ListItemStyle m_style;
};

} // namespace SkinUI
