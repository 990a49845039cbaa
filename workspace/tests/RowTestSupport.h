#pragma once

#include "BackgroundProcessAnimationEffect.h"
#include "RowPresentation.h"
#include "WorkspaceTestSupport.h"

#include <QElapsedTimer>
#include <QPropertyAnimation>
#include <QStackedWidget>
#include <QtTest>

// Reading and driving a conversion row of either page, as the user sees and presses it.
namespace WorkspaceTest {

// The bound of a wait on what an engine or a row's timer does. Starting the stand-in engine,
// its run and the row's polls of it take seconds on a machine at load 30: the bound is a
// safety net only, and a wait ends as soon as the awaited thing happened.
constexpr int kWaitMs = 60000;

inline int statePage(QWidget *row)
{
    return child<QStackedWidget>(row, "stackedWidget")->currentIndex();
}

inline QString labelText(QWidget *row, const char *name)
{
    return child<QLabel>(row, name)->text();
}

// Where the progress fill stands, or is heading while it moves.
inline int fill(QWidget *row)
{
    auto *effect = row->findChild<BackgroundProcessAnimationEffect *>();
    if (effect->animation()->state() == QAbstractAnimation::Running)
        return effect->animation()->endValue().toInt();
    return effect->processValue();
}

// The delete buttons work only while the pointer is over the row.
inline void press(QWidget *row, const char *button)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(row, &enter);
    child<QPushButton>(row, button)->click();
}

// Runs the event loop until condition holds or the bound is up; the caller checks what came
// of it.
template <typename Condition> void waitUntil(Condition condition)
{
    static_cast<void>(QTest::qWaitFor(condition, kWaitMs));
}

// True once the row's job has reported: the fill then heads for full. sinceBefore, when given,
// runs from the last look that saw no result yet, so the result came after its start.
inline bool waitForResult(QWidget *row, QElapsedTimer *sinceBefore = nullptr)
{
    return QTest::qWaitFor(
        [row, sinceBefore] {
            if (fill(row) == 5000)
                return true;
            if (sinceBefore)
                sinceBefore->start();
            return false;
        },
        kWaitMs);
}

// The state page of a converting row once it shows its result (the converting page when no
// result came within the bound), so that a wrong result fails at once.
inline int resultPage(QWidget *row)
{
    waitUntil([row] {
        return statePage(row) == RowPresentation::SucceededPage ||
               statePage(row) == RowPresentation::FailedPage;
    });
    return statePage(row);
}

// The page count a row shows once it has one.
inline QString shownPageCount(QWidget *row)
{
    waitUntil([row] { return labelText(row, "label_InputFilePages") != "读取中"; });
    return labelText(row, "label_InputFilePages");
}

// Runs the event loop until a result hold that began before this object is over, however
// late the machine runs timers: it waits for a timer of twice the hold, started after it.
class HoldOver
{
public:
    HoldOver()
    {
        QTimer::singleShot(2 * RowPresentation::kResultHoldMs, &m_context,
                           [this] { m_over = true; });
    }
    bool wait()
    {
        return QTest::qWaitFor([this] { return m_over; }, kWaitMs);
    }

private:
    QObject m_context;
    bool m_over = false;
};

} // namespace WorkspaceTest
