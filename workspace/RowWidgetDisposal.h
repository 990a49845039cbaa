#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>

#include <deque>

class QListWidget;

// Lets go of a list's row widgets without holding the window. A row with its form is some
// eighty widgets, and destroying a hundred such rows in one turn of the event loop keeps the
// window from answering for a noticeable moment; on a busy machine even a few of them do. A
// row let go is hidden at once and destroyed over later turns, at most one row with its form
// a turn (rows whose form was never built go many at a time), so the window paints and
// answers in between.
//
// As the list's item delegate it draws the items as the default delegate does, and it also
// takes the row widgets that the list itself lets go when items are removed or the list is
// cleared: left to themselves, those would all be destroyed in the next turn.
class RowWidgetDisposal : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // At most this many widgets are destroyed in one turn, unless a single row has more.
    static constexpr int kWidgetsPerTurn = 100;

    // Becomes the item delegate of list, which owns it.
    explicit RowWidgetDisposal(QListWidget *list);

    // Hides row now and destroys it in a later turn of the event loop.
    void dispose(QWidget *row);

    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

private:
    void destroySome();

    std::deque<QPointer<QWidget>> m_rows;
    QTimer m_nextTurn;
};
