// A bare Win32 window of uninst's size, made and shown as uninst shows its own (visible
// overlapped window, centred in the work area, shown normally, run by a message loop) and
// painted with one fill; timed to the end of its first frame, then closed.
#include "BenchClock.h"

#include <windows.h>

namespace {

const int kWidth = 700;
const int kHeight = 420;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static bool painted = false;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        if (!painted) {
            painted = true;
            ReportFirstFrame();
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Centre(HWND window)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, (work.left + work.right - kWidth) / 2,
                 (work.top + work.bottom - kHeight) / 2, kWidth, kHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

int wmain()
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"BareWindow";
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"bare", WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                        nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 2;
    Centre(window);
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
