#pragma once

#include "LabelUI.h"

namespace SkinUI {

class CDateTimeWnd;

// A label that shows a date as year-month-day and, while it has the focus, lays a native
// date picker over itself. The picked date is written back as text when the picker loses
// the focus; Backspace or Delete clears the text, Escape leaves it as it was.
class CDateTimeUI : public CLabelUI
{
    friend class CDateTimeWnd;

public:
    static const wchar_t *const kClassName;

    // What the next text update does.
    enum UpdateMode
    {
        UpdateNothing = 0,
        UpdateWriteDate = 1,
        UpdateClearText = 2,
        UpdateCancelled = 3,
    };

    CDateTimeUI();
    ~CDateTimeUI() override;

    const wchar_t *GetClass() const override;
    void *GetInterface(const wchar_t *name) override;
    UINT GetBehaviorFlags() const override;
    HWND GetNativeWindow() const override;
    void SetManager(CWindowManagerUI *manager, CControlUI *parent, bool initialise = true) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void DoEvent(ControlEvent &event) override;

    void UpdateText();

protected:
    // The item rectangle clipped by the ancestors; empty when out of sight.
    RECT PickerRect() const;
    void OpenPicker();
    void ClosePickerWithControl();

    SYSTEMTIME m_date;
    int m_updateMode;
    CDateTimeWnd *m_window;
};

} // namespace SkinUI
