#include "RowWidgetDisposal.h"

#include <QListWidget>

RowWidgetDisposal::RowWidgetDisposal(QListWidget *list) : QStyledItemDelegate(list)
{
    list->setItemDelegate(this);
    m_nextTurn.setSingleShot(true);
    m_nextTurn.setInterval(0);
    connect(&m_nextTurn, &QTimer::timeout, this, &RowWidgetDisposal::destroySome);
}

void RowWidgetDisposal::dispose(QWidget *row)
{
    if (!row)
        return;
    row->hide();
    m_rows.emplace_back(row);
    m_nextTurn.start();
}

void RowWidgetDisposal::destroyEditor(QWidget *editor, const QModelIndex &) const
{
    // The list hands over its row widgets through this hook, which is const only because
    // the delegate's drawing is.
    const_cast<RowWidgetDisposal *>(this)->dispose(editor);
}

void RowWidgetDisposal::destroySome()
{
    // Destroyed as deleteLater() does, so that a row is never destroyed beneath a call of its
    // own that runs a nested event loop.
    int widgets = 0;
    while (!m_rows.empty()) {
        const QPointer<QWidget> row = m_rows.front();
        if (row) {
            const int rowWidgets = 1 + row->findChildren<QWidget *>().size();
            if (widgets > 0 && widgets + rowWidgets > kWidgetsPerTurn)
                break;
            widgets += rowWidgets;
            row->deleteLater();
        }
        m_rows.pop_front();
    }
    if (!m_rows.empty())
        m_nextTurn.start();
}
