#pragma once

#include <windows.h>

namespace SkinUI {

// Owns one GDI object (bitmap, pen, brush, region, font) and deletes it at scope end.
template <typename Handle> class ScopedGdiObject
{
public:
    explicit ScopedGdiObject(Handle handle = nullptr) : m_handle(handle) {}
    ScopedGdiObject(const ScopedGdiObject &) = delete;
    ScopedGdiObject &operator=(const ScopedGdiObject &) = delete;
    ~ScopedGdiObject() { Reset(); }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle Release()
    {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle != nullptr)
            DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle;
};

// A memory DC, deleted at scope end.
class ScopedMemoryDC
{
public:
    explicit ScopedMemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ScopedMemoryDC(const ScopedMemoryDC &) = delete;
    ScopedMemoryDC &operator=(const ScopedMemoryDC &) = delete;
    ~ScopedMemoryDC()
    {
        if (m_dc != nullptr)
            DeleteDC(m_dc);
    }

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// Selects an object into a DC and selects the previous one back at scope end.
class ScopedSelection
{
public:
    ScopedSelection(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(object != nullptr ? SelectObject(dc, object) : nullptr)
    {
    }
    ScopedSelection(const ScopedSelection &) = delete;
    ScopedSelection &operator=(const ScopedSelection &) = delete;
    ~ScopedSelection()
    {
        if (m_previous != nullptr && m_previous != HGDI_ERROR)
            SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace SkinUI
