#pragma once

#include "ControlEvent.h"
#include "Delegate.h"
#include "ImageDescriptor.h"
#include "StringKeyedMap.h"
#include "WideString.h"

#include <windows.h>

namespace SkinUI {

class CWindowManagerUI;
class CControlUI;

// Visitor of CControlUI::FindControl: a non-null answer ends the search with it.
typedef CControlUI *(*FindControlProc)(CControlUI *control, void *data);

// Flag bits of CControlUI::FindControl.
enum FindControlFlags : UINT
{
    FindVisibleOnly = 0x00000001,
    FindEnabledOnly = 0x00000002,
    FindHitTest = 0x00000004, // data points at a POINT
    FindPrune = 0x00000008,   // a non-null visitor answer skips the control and its subtree
    FindTopFirst = 0x00000010,
    FindSelfFirst = 0x80000000,
};

// Bits of CControlUI::GetBehaviorFlags.
enum ControlBehaviorFlags : UINT
{
    BehaviorTabStop = 0x01,
    BehaviorSetCursor = 0x02, // the control sets its own cursor
    BehaviorListItem = 0x04,
};

// Fractions of the parent's width and height added to a floating control's position.
struct FloatRatios
{
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

// The root class of every element of a SkinUI window: a rectangle in the client area that
// belongs to one window manager, sits in a tree under a parent, is laid out, painted,
// hit-tested and given input events by the manager, and sends notifications through it.
// Subclasses keep the order of the virtual operations and append their own after them.
class CControlUI
{
public:
    static const wchar_t *const kClassName;

    CControlUI();
    CControlUI(const CControlUI &) = delete;
    CControlUI &operator=(const CControlUI &) = delete;

    // ---- Identity and tree ----
    virtual void Delete();
    virtual ~CControlUI();
    virtual const CWideString &GetName() const;
    virtual void SetName(const wchar_t *name);
    virtual const wchar_t *GetClass() const;
    virtual void *GetInterface(const wchar_t *name);
    virtual UINT GetBehaviorFlags() const;
    virtual HWND GetNativeWindow() const;
    virtual bool Activate();
    virtual CWindowManagerUI *GetManager() const;
    virtual void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true);
    virtual CControlUI *GetParent() const;
    virtual CControlUI *GetCover() const;
    virtual void SetCover(CControlUI *cover);
    virtual const CWideString &GetText() const;
    virtual void SetText(const wchar_t *text);

    // ---- Geometry ----
    virtual const RECT &GetPos() const;
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual void SetPos(RECT rect, bool invalidate = true);
    virtual void Move(int dx, int dy, bool invalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual POINT GetFloatOffset() const;
    virtual void SetFloatOffset(POINT offset);
    virtual FloatRatios GetFloatRatios() const;
    virtual void SetFloatRatios(FloatRatios ratios);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int height);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int width);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int height);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int height);

    // ---- Tooltip, shortcut, menu, user data ----
    virtual const CWideString &GetToolTip() const;
    virtual void SetToolTip(const wchar_t *text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t shortcut);
    virtual bool IsMenuEnabled() const;
    virtual void SetMenuEnabled(bool enabled);
    virtual const CWideString &GetUserData() const;
    virtual void SetUserData(const wchar_t *text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);

    // ---- State ----
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetInheritedVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool floating = true);

    // ---- Search, life cycle, events ----
    virtual CControlUI *FindControl(FindControlProc visitor, void *data, UINT flags);
    virtual void Init();
    virtual void DoInit();
    virtual void Event(ControlEvent &event);
    virtual void DoEvent(ControlEvent &event);

    // ---- Attributes ----
    virtual CWideString GetAttribute(const wchar_t *name);
    virtual void SetAttribute(const wchar_t *name, const wchar_t *value);
    virtual CWideString GetAttributeList(bool ignoreDefault = true);
    virtual void SetAttributeList(const wchar_t *list);

    // ---- Size and painting ----
    virtual SIZE GetDesiredSize(SIZE available);
    // False stops all further painting (the stop control was reached).
    virtual bool Paint(HDC dc, const RECT &paintArea, CControlUI *stopControl);
    virtual bool DoPaint(HDC dc, const RECT &paintArea, CControlUI *stopControl);
    virtual void PaintBkColor(HDC dc);
    virtual void PaintBkImage(HDC dc);
    virtual void PaintStateImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    virtual void PostPaint(HDC dc, const RECT &paintArea);

    // ---- Not virtual ----
    void SetVirtualWnd(const wchar_t *name);
    CWideString GetVirtualWnd() const;
    void StoreCustomAttribute(const wchar_t *name, const wchar_t *value);
    const wchar_t *GetCustomAttribute(const wchar_t *name) const;

    void Invalidate();
    bool NeedsLayout() const { return m_needsLayout; }
    void MarkNeedsLayout();
    void MarkParentNeedsLayout();
    // Draws a descriptor over the item rectangle, clipped to the paint rectangle; false
    // when nothing was drawn.
    bool DrawImage(HDC dc, ImageDescriptor &descriptor);
    // The same at a destination relative to the item rectangle, which takes the place of
    // the descriptor's own "dest".
    bool DrawImageAt(HDC dc, ImageDescriptor &descriptor, const RECT &destination);
    DWORD HslAdjustedColor(DWORD color) const;

    DWORD GetBkColor() const { return m_bkColor1; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_bkColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_bkColor3; }
    void SetBkColor3(DWORD color);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHsl() const { return m_colorHsl; }
    void SetColorHsl(bool colorHsl);
    RECT GetBorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    void SetBorderSize(RECT sizes);
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const { return m_borderRound; }
    void SetBorderRound(SIZE round);
    const CWideString &GetBkImage() const { return m_bkImage.text; }
    void SetBkImage(const wchar_t *descriptor);
    const RECT &GetPaintRect() const { return m_paintRect; }

    // Listener lists. Parameters: the control for init, destroy, size, paint and post-paint;
    // the ControlEvent for event; the NotifyMessage for notify.
    CDelegateList InitListeners;
    CDelegateList DestroyListeners;
    CDelegateList SizeListeners;
    CDelegateList EventListeners;
    CDelegateList NotifyListeners;
    CDelegateList PaintListeners;
    CDelegateList PostPaintListeners;

protected:
    // Intersects rect with the item rectangle of every ancestor; false when an ancestor is
    // hidden (with checkVisible) or the intersection becomes empty.
    bool ClipToAncestors(RECT &rect, bool checkVisible) const;
    void InvalidateClipped(RECT area);
    // Replaces an image property's descriptor text; nothing when the same text is already
    // loaded.
    void SetImageText(ImageDescriptor &descriptor, const wchar_t *text);
    // Sets or clears StateHot in state on a mouse enter or leave. A leave while the mouse is
    // still over the item (over a child) waits for the real leave: true when it took the event.
    bool TrackHotState(const ControlEvent &event, UINT &state);
    // A control that takes no mouse hands mouse events on to its parent (without a parent
    // only the basic handling of every control sees them); true when it did.
    bool PassOnMouseWhenDisabled(ControlEvent &event);
    void PlaceCover();
    // Whether SetManager with this manager takes the control from one window to another.
    bool IsMovingTo(const CWindowManagerUI *manager) const;

    CWindowManagerUI *m_manager;
    CControlUI *m_parent;
    CControlUI *m_cover;
    CWideString m_virtualWnd;
    CWideString m_name;
    bool m_needsLayout;
    bool m_menuEnabled;
    RECT m_itemRect;
    RECT m_padding;
    POINT m_floatOffset;
    SIZE m_fixedSize;
    SIZE m_minSize;
    SIZE m_maxSize;
    bool m_visible;
    bool m_inheritedVisible;
    bool m_enabled;
    bool m_mouseEnabled;
    bool m_keyboardEnabled;
    bool m_focused;
    bool m_float;
    FloatRatios m_floatRatios;
    bool m_firingSizeListeners;
    CWideString m_text;
    CWideString m_toolTip;
    wchar_t m_shortcut;
    CWideString m_userData;
    UINT_PTR m_tag;
    DWORD m_bkColor1;
    DWORD m_bkColor2;
    DWORD m_bkColor3;
    ImageDescriptor m_bkImage;
    ImageDescriptor m_foreImage;
    DWORD m_borderColor;
    DWORD m_focusBorderColor;
    bool m_colorHsl;
    int m_borderStyle;
    int m_toolTipWidth;
    SIZE m_borderRound;
    RECT m_paintRect;
    RECT m_borderSize;
    CStringKeyedMap m_customAttributes;
};

} // namespace SkinUI
