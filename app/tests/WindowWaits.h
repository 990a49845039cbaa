#pragma once

#include <QTest>

// What a window does (showing, maximising, showing a popup) happens late on a busy machine,
// far later than QtTest's own 5 s waits allow. The bound is the suite's safety net, many
// times the normal time.
constexpr int kWindowWaitMs = 60000;

template <typename Window> bool waitForExposed(Window *window)
{
    return QTest::qWaitForWindowExposed(window, kWindowWaitMs);
}
