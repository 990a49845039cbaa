#include "PageRangeParser.h"

#include <QtTest>

#include <limits>

using Pages = QVector<int>;
Q_DECLARE_METATYPE(Pages)

class PageRangeParserTest : public QObject
{
    Q_OBJECT

private slots:
    void parsePageList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<Pages>("expected");
        QTest::newRow("pages and ranges") << "1-3,5" << 10 << Pages{1, 2, 3, 5};
        QTest::newRow("tilde, reversed") << "5~3" << 10 << Pages{3, 4, 5};
        QTest::newRow("range over limit") << "8-20" << 10 << Pages{8, 9, 10};
        QTest::newRow("page over limit") << "30" << 10 << Pages{10};
        QTest::newRow("range wholly over limit") << "12-15" << 10 << Pages{10};
        QTest::newRow("full-width separators") << "1；2，3" << 10 << Pages{1, 2, 3};
        QTest::newRow("empty items skipped") << ",,2;;,4," << 10 << Pages{2, 4};
        QTest::newRow("order and duplicates kept") << "3,1,3" << 10 << Pages{3, 1, 3};
        QTest::newRow("three parts invalid") << "1-2-3" << 10 << Pages{};
        QTest::newRow("trailing dash after range") << "1-2-" << 10 << Pages{1, 2};
        QTest::newRow("open range is one page") << "4-" << 10 << Pages{4};
        QTest::newRow("not a number") << "abc" << 10 << Pages{0};
        QTest::newRow("leading dash") << "-3" << 10 << Pages{0, 1, 2, 3};
        QTest::newRow("empty") << "" << 10 << Pages{};
        QTest::newRow("range up to the largest int")
            << "2147483646-2147483647" << std::numeric_limits<int>::max()
            << Pages{2147483646, 2147483647};
    }

    void parsePageList()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(Pages, expected);
        QCOMPARE(::parsePageList(text, limit), expected);
    }

    // A selection of more pages than any document has is cut, rather than listed until the
    // memory runs out.
    void longSelectionsAreCut()
    {
        const int largest = std::numeric_limits<int>::max();
        const Pages pages = ::parsePageList("5,1-2147483647", largest);
        QCOMPARE(pages.size(), maximumListedPages);
        QCOMPARE(pages.mid(0, 3), (Pages{5, 1, 2}));
        QCOMPARE(pages.last(), maximumListedPages - 1);

        const QStringList listed = ::normalizePageSelection("1-2147483647", largest).split(',');
        QCOMPARE(listed.size(), maximumListedPages);
        QCOMPARE(listed.last(), QString::number(maximumListedPages));
    }

    void normalizePageSelection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sorted, unique") << "3,1-2,2" << 10 << "1,2,3";
        QTest::newRow("nothing in range") << "0,12" << 10 << "1-10";
        QTest::newRow("empty") << "" << 10 << "1-10";
        QTest::newRow("cut at the count") << "9-30" << 10 << "9,10";
        QTest::newRow("zero skipped") << "0-2" << 10 << "1,2";
        QTest::newRow("overlapping ranges") << "4-6,1-2,5-7" << 10 << "1,2,4,5,6,7";
        QTest::newRow("a long range far beyond a large count")
            << "2147483640-2147483647,3-2147483647" << 5 << "3,4,5";
    }

    void normalizePageSelection()
    {
        QFETCH(QString, text);
        QFETCH(int, pageCount);
        QFETCH(QString, expected);
        QCOMPARE(::normalizePageSelection(text, pageCount), expected);
    }

    void countSelectedPages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("reversed range") << "5-3;7" << 10 << 4 << "3-5;7";
        QTest::newRow("invalid item removed") << "1-2-3,4" << 10 << 1 << "4";
        QTest::newRow("invalid item with full-width separator")
            << "4；1-2-3，5" << 10 << 2 << "4；5";
        QTest::newRow("only the item itself") << "15-30,5-3" << 40 << 19 << "15-30,3-5";
        QTest::newRow("item inside a later item") << "5-3,15-30" << 40 << 19 << "3-5,15-30";
        QTest::newRow("clamped to the limit") << "8-20,30" << 10 << 3 << "8-10,10";
        QTest::newRow("tilde rewritten with dash") << "9~2" << 10 << 8 << "2-9";
        QTest::newRow("open range") << "4-" << 10 << 1 << "4";
        QTest::newRow("equal ends") << "6-6" << 10 << 1 << "6";
        QTest::newRow("correct text unchanged") << "1-3，5；7" << 10 << 5 << "1-3，5；7";
        QTest::newRow("zero counts") << "0,1" << 10 << 2 << "0,1";
        QTest::newRow("page at the limit written otherwise") << "010" << 10 << 1 << "010";
        QTest::newRow("empty") << "" << 10 << 0 << "";
        // Counted from the ranges themselves, not page by page.
        QTest::newRow("every int") << "1-2147483647" << std::numeric_limits<int>::max()
                                   << std::numeric_limits<int>::max() << "1-2147483647";
        // Zero to the largest int is one more page than an int counts.
        QTest::newRow("more pages than an int counts")
            << "-2147483647" << std::numeric_limits<int>::max() << std::numeric_limits<int>::max()
            << "-2147483647";
        QTest::newRow("overlapping long ranges")
            << "1-2000000000,1000000000-2147483647,7" << std::numeric_limits<int>::max()
            << std::numeric_limits<int>::max() << "1-2000000000,1000000000-2147483647,7";
    }

    void countSelectedPages()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(int, expected);
        QFETCH(QString, corrected);
        QCOMPARE(::countSelectedPages(text, limit), expected);
        QCOMPARE(text, corrected);
    }

    void invertPageSelection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("inverted");
        QTest::newRow("middle selected") << "2-3" << 5 << 3 << "1,4-5";
        QTest::newRow("all selected") << "1-5" << 5 << 0 << "1";
        QTest::newRow("scattered") << "1,3,5" << 6 << 3 << "2,4,6";
        QTest::newRow("over the count") << "4-99" << 5 << 3 << "1-3";
        QTest::newRow("no pages") << "1" << 0 << 0 << "";
        QTest::newRow("empty text untouched") << "" << 5 << 0 << "";
        QTest::newRow("overlapping and touching") << "2-4,3-5,6" << 8 << 3 << "1,7-8";
        QTest::newRow("last page only") << "5" << 5 << 4 << "1-4";
        QTest::newRow("last run starts at the last page") << "2,5-9" << 5 << 3 << "1,3-4";
        QTest::newRow("first page only") << "1" << 5 << 4 << "2-5";
        QTest::newRow("runs out of order") << "4,2" << 5 << 3 << "1,3,5";
        QTest::newRow("page zero") << "0" << 3 << 3 << "1-3";
        QTest::newRow("leading dash reaches from zero") << "-3" << 5 << 2 << "4-5";
        QTest::newRow("invalid item only") << "1-2-3" << 3 << 3 << "1-3";
        QTest::newRow("one page, selected") << "1" << 1 << 0 << "1";
        QTest::newRow("the largest count")
            << "2-2147483646" << std::numeric_limits<int>::max() << 2 << "1,2147483647";
    }

    void invertPageSelection()
    {
        QFETCH(QString, text);
        QFETCH(int, pageCount);
        QFETCH(int, expected);
        QFETCH(QString, inverted);
        QCOMPARE(::invertPageSelection(text, pageCount), expected);
        QCOMPARE(text, inverted);
    }

    void formatPageRanges_data()
    {
        QTest::addColumn<Pages>("pages");
        QTest::addColumn<QString>("expected");
        QTest::newRow("runs and singles") << Pages{7, 1, 2, 3, 5, 8} << "1-3,5,7-8";
        QTest::newRow("duplicates") << Pages{1, 1, 2} << "1,1-2";
        QTest::newRow("single") << Pages{4} << "4";
        QTest::newRow("empty") << Pages{} << "";
        QTest::newRow("far apart")
            << Pages{std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max()}
            << "-2147483648,0,2147483647";
    }

    void formatPageRanges()
    {
        QFETCH(Pages, pages);
        QFETCH(QString, expected);
        QCOMPARE(::formatPageRanges(pages), expected);
        QVERIFY(std::is_sorted(pages.begin(), pages.end()));
    }
};

QTEST_GUILESS_MAIN(PageRangeParserTest)
#include "tst_PageRangeParser.moc"
