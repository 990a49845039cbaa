#include "WindowManagerUI.h"

#include "ControlUI.h"
#include "ManagerProcessState.h"
#include "ValueText.h"

#include <cwchar>

namespace SkinUI {

namespace {

typedef BOOL(WINAPI *SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);

FARPROC User32Entry(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"User32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

bool HasUpdateLayeredWindow()
{
    static FARPROC entry = User32Entry("UpdateLayeredWindow");
    return entry != nullptr;
}

SetLayeredWindowAttributesProc SetLayeredWindowAttributesEntry()
{
    // Through the generic function type, which any entry point may be cast from.
    static auto entry = reinterpret_cast<SetLayeredWindowAttributesProc>(
        reinterpret_cast<void (*)()>(User32Entry("SetLayeredWindowAttributes")));
    return entry;
}

void SetExtendedStyleBit(HWND window, LONG_PTR bit, bool on)
{
    LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    LONG_PTR wanted = on ? (style | bit) : (style & ~bit);
    if (wanted != style)
        SetWindowLongPtrW(window, GWL_EXSTYLE, wanted);
}

RECT ReadRect(const wchar_t *text)
{
    int values[4];
    ValueText::ReadIntegerList(text, values, 4);
    return RECT{values[0], values[1], values[2], values[3]};
}

SIZE ReadSize(const wchar_t *text)
{
    int values[2];
    ValueText::ReadIntegerList(text, values, 2);
    return SIZE{values[0], values[1]};
}

bool RemoveFirst(CPointerArray &list, void *item)
{
    int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

} // namespace

CWindowManagerUI::CWindowManagerUI()
    : m_paintWindow(nullptr), m_paintDC(nullptr), m_offscreenDC(nullptr), m_backgroundDC(nullptr),
      m_offscreenBitmap(nullptr), m_offscreenBits(nullptr), m_backgroundBitmap(nullptr),
      m_backgroundBits(nullptr), m_tooltipWidth(-1), m_tooltipWindow(nullptr), m_toolInfo{},
      m_hoverTime(1000), m_noActivate(false), m_showDirty(false), m_root(nullptr), m_focus(nullptr),
      m_hover(nullptr), m_pressed(nullptr),
      m_keyDown(nullptr), m_mousePoint{-1, -1}, m_minInfo{0, 0}, m_maxInfo{0, 0},
      m_initialSize{0, 0}, m_sizeBox{0, 0, 0, 0}, m_roundCorner{0, 0}, m_caption{0, 0, 0, 0},
      m_timerCounter(4096), m_windowInitPending(true), m_layoutNeeded(false), m_focusNeeded(false),
      m_offscreen(true), m_layeredOpacity(255), m_layered(false),
      m_layeredFullUpdate(false), m_pendingUpdate{0, 0, 0, 0}, m_mouseTracking(false),
      m_captured(false), m_painting(false), m_useVirtualWindows(false), m_notifyPosted(false),
      m_controlsByName(kMapBuckets), m_customAttributes(kMapBuckets), m_optionGroups(kMapBuckets),
      m_alwaysShareResources(false), m_defaultColors{}, m_fonts(kMapBuckets), m_images(kMapBuckets),
      m_defaultAttributeLists(kMapBuckets)
{
    ManagerProcessState &process = ManagerProcessState::Get();
    if (IsFirstManager())
        InitProcessDefaults();
    m_defaultColors =
        DefaultColors{process.sharedColors[0], process.sharedColors[1], process.sharedColors[2],
                      process.sharedColors[3], process.sharedColors[4]};
}

void CWindowManagerUI::Init(HWND window, const wchar_t *name)
{
    m_controlsByName.Resize(kMapBuckets);
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeLists(false);
    DeleteCustomAttributes();
    DeleteOptionGroups();
    RemoveAllTimers();
    m_name.Empty();
    if (name)
        m_name = name;
    if (window == m_paintWindow)
        return;
    // Moving to another window gives back the old window's DC and keeps the manager listed
    // once, so the process-wide list never holds a manager twice.
    if (m_paintWindow && m_paintDC)
        ReleaseDC(m_paintWindow, m_paintDC);
    m_paintWindow = window;
    m_paintDC = window ? GetDC(window) : nullptr;
    CPointerArray &managers = ManagerProcessState::Get().managers;
    if (managers.Find(this) < 0)
        managers.Add(this);
}

CWindowManagerUI::~CWindowManagerUI()
{
    DeleteDelayedCleanups();
    DeleteQueuedNotifications();
    m_controlsByName.RemoveAll();
    if (m_root) {
        CControlUI *root = m_root;
        m_root = nullptr;
        root->Delete();
    }
    if (m_defaultFont.font)
        DeleteObject(m_defaultFont.font);
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeLists(false);
    DeleteCustomAttributes();
    DeleteOptionGroups();
    RemoveAllTimers();
    if (m_tooltipWindow)
        DestroyWindow(m_tooltipWindow);
    DeleteSurfaces();
    if (m_paintDC)
        ReleaseDC(m_paintWindow, m_paintDC);
    CPointerArray &managers = ManagerProcessState::Get().managers;
    RemoveFirst(managers, this);
}

void CWindowManagerUI::DeleteSurfaces()
{
    if (m_offscreenDC)
        DeleteDC(m_offscreenDC);
    if (m_backgroundDC)
        DeleteDC(m_backgroundDC);
    if (m_offscreenBitmap)
        DeleteObject(m_offscreenBitmap);
    if (m_backgroundBitmap)
        DeleteObject(m_backgroundBitmap);
    m_offscreenDC = m_backgroundDC = nullptr;
    m_offscreenBitmap = m_backgroundBitmap = nullptr;
    m_offscreenBits = m_backgroundBits = nullptr;
}

void CWindowManagerUI::DeleteCustomAttributes()
{
    DeleteTexts(m_customAttributes);
}

void CWindowManagerUI::DeleteOptionGroups()
{
    for (int i = 0; i < m_optionGroups.GetSize(); ++i)
        delete static_cast<CPointerArray *>(m_optionGroups.Find(m_optionGroups.GetKeyAt(i), false));
    m_optionGroups.RemoveAll();
}

void CWindowManagerUI::DeleteTexts(CStringKeyedMap &texts)
{
    for (int i = 0; i < texts.GetSize(); ++i)
        delete static_cast<CWideString *>(texts.Find(texts.GetKeyAt(i), false));
    texts.RemoveAll();
}

// ---- Tree ----

bool CWindowManagerUI::AttachRootControl(CControlUI *root)
{
    if (m_focus && ::GetFocus() != m_paintWindow && !m_noActivate)
        ::SetFocus(m_paintWindow);
    if (m_focus) {
        CControlUI *losing = m_focus;
        SendEvent(losing, EventKillFocus);
        SendNotify(losing, L"killfocus");
        m_focus = nullptr;
    }
    m_keyDown = m_hover = m_pressed = nullptr;
    if (m_root) {
        DeleteDelayedCleanups();
        DeleteQueuedNotifications();
        m_controlsByName.RemoveAll();
        m_postPaintControls.Empty();
        m_nativeWindows.Empty();
        m_nativeWindowControls.Empty();
        AddDelayedCleanup(m_root);
    }
    m_root = root;
    m_windowInitPending = true;
    m_layoutNeeded = true;
    m_focusNeeded = true;
    if (!root)
        return false;
    root->SetManager(this, root->GetParent(), true);
    RegisterNames(root);
    return true;
}

bool CWindowManagerUI::InitControls(CControlUI *control, CControlUI *parent)
{
    if (!control)
        return false;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    RegisterNames(control);
    return true;
}

void CWindowManagerUI::RegisterNames(CControlUI *control)
{
    control->FindControl(
        [](CControlUI *visited, void *data) -> CControlUI * {
            auto *manager = static_cast<CWindowManagerUI *>(data);
            const CWideString &name = visited->GetName();
            if (!name.IsEmpty())
                manager->m_controlsByName.Set(name.GetData(), visited);
            return nullptr;
        },
        this, 0);
}

CControlUI *CWindowManagerUI::FindControlByName(const wchar_t *name) const
{
    if (!name)
        return nullptr;
    return static_cast<CControlUI *>(m_controlsByName.Find(name, true));
}

CControlUI *CWindowManagerUI::FindControlAtPoint(POINT point) const
{
    if (!m_root)
        return nullptr;
    return m_root->FindControl([](CControlUI *visited, void *) { return visited; }, &point,
                               FindVisibleOnly | FindHitTest | FindTopFirst);
}

bool CWindowManagerUI::RenameControl(CControlUI *control, const wchar_t *name)
{
    if (!control || control->GetManager() != this || !name || !*name)
        return false;
    const CWideString oldName = control->GetName();
    if (oldName == name)
        return true;
    if (m_controlsByName.Find(name, false))
        return false;
    // Another control registered under the old name keeps its entry.
    if (m_controlsByName.Find(oldName.GetData(), false) == control)
        m_controlsByName.Remove(oldName.GetData());
    bool inserted = m_controlsByName.Insert(name, control);
    control->SetName(name);
    return inserted;
}

// ---- Registration lists ----

bool CWindowManagerUI::AddNotifier(INotifyUI *notifier)
{
    return notifier && m_notifiers.Add(notifier);
}

bool CWindowManagerUI::RemoveNotifier(INotifyUI *notifier)
{
    return RemoveFirst(m_notifiers, notifier);
}

bool CWindowManagerUI::AddMessageFilter(IMessageFilterUI *filter)
{
    return filter && m_messageFilters.Add(filter);
}

bool CWindowManagerUI::RemoveMessageFilter(IMessageFilterUI *filter)
{
    return RemoveFirst(m_messageFilters, filter);
}

bool CWindowManagerUI::AddPreMessageFilter(IMessageFilterUI *filter)
{
    return filter && m_preMessageFilters.Add(filter);
}

bool CWindowManagerUI::RemovePreMessageFilter(IMessageFilterUI *filter)
{
    return RemoveFirst(m_preMessageFilters, filter);
}

bool CWindowManagerUI::AddTranslateAccelerator(ITranslateAccelerator *accelerator)
{
    return m_accelerators.Add(accelerator);
}

bool CWindowManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator *accelerator)
{
    return RemoveFirst(m_accelerators, accelerator);
}

bool CWindowManagerUI::AddPostPaint(CControlUI *control)
{
    return control && m_postPaintControls.Add(control);
}

bool CWindowManagerUI::RemovePostPaint(CControlUI *control)
{
    return RemoveFirst(m_postPaintControls, control);
}

bool CWindowManagerUI::AddMouseLeaveListener(CControlUI *control)
{
    if (!control || m_mouseLeaveListeners.Find(control) >= 0)
        return false;
    return m_mouseLeaveListeners.Add(control);
}

bool CWindowManagerUI::RemoveMouseLeaveListener(CControlUI *control)
{
    return RemoveFirst(m_mouseLeaveListeners, control);
}

bool CWindowManagerUI::AddNativeWindow(CControlUI *control, HWND window)
{
    if (!control || !window)
        return false;
    RECT rect = GetNativeWindowRect(window);
    Invalidate(rect);
    if (m_nativeWindows.Find(window) >= 0)
        return false;
    if (!m_nativeWindows.Add(window))
        return false;
    if (!m_nativeWindowControls.Add(control)) {
        m_nativeWindows.Remove(m_nativeWindows.GetCount() - 1);
        return false;
    }
    return true;
}

bool CWindowManagerUI::RemoveNativeWindow(HWND window)
{
    int index = m_nativeWindows.Find(window);
    if (index < 0)
        return false;
    m_nativeWindows.Remove(index);
    m_nativeWindowControls.Remove(index);
    return true;
}

RECT CWindowManagerUI::GetNativeWindowRect(HWND window) const
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    ScreenToClient(m_paintWindow, reinterpret_cast<POINT *>(&rect.left));
    ScreenToClient(m_paintWindow, reinterpret_cast<POINT *>(&rect.right));
    return rect;
}

bool CWindowManagerUI::AddOptionGroup(const wchar_t *group, CControlUI *control)
{
    if (!group || !control)
        return false;
    auto *members = static_cast<CPointerArray *>(m_optionGroups.Find(group, true));
    if (members) {
        if (members->Find(control) >= 0)
            return false;
        return members->Add(control);
    }
    members = new CPointerArray(6);
    if (!members->Add(control) || !m_optionGroups.Insert(group, members)) {
        delete members;
        return false;
    }
    return true;
}

CPointerArray *CWindowManagerUI::GetOptionGroup(const wchar_t *group) const
{
    if (!group)
        return nullptr;
    return static_cast<CPointerArray *>(m_optionGroups.Find(group, true));
}

bool CWindowManagerUI::RemoveOptionGroup(const wchar_t *group, CControlUI *control)
{
    if (!group || !control)
        return false;
    auto *members = static_cast<CPointerArray *>(m_optionGroups.Find(group, true));
    if (!members || !RemoveFirst(*members, control))
        return false;
    if (members->IsEmpty()) {
        m_optionGroups.Remove(group);
        delete members;
    }
    return true;
}

// ---- Window attributes ----

bool CWindowManagerUI::AddWindowCustomAttribute(const wchar_t *name, const wchar_t *value)
{
    if (!name || !*name || !value || !*value || m_customAttributes.Find(name, false))
        return false;
    auto *copy = new CWideString(value);
    if (!m_customAttributes.Insert(name, copy)) {
        delete copy;
        return false;
    }
    return true;
}

const wchar_t *CWindowManagerUI::GetWindowCustomAttribute(const wchar_t *name) const
{
    if (!name || !*name)
        return nullptr;
    auto *value = static_cast<CWideString *>(m_customAttributes.Find(name, false));
    return value ? value->GetData() : nullptr;
}

SIZE CWindowManagerUI::WithinScreens(SIZE size)
{
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width > 0 && size.cx > width)
        size.cx = width;
    if (height > 0 && size.cy > height)
        size.cy = height;
    return size;
}

void CWindowManagerUI::SetWindowAttribute(const wchar_t *name, const wchar_t *value)
{
    if (!name || !value)
        return;
    auto is = [name](const wchar_t *known) { return _wcsicmp(name, known) == 0; };
    if (is(L"size")) {
        m_initialSize = ReadSize(value);
        if (!m_root && m_paintWindow) {
            const SIZE size = WithinScreens(m_initialSize);
            SetWindowPos(m_paintWindow, nullptr, 0, 0, size.cx, size.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else if (is(L"sizebox")) {
        m_sizeBox = ReadRect(value);
    } else if (is(L"caption")) {
        m_caption = ReadRect(value);
    } else if (is(L"roundcorner")) {
        m_roundCorner = ReadSize(value);
    } else if (is(L"mininfo")) {
        m_minInfo = ReadSize(value);
    } else if (is(L"maxinfo")) {
        m_maxInfo = ReadSize(value);
    } else if (is(L"showdirty")) {
        m_showDirty = _wcsicmp(value, L"true") == 0;
    } else if (wcscmp(name, L"noactivate") == 0) {
        m_noActivate = ValueText::IsTrue(value);
    } else if (is(L"opacity")) {
        SetOpacity(static_cast<BYTE>(_wtoi(value)));
    } else if (wcscmp(name, L"layeredopacity") == 0) {
        SetLayeredOpacity(static_cast<BYTE>(_wtoi(value)));
    } else if (wcscmp(name, L"layeredimage") == 0) {
        SetLayered(true);
        SetLayeredImage(value);
    } else if (is(L"disabledfontcolor")) {
        m_defaultColors.disabled = ValueText::ReadHexColor(value);
    } else if (is(L"defaultfontcolor")) {
        m_defaultColors.text = ValueText::ReadHexColor(value);
    } else if (is(L"linkfontcolor")) {
        m_defaultColors.link = ValueText::ReadHexColor(value);
    } else if (is(L"linkhoverfontcolor")) {
        m_defaultColors.linkHover = ValueText::ReadHexColor(value);
    } else if (is(L"selectedcolor")) {
        m_defaultColors.selectedBackground = ValueText::ReadHexColor(value);
    } else {
        AddWindowCustomAttribute(name, value);
    }
}

void CWindowManagerUI::SetLayered(bool layered)
{
    if (!m_paintWindow || m_layered == layered)
        return;
    if (GetWindowLongPtrW(m_paintWindow, GWL_STYLE) & WS_CHILD)
        return;
    if (!HasUpdateLayeredWindow())
        return;
    if (layered)
        ::SetTimer(m_paintWindow, kLayeredTimerId, kLayeredTimerPeriod, nullptr);
    else
        ::KillTimer(m_paintWindow, kLayeredTimerId);
    SetExtendedStyleBit(m_paintWindow, WS_EX_LAYERED, layered);
    m_layered = layered;
    if (m_root)
        m_root->MarkNeedsLayout();
    InvalidateAll();
}

void CWindowManagerUI::SetLayeredOpacity(BYTE opacity)
{
    m_layeredOpacity = opacity;
    m_layeredFullUpdate = true;
    InvalidateAll();
}

void CWindowManagerUI::SetOpacity(BYTE opacity)
{
    m_layeredOpacity = opacity;
    if (!m_paintWindow)
        return;
    SetLayeredWindowAttributesProc setAttributes = SetLayeredWindowAttributesEntry();
    if (!setAttributes)
        return;
    SetExtendedStyleBit(m_paintWindow, WS_EX_LAYERED, true);
    setAttributes(m_paintWindow, 0, opacity, LWA_ALPHA);
    m_layered = false;
    InvalidateAll();
}

CPointerArray &CWindowManagerUI::GetControlFactories()
{
    return ManagerProcessState::Get().controlFactories;
}

} // namespace SkinUI
