#pragma once

#include <QString>
#include <QVector>

// Page selections typed by a user, such as "1-3,5；8~9": items separated by ";", "；",
// "," or "，", each a page or a range written with "-" or "~".

// Far more pages than any document has. A selection that lists more pages is cut after this
// many, so that a range up to the largest int cannot exhaust the memory.
constexpr int maximumListedPages = 1000000;

// The selected page numbers in text order, duplicates kept; numbers above limit read as
// limit. At most maximumListedPages numbers, the first ones.
QVector<int> parsePageList(const QString &text, int limit);
// Every selected page of 1 to pageCount once, ascending, joined by ","; "1-" + pageCount
// when the text is empty or selects nothing in range. At most maximumListedPages pages, the
// lowest ones.
QString normalizePageSelection(const QString &text, int pageCount);
// The number of distinct selected pages; corrects each item of text in place (reversed or
// out-of-limit ranges rewritten, invalid items removed).
int countSelectedPages(QString &text, int limit);
// Replaces text with the pages of 1 to pageCount that it does not select; returns their
// number.
int invertPageSelection(QString &text, int pageCount);
// "1-3,5,7-8"; sorts pages in place.
QString formatPageRanges(QVector<int> &pages);
