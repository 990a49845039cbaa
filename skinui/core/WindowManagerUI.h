#pragma once

#include "ControlEvent.h"
#include "FontEntry.h"
#include "ImageDescriptor.h"
#include "NotifyMessage.h"
#include "PointerArray.h"
#include "StringKeyedMap.h"
#include "TimerEntry.h"
#include "WideString.h"
#include "WindowInterfaces.h"

#include <windows.h>

#include <commctrl.h>

namespace SkinUI {

class CControlUI;
struct ImageEntry;

// A control factory asked by the dialog builder for class names it does not know itself.
typedef CControlUI *(*ControlFactoryFunction)(const wchar_t *className);

// The per-window heart of the framework: owns the control tree of one native window, its
// drawing surfaces, fonts, images, default attribute lists, option groups, timers and
// registration lists, and turns window messages into control events and notifications.
// Process-wide state (all managers, shared resources, the skin source, language strings)
// lives in static members.
class CWindowManagerUI
{
public:
    static const UINT kLayeredTimerId = 0x2000;
    static const UINT kLayeredTimerPeriod = 10;
    static const UINT kDrainMessage = WM_APP + 1;
    static const int kMapBuckets = 83;

    CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI &) = delete;
    CWindowManagerUI &operator=(const CWindowManagerUI &) = delete;
    ~CWindowManagerUI();

    // ---- Life cycle and tree ----
    void Init(HWND window, const wchar_t *name = nullptr);
    bool AttachRootControl(CControlUI *root);
    bool InitControls(CControlUI *control, CControlUI *parent = nullptr);
    CControlUI *FindControlByName(const wchar_t *name) const;
    CControlUI *FindControlAtPoint(POINT point) const;
    bool RenameControl(CControlUI *control, const wchar_t *name);
    void ForgetControl(CControlUI *control);

    const CWideString &GetName() const { return m_name; }
    CControlUI *GetRoot() const { return m_root; }
    CControlUI *GetFocus() const { return m_focus; }
    HWND GetPaintWindow() const { return m_paintWindow; }
    HDC GetPaintDC() const { return m_paintDC; }
    HBITMAP GetOffscreenBitmap() const { return m_offscreenBitmap; }
    POINT GetMousePos() const { return m_mousePoint; }
    bool IsLayered() const { return m_layered; }
    bool IsNoActivate() const { return m_noActivate; }
    bool IsShowDirty() const { return m_showDirty; }
    bool IsPainting() const { return m_painting; }
    bool IsCaptured() const { return m_captured; }
    bool IsOffscreen() const { return m_offscreen; }
    void SetOffscreen(bool offscreen) { m_offscreen = offscreen; }
    SIZE GetInitSize() const { return m_initialSize; }
    SIZE GetMinInfo() const { return m_minInfo; }
    SIZE GetMaxInfo() const { return m_maxInfo; }
    RECT GetSizeBox() const { return m_sizeBox; }
    SIZE GetRoundCorner() const { return m_roundCorner; }
    RECT GetCaptionRect() const { return m_caption; }
    BYTE GetLayeredOpacity() const { return m_layeredOpacity; }
    const ImageDescriptor &GetLayeredImage() const { return m_layeredImage; }

    // ---- Registration lists (registrations stay owned by the caller) ----
    bool AddNotifier(INotifyUI *notifier);
    bool RemoveNotifier(INotifyUI *notifier);
    bool AddMessageFilter(IMessageFilterUI *filter);
    bool RemoveMessageFilter(IMessageFilterUI *filter);
    bool AddPreMessageFilter(IMessageFilterUI *filter);
    bool RemovePreMessageFilter(IMessageFilterUI *filter);
    bool AddTranslateAccelerator(ITranslateAccelerator *accelerator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator *accelerator);
    bool AddPostPaint(CControlUI *control);
    bool RemovePostPaint(CControlUI *control);
    bool AddMouseLeaveListener(CControlUI *control);
    bool RemoveMouseLeaveListener(CControlUI *control);
    bool AddNativeWindow(CControlUI *control, HWND window);
    bool RemoveNativeWindow(HWND window);
    RECT GetNativeWindowRect(HWND window) const;
    bool AddOptionGroup(const wchar_t *group, CControlUI *control);
    CPointerArray *GetOptionGroup(const wchar_t *group) const;
    bool RemoveOptionGroup(const wchar_t *group, CControlUI *control);

    // ---- Window attributes ----
    void SetWindowAttribute(const wchar_t *name, const wchar_t *value);
    bool AddWindowCustomAttribute(const wchar_t *name, const wchar_t *value);
    const wchar_t *GetWindowCustomAttribute(const wchar_t *name) const;
    void SetLayered(bool layered);
    void SetLayeredImage(const wchar_t *descriptor);
    void SetLayeredOpacity(BYTE opacity);
    void SetOpacity(BYTE opacity);
    void SetUseVirtualWindows(bool use) { m_useVirtualWindows = use; }
    bool IsUsingVirtualWindows() const { return m_useVirtualWindows; }
    void MarkNeedsLayout() { m_layoutNeeded = true; }
    bool IsLayoutNeeded() const { return m_layoutNeeded; }

    // ---- Fonts ----
    HFONT AddFont(int id, const wchar_t *face, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    void SetDefaultFont(const wchar_t *face, int size, bool bold, bool underline, bool italic,
                        bool shared = false);
    HFONT GetFont(int id);
    FontEntry *GetFontInfo(int id);
    FontEntry *GetFontInfo(HFONT font);
    HFONT FindFont(const wchar_t *face, int size, bool bold, bool underline, bool italic) const;
    FontEntry *GetDefaultFontInfo();
    void RemoveAllFonts(bool shared = false);

    // ---- Images ----
    ImageEntry *AddImage(const wchar_t *name, const wchar_t *resourceType = nullptr, DWORD mask = 0,
                         bool keepPixels = false, bool shared = false);
    ImageEntry *GetImage(const wchar_t *name) const;
    ImageEntry *GetOrLoadImage(const wchar_t *name, const wchar_t *resourceType = nullptr,
                               DWORD mask = 0, bool keepPixels = false);
    void RemoveAllImages(bool shared = false);

    // ---- Default attribute lists ----
    void AddDefaultAttributeList(const wchar_t *className, const wchar_t *list,
                                 bool shared = false);
    const wchar_t *GetDefaultAttributeList(const wchar_t *className) const;
    void RemoveAllDefaultAttributeLists(bool shared = false);
    void SetAlwaysShareResources(bool always) { m_alwaysShareResources = always; }

    // ---- Default colours (0xAARRGGBB) ----
    DWORD GetDefaultDisabledColor() const { return m_defaultColors.disabled; }
    DWORD GetDefaultFontColor() const { return m_defaultColors.text; }
    DWORD GetDefaultLinkFontColor() const { return m_defaultColors.link; }
    DWORD GetDefaultLinkHoverFontColor() const { return m_defaultColors.linkHover; }
    DWORD GetDefaultSelectedBkColor() const { return m_defaultColors.selectedBackground; }

    // ---- Language strings ----
    static void AddLanguageString(int id, const wchar_t *text);
    static const wchar_t *GetLanguageString(int id);
    static void RemoveAllLanguageStrings();
    static void ReplaceLanguageTokens(CWideString &text);

    // ---- Skin resource source ----
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static HINSTANCE GetResourceInstance();
    static CWideString GetInstancePath();
    static void SetResourcePath(const wchar_t *path);
    static const CWideString &GetResourcePath();
    static void SetSevenZipPackage(bool sevenZip);
    static bool IsSevenZipPackage();
    static void SetResourcePackageMemory(const void *data, DWORD length);
    // Reads the package from a copy of the block that the process keeps until the package
    // closes. A package in memory that is open already is kept, and nothing is copied.
    static void SetResourcePackageCopy(const void *data, DWORD length);
    static void SetResourcePackageFile(const wchar_t *name, bool keepOpen = true);
    static const CWideString &GetResourcePackageName();
    static void *GetResourcePackageHandle();
    static bool IsResourcePackageCached();
    static void CloseResourcePackage();
    static bool GetHsl(short *hue, short *saturation, short *lightness);
    static CPointerArray &GetControlFactories();

    // ---- Message dispatch and painting ----
    bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);
    bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam);
    static bool TranslateMessage(const MSG *message);
    bool TranslateAccelerator(MSG *message);
    void Invalidate(const RECT &rect);
    void InvalidateAll();
    void SetCapture();
    void ReleaseCapture();
    static WORD GetModifierKeyState();

    // ---- Notifications, timers, focus and delayed clean-up ----
    void SendNotify(CControlUI *sender, const wchar_t *type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void SendNotify(NotifyMessage &message, bool async = false);
    bool SetTimer(CControlUI *control, UINT localId, UINT elapse);
    bool KillTimer(CControlUI *control, UINT localId);
    int KillControlTimers(CControlUI *control);
    void RemoveAllTimers();
    void SetFocus(CControlUI *control, bool focusWindow = true);
    void SetFocusDeferred(CControlUI *control);
    bool MoveFocusToNextTabStop(bool forward = true);
    void AddDelayedCleanup(CControlUI *control);

private:
    // A window size a skin asks for, no larger than all the screens together: a window wider
    // than any screen shows nothing more, and painting it costs in proportion to its size.
    static SIZE WithinScreens(SIZE size);

    struct DefaultColors
    {
        DWORD disabled;
        DWORD text;
        DWORD link;
        DWORD linkHover;
        DWORD selectedBackground;
    };

    static bool IsFirstManager();
    static void InitProcessDefaults();
    static FontEntry *BuildFont(const wchar_t *face, int size, bool bold, bool underline,
                                bool italic);
    static void DeleteFont(FontEntry *entry);
    static void DeleteFonts(CStringKeyedMap &fonts);
    static void DeleteImages(CStringKeyedMap &images);
    static void DeleteTexts(CStringKeyedMap &texts);
    void MeasureFont(FontEntry *entry);
    CStringKeyedMap &FontMapFor(bool shared);
    CStringKeyedMap &ImageMapFor(bool shared);
    CStringKeyedMap &AttributeListMapFor(bool shared);

    void RegisterNames(CControlUI *control);
    void DeleteOptionGroups();
    void DeleteCustomAttributes();
    void DeleteQueuedNotifications();
    void DeleteDelayedCleanups();
    void ForgetFromLists(CControlUI *control);
    void PostDrainMessage();
    void DrainQueue();
    void DeliverNotify(NotifyMessage &message);
    bool StoreMouseFromFilter(UINT message, LPARAM lParam);
    bool HandleMouseMove(WPARAM wParam, LPARAM lParam);
    bool HandleMouseHover(LPARAM lParam);
    bool HandleMouseLeave();
    bool HandleSetCursor(LPARAM lParam, LRESULT &result);
    void HandleTimer(WPARAM wParam, LPARAM lParam);
    void HandlePrintClient(HDC dc, LPARAM flags);
    void HandleKillFocus(HWND gaining);
    void HandleClose();
    bool HandlePaint();
    bool LayOutForPaint(const RECT &client);
    void PaintOffscreen(const RECT &client, const RECT &paint);
    void PaintNativeChildren(const RECT &paint);
    void PaintLayeredBackground(const RECT &client, const RECT &paint);
    void CreateOffscreenSurface(const RECT &client);
    void DeleteSurfaces();
    bool HandleSysChar(WPARAM wParam);
    void SendEvent(CControlUI *control, int type, WPARAM wParam = 0, LPARAM lParam = 0,
                   WORD keyState = 0xFFFF, wchar_t key = 0);
    CControlUI *FindTabStop(CControlUI *from, bool forward) const;
    CControlUI *ControlAtPointOfThisManager(POINT point) const;
    TimerEntry *FindTimer(CControlUI *control, UINT localId) const;
    bool IsWindowsTimerIdInUse(UINT id) const;
    void ClampPendingUpdate(RECT &rect) const;

    // Fields in the order of the manager's record.
    CWideString m_name;
    HWND m_paintWindow;
    HDC m_paintDC;
    HDC m_offscreenDC;
    HDC m_backgroundDC;
    HBITMAP m_offscreenBitmap;
    DWORD *m_offscreenBits;
    HBITMAP m_backgroundBitmap;
    DWORD *m_backgroundBits;
    int m_tooltipWidth;
    HWND m_tooltipWindow;
    TOOLINFOW m_toolInfo;
    UINT m_hoverTime;
    bool m_noActivate;
    bool m_showDirty;
    CControlUI *m_root;
    CControlUI *m_focus;
    CControlUI *m_hover;
    CControlUI *m_pressed;
    CControlUI *m_keyDown;
    POINT m_mousePoint;
    SIZE m_minInfo;
    SIZE m_maxInfo;
    SIZE m_initialSize;
    RECT m_sizeBox;
    SIZE m_roundCorner;
    RECT m_caption;
    UINT m_timerCounter;
    bool m_windowInitPending;
    bool m_layoutNeeded;
    bool m_focusNeeded;
    bool m_offscreen;
    BYTE m_layeredOpacity;
    bool m_layered;
    bool m_layeredFullUpdate;
    RECT m_pendingUpdate;
    ImageDescriptor m_layeredImage;
    bool m_mouseTracking;
    bool m_captured;
    bool m_painting;
    bool m_useVirtualWindows;
    bool m_notifyPosted;
    CPointerArray m_notifiers;
    CPointerArray m_timers;
    CPointerArray m_preMessageFilters;
    CPointerArray m_messageFilters;
    CPointerArray m_postPaintControls;
    CPointerArray m_nativeWindows;
    CPointerArray m_nativeWindowControls;
    CPointerArray m_delayedCleanup;
    CPointerArray m_notifyQueue;
    CPointerArray m_layoutScratch;
    CPointerArray m_mouseLeaveListeners;
    CStringKeyedMap m_controlsByName;
    CStringKeyedMap m_customAttributes;
    CStringKeyedMap m_optionGroups;
    bool m_alwaysShareResources;
    DefaultColors m_defaultColors;
    FontEntry m_defaultFont;
    CStringKeyedMap m_fonts;
    CStringKeyedMap m_images;
    CStringKeyedMap m_defaultAttributeLists;
    CPointerArray m_accelerators;
    // Images replaced while controls may still draw them; freed with the manager.
    CPointerArray m_retiredImages;
};

} // namespace SkinUI
