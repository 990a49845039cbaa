#pragma once

#include <windows.h>

namespace SkinUI {

// Keeps GDI+ started for as long as the object lives. Every object that draws through GDI+
// holds one of its own, so it never depends on another control having started the library.
class CGdiplusSession
{
public:
    CGdiplusSession();
    CGdiplusSession(const CGdiplusSession &) = delete;
    CGdiplusSession &operator=(const CGdiplusSession &) = delete;
    ~CGdiplusSession();

    bool IsStarted() const { return m_started; }

private:
    ULONG_PTR m_token;
    bool m_started;
};

} // namespace SkinUI
