#pragma once

#include <cstdint>

namespace SkinUI {

// One of the state stacks of text with inline markup (fonts, colours, paragraph spacings,
// vertical alignments). It keeps at most kMaxNesting entries: an opening tag nested deeper
// pushes nothing and its closing tag pops nothing, so that text nested deeper keeps the state
// of the deepest level kept, and the state a line saves and restores stays small whatever the
// markup's depth.
class MarkupStack
{
public:
    static const int kMaxNesting = 32;

    // Only counted when the stack is full.
    void Push(uintptr_t value)
    {
        if (IsFull())
            ++m_beyond;
        else
            m_values[m_count++] = value;
    }
    void Pop()
    {
        if (m_beyond > 0)
            --m_beyond;
        else if (m_count > 0)
            --m_count;
    }
    // Whether a pop would remove a kept entry, not one counted past the bound.
    bool PopsKeptEntry() const { return m_beyond == 0 && m_count > 0; }
    bool IsFull() const { return m_count == kMaxNesting; }
    bool IsEmpty() const { return m_count == 0; }
    // The deepest entry kept, 0 when there is none.
    uintptr_t Top() const { return m_count > 0 ? m_values[m_count - 1] : 0; }

private:
    uintptr_t m_values[kMaxNesting] = {};
    int m_count = 0;
    int m_beyond = 0;
};

} // namespace SkinUI
