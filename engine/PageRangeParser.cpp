#include "PageRangeParser.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <set>

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

// Calls visit for every selected number; the wide counter keeps a range ending at the
// largest int from running forever.
template <typename Visit> void forEachPage(const PageItem &page, Visit visit)
{
    for (qint64 number = page.low; number <= page.high; ++number)
        visit(static_cast<int>(number));
}

} // namespace

QVector<int> parsePageList(const QString &text, int limit)
{
    QVector<int> pages;
    for (const ItemSpan &span : itemSpans(text)) {
        const PageItem page = readItem(text.mid(span.start, span.length), limit);
        if (page.valid)
            forEachPage(page, [&pages](int number) { pages.append(number); });
    }
    return pages;
}

QString normalizePageSelection(const QString &text, int pageCount)
{
    const QString wholeDocument = QStringLiteral("1-") + QString::number(pageCount);
    if (text.isEmpty())
        return wholeDocument;
    const int aboveCount = pageCount == std::numeric_limits<int>::max() ? pageCount : pageCount + 1;
    QVector<int> pages = parsePageList(text, aboveCount);
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());

    QStringList selected;
    for (int page : pages) {
        if (page > pageCount)
            break;
        if (page > 0)
            selected.append(QString::number(page));
    }
    return selected.isEmpty() ? wholeDocument : selected.join(QLatin1Char(','));
}

int countSelectedPages(QString &text, int limit)
{
    if (text.isEmpty())
        return 0;
    std::set<int> selected;
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
            continue;
        }
        forEachPage(page, [&selected](int number) { selected.insert(number); });
        if (page.needsCorrection)
            corrected.replace(span.start, span.length, page.correction());
    }
    text = corrected;
    return static_cast<int>(selected.size());
}

int invertPageSelection(QString &text, int pageCount)
{
    if (text.isEmpty())
        return 0;
    std::set<int> remaining;
    for (int page = 1; page <= pageCount; ++page)
        remaining.insert(page);
    for (const ItemSpan &span : itemSpans(text)) {
        const PageItem page = readItem(text.mid(span.start, span.length), pageCount);
        if (page.valid)
            forEachPage(page, [&remaining](int number) { remaining.erase(number); });
    }

    QVector<int> pages(remaining.begin(), remaining.end());
    if (pages.isEmpty() && pageCount > 0)
        pages.append(1);
    text = formatPageRanges(pages);
    return static_cast<int>(remaining.size());
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
