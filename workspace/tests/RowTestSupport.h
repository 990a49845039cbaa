#pragma once

#include "BackgroundProcessAnimationEffect.h"
#include "WorkspaceTestSupport.h"

#include <QPropertyAnimation>
#include <QStackedWidget>
#include <QtTest>

// Reading and driving a conversion row of either page, as the user sees and presses it.
namespace WorkspaceTest {

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

// True once the row's job has reported: the fill then heads for full.
inline bool waitForResult(QWidget *row)
{
    return QTest::qWaitFor([row] { return fill(row) == 5000; }, 10000);
}

} // namespace WorkspaceTest
