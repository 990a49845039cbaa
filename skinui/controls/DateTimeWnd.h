#pragma once

#include "DeferredSelfDelete.h"
#include "WindowWnd.h"

namespace SkinUI {

class CDateTimeUI;
class CWindowManagerUI;

// The native date picker that a date control lays over itself while it has the focus. It
// deletes itself when its window is destroyed; the date control can detach it first, when
// the control goes while the picker is open.
class CDateTimeWnd final : public CWindowWnd
{
public:
    CDateTimeWnd();

    // Creates the window over the owner when there is none yet, hands it the owner's date
    // and the keyboard focus; false when no window could be made.
    bool Open(CDateTimeUI *owner);
    void Detach() { m_owner = nullptr; }

    const wchar_t *GetWindowClassName() const override;
    const wchar_t *GetSuperClassName() const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND window) override;

private:
    ~CDateTimeWnd() = default;

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    void EndWithKey(int mode);

    CDateTimeUI *m_owner;
    CWindowManagerUI *m_manager;
    bool m_initialised;
    DeferredSelfDelete m_deletion;
};

} // namespace SkinUI
