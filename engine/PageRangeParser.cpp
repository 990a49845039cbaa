#include "PageRangeParser.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// Where one item stands in the selection text.
struct ItemSpan
{
    int start;
    int length;
};

bool isItemSeparator(QChar c)
{
    return c == QLatin1Char(';') || c == QChar(0xFF1B) || c == QLatin1Char(',') ||
           c == QChar(0xFF0C);
}

// The non-empty items, in text order.
QVector<ItemSpan> itemSpans(const QString &text)
{
    QVector<ItemSpan> spans;
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isItemSeparator(text.at(i)))
            continue;
        if (i > start)
            spans.append({start, i - start});
        start = i + 1;
    }
    return spans;
}

struct PageItem
{
    bool valid = false;
    int low = 0;
    int high = 0;
    bool needsCorrection = false;

    QString correction() const
    {
        return low == high ? QString::number(low)
                           : QString::number(low) + QLatin1Char('-') + QString::number(high);
    }
};

PageItem readItem(const QString &item, int limit)
{
    static const QRegularExpression rangeMark(QStringLiteral("[-~]"));
    const QStringList parts = item.split(rangeMark);
    PageItem page;
    if (parts.size() == 1) {
        page.valid = true;
        page.low = page.high = parts.at(0).toInt();
        if (page.low > limit) {
            page.low = page.high = limit;
            page.needsCorrection = true;
        }
        return page;
    }
    if (parts.size() > 3 || (parts.size() == 3 && !parts.at(2).isEmpty()))
        return page;

    page.valid = true;
    page.low = parts.at(0).toInt();
    if (parts.at(1).isEmpty()) {
        page.high = page.low;
        page.needsCorrection = true;
    } else {
        page.high = parts.at(1).toInt();
        if (page.high < page.low) {
            std::swap(page.low, page.high);
            page.needsCorrection = true;
        } else if (page.high == page.low) {
            page.needsCorrection = true;
        }
    }
    if (page.low > limit) {
        page.low = page.high = limit;
        page.needsCorrection = true;
    } else if (page.high > limit) {
        page.high = limit;
        page.needsCorrection = true;
    }
    return page;
}

// A set of page numbers kept as its runs, so that a range as long as the largest int costs
// no more than a single page.
struct PageRun
{
    qint64 low;
    qint64 high;
};
using PageRuns = std::vector<PageRun>;

// The union of what the valid items of text select, against limit: sorted runs that
// neither overlap nor touch.
PageRuns selectedRuns(const QString &text, int limit)
{
    PageRuns runs;
    for (const ItemSpan &span : itemSpans(text)) {
        const PageItem page = readItem(text.mid(span.start, span.length), limit);
        if (page.valid)
            runs.push_back({page.low, page.high});
    }
    std::sort(runs.begin(), runs.end(),
              [](const PageRun &a, const PageRun &b) { return a.low < b.low; });
    PageRuns merged;
    for (const PageRun &run : runs) {
        if (!merged.empty() && run.low <= merged.back().high + 1)
            merged.back().high = std::max(merged.back().high, run.high);
        else
            merged.push_back(run);
    }
    return merged;
}

qint64 pagesIn(const PageRuns &runs)
{
    qint64 count = 0;
    for (const PageRun &run : runs)
        count += run.high - run.low + 1;
    return count;
}

int clampedToInt(qint64 value)
{
    return static_cast<int>(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

// The pages of 1 to pageCount that no run holds.
PageRuns missingRuns(const PageRuns &runs, int pageCount)
{
    PageRuns missing;
    qint64 next = 1;
    for (const PageRun &run : runs) {
        if (run.high < next)
            continue;
        if (run.low > pageCount)
            break;
        if (run.low > next)
            missing.push_back({next, run.low - 1});
        next = run.high + 1;
    }
    if (next <= pageCount)
        missing.push_back({next, pageCount});
    return missing;
}

QString runsText(const PageRuns &runs)
{
    QStringList parts;
    for (const PageRun &run : runs) {
        parts.append(run.low == run.high ? QString::number(run.low)
                                         : QStringLiteral("%1-%2").arg(run.low).arg(run.high));
    }
    return parts.join(QLatin1Char(','));
}

} // namespace

QVector<int> parsePageList(const QString &text, int limit)
{
    QVector<int> pages;
    for (const ItemSpan &span : itemSpans(text)) {
        const PageItem page = readItem(text.mid(span.start, span.length), limit);
        if (!page.valid)
            continue;
        // The wide counter keeps a range ending at the largest int from running forever.
        for (qint64 number = page.low; number <= page.high; ++number) {
            if (pages.size() == maximumListedPages)
                return pages;
            pages.append(static_cast<int>(number));
        }
    }
    return pages;
}

QString normalizePageSelection(const QString &text, int pageCount)
{
    const QString wholeDocument = QStringLiteral("1-") + QString::number(pageCount);
    if (text.isEmpty())
        return wholeDocument;
    const int aboveCount = pageCount == std::numeric_limits<int>::max() ? pageCount : pageCount + 1;
    QStringList selected;
    for (const PageRun &run : selectedRuns(text, aboveCount)) {
        for (qint64 page = std::max<qint64>(run.low, 1);
             page <= std::min<qint64>(run.high, pageCount) && selected.size() < maximumListedPages;
             ++page)
            selected.append(QString::number(page));
    }
    return selected.isEmpty() ? wholeDocument : selected.join(QLatin1Char(','));
}

int countSelectedPages(QString &text, int limit)
{
    if (text.isEmpty())
        return 0;
    const QVector<ItemSpan> spans = itemSpans(text);
    QString corrected = text;
    // Each correction replaces its own item only, so "5-3" turning into "3-5" leaves an
    // item such as "15-30" alone. Walking backwards keeps the earlier spans in place.
    for (int i = spans.size() - 1; i >= 0; --i) {
        const ItemSpan &span = spans.at(i);
        const PageItem page = readItem(text.mid(span.start, span.length), limit);
        if (!page.valid) {
            const int end = span.start + span.length;
            const bool separatorFollows = end < text.size() && isItemSeparator(text.at(end));
            corrected.remove(span.start, span.length + (separatorFollows ? 1 : 0));
        } else if (page.needsCorrection) {
            corrected.replace(span.start, span.length, page.correction());
        }
    }
    const int count = clampedToInt(pagesIn(selectedRuns(text, limit)));
    text = corrected;
    return count;
}

int invertPageSelection(QString &text, int pageCount)
{
    if (text.isEmpty())
        return 0;
    const PageRuns missing = missingRuns(selectedRuns(text, pageCount), pageCount);
    if (missing.empty())
        text = pageCount > 0 ? QStringLiteral("1") : QString();
    else
        text = runsText(missing);
    return clampedToInt(pagesIn(missing));
}

QString formatPageRanges(QVector<int> &pages)
{
    std::sort(pages.begin(), pages.end());
    if (pages.isEmpty())
        return QString();
    QString text = QString::number(pages.first());
    for (int i = 1; i < pages.size(); ++i) {
        const qint64 step = qint64(pages.at(i)) - pages.at(i - 1);
        if (step == 1) {
            if (!text.endsWith(QLatin1Char('-')))
                text += QLatin1Char('-');
            continue;
        }
        if (text.endsWith(QLatin1Char('-')))
            text += QString::number(pages.at(i - 1));
        text += QLatin1Char(',') + QString::number(pages.at(i));
    }
    if (text.endsWith(QLatin1Char('-')))
        text += QString::number(pages.last());
    return text;
}
