#include "PageCountQueue.h"

#include <QThread>

#include <utility>

PageCountQueue &PageCountQueue::instance()
{
    static PageCountQueue queue(qMax(2, QThread::idealThreadCount()));
    return queue;
}

PageCountQueue &PageCountQueue::officeInstance()
{
    static PageCountQueue queue(2);
    return queue;
}

PageCountQueue::PageCountQueue(int limit) : m_limit(qMax(1, limit)) {}

void PageCountQueue::request(const void *owner, Start start)
{
    if (m_waiting.contains(owner))
        return;
    if (m_running.contains(owner)) {
        start(); // the owner holds its place already
        return;
    }
    if (m_running.size() < m_limit && m_waiting.isEmpty()) {
        m_running.insert(owner);
        start();
        return;
    }
    m_order.push_back(owner);
    m_waiting.insert(owner, std::move(start));
}

void PageCountQueue::release(const void *owner)
{
    m_waiting.remove(owner);
    if (m_running.remove(owner))
        startWaiting();
}

void PageCountQueue::startWaiting()
{
    while (m_running.size() < m_limit && !m_order.empty()) {
        const void *owner = m_order.front();
        m_order.pop_front();
        auto waiting = m_waiting.find(owner);
        if (waiting == m_waiting.end())
            continue; // gave up its turn
        const Start start = std::move(waiting.value());
        m_waiting.erase(waiting);
        m_running.insert(owner);
        start();
    }
    if (m_waiting.isEmpty())
        m_order.clear();
}
