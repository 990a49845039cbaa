#pragma once

// What the fake COM servers of the ActiveX tests record of the container calls they
// receive, and the switches a test sets before an object is made. Each fake server module
// exports its record as "FakeRecord" (plain data, shared by the test and the module).

#include <windows.h>

namespace FakeCom {

// Class ids of the fakes; they are registered in the test prefix by the servers' own
// DllRegisterServer and removed again by DllUnregisterServer.
// {6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0001}: a control that goes windowless.
const CLSID kWindowlessControl = {
    0x6A1C39E2, 0x5B0E, 0x4C55, {0x9D, 0x7A, 0x1F, 0x00, 0xC0, 0xDE, 0x00, 0x01}};
// {6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0002}: a control that wants a window of its own.
const CLSID kWindowedControl = {
    0x6A1C39E2, 0x5B0E, 0x4C55, {0x9D, 0x7A, 0x1F, 0x00, 0xC0, 0xDE, 0x00, 0x02}};
// {6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0003}: the stand-in web browser.
const CLSID kFakeBrowser = {
    0x6A1C39E2, 0x5B0E, 0x4C55, {0x9D, 0x7A, 0x1F, 0x00, 0xC0, 0xDE, 0x00, 0x03}};

const wchar_t kWindowlessControlText[] = L"{6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0001}";
const wchar_t kWindowedControlText[] = L"{6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0002}";
const wchar_t kFakeBrowserText[] = L"{6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0003}";
const wchar_t kWindowlessProgId[] = L"SkinUITest.WindowlessControl";

// Colours the objects draw their whole area with (COLORREF).
const COLORREF kWindowlessColor = RGB(200, 30, 40);
const COLORREF kWindowedColor = RGB(30, 160, 60);

struct Record
{
    // ---- switches ----
    bool failInitNew;

    // ---- life ----
    LONG liveObjects;    // fake COM objects alive in the module
    LONG objectsCreated; // hosted objects made by the class factory
    LONG objectsDestroyed;
    LONG objectRefs; // the reference count of the newest hosted object

    // ---- calls, in order, separated by spaces ----
    wchar_t calls[8192];

    // ---- activation ----
    HRESULT activateResult; // of OnInPlaceActivate(Ex)
    HWND siteWindow;        // answer of the site's GetWindow
    HWND ownWindow;         // the windowed object's own window
    HACCEL accelerators[2]; // frame information of two GetWindowContext calls
    UINT acceleratorEntries;
    UINT frameInfoSize;
    HWND frameWindow;
    HWND frameGetWindow; // answer of the frame's GetWindow
    RECT positionRect;   // position rectangle of GetWindowContext
    bool enumeratorGaveObject;
    bool secondNextEmpty;
    HRESULT siteGetDC; // of the in-place site's GetDC
    RECT objectRects;  // last SetObjectRects
    SIZEL extent;      // last SetExtent
    LONG draws;
    UINT lastMessage;
    LONG windowMessages;
    LONG translatedKeys; // TranslateAccelerator of the active object

    // ---- web browser ----
    wchar_t navigatedUrl[512];
    LONG navigations;
    LONG sinks; // advised event sinks
    bool uiHandlerSet;
    wchar_t propertiesRead[256];
};

typedef Record *(*RecordFunction)();
// Fires a browser event at the advised sinks: the answer of the last sink.
typedef HRESULT (*FireFunction)(DISPID id);
// What a script error hands the host as its input.
enum ScriptErrorInput
{
    InputDocument,
    InputNone,
    InputNumber,
};
// Lets the browser hit a script error: Exec of the command target that the installed UI
// handler gives.
typedef HRESULT (*ScriptErrorFunction)(ScriptErrorInput input, VARIANT *out);

} // namespace FakeCom
