#pragma once

#include <QHash>
#include <QSet>

#include <deque>
#include <functional>

// Lets a bounded number of page-count workers run at once, in the order they were asked
// for, so that a folder of thousands of files neither runs out of descriptors nor buries the
// machine under threads and engines. Conversions do not pass through it. GUI thread only.
class PageCountQueue
{
public:
    using Start = std::function<void()>;

    // The queue of the program's page counts; its limit is the machine's core count.
    static PageCountQueue &instance();
    // The queue of the counts of Office files, which may go through LibreOffice: two at once.
    static PageCountQueue &officeInstance();

    explicit PageCountQueue(int limit);
    PageCountQueue(const PageCountQueue &) = delete;
    PageCountQueue &operator=(const PageCountQueue &) = delete;

    // Calls start for owner now when owner holds a place or there is room, or else once an
    // earlier owner is done; a second request of an owner still waiting is ignored.
    void request(const void *owner, Start start);
    // owner's engine has ended, or owner is going away: its place (or its turn) is given up.
    void release(const void *owner);

    int limit() const { return m_limit; }
    int running() const { return m_running.size(); }
    int waiting() const { return m_waiting.size(); }

private:
    void startWaiting();

    int m_limit;
    QSet<const void *> m_running;
    // The order of the requests; owners that gave up their turn are skipped when met.
    std::deque<const void *> m_order;
    QHash<const void *, Start> m_waiting;
};
