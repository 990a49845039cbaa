#pragma once

namespace SkinUI {

// For a native window object that deletes itself on its final message: the window can go
// while one of its own messages is being handled (a handler may delete the control that owns
// it), and the object must then live until that handling is over.
class DeferredSelfDelete
{
public:
    void Enter() { ++m_depth; }
    // True when the object is to be deleted now, as the outermost handling ends.
    bool Leave() { return --m_depth == 0 && m_finished; }
    // The final message came; true when no handling is running, so deletion is at once.
    bool Finish()
    {
        m_finished = true;
        return m_depth == 0;
    }

private:
    int m_depth = 0;
    bool m_finished = false;
};

} // namespace SkinUI
