#include "IniLineRepair.h"

#include <QtTest>

// Each line is scanned as Qt's INI reader scans it; only a line that would run on into the
// next one changes.
class IniLineRepairTest : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("repaired");
        QTest::newRow("sound") << QByteArray("[a]\nk=v\n") << QByteArray("[a]\nk=v\n");
        QTest::newRow("escaped quote inside quotes")
            << QByteArray("k=\"a\\\"b\"\nx=1\n") << QByteArray("k=\"a\\\"b\"\nx=1\n");
        QTest::newRow("escaped quote leaves the quotes open")
            << QByteArray("k=\"a\\\"\nx=1\n") << QByteArray("k=\"a\\\"\"\nx=1\n");
        QTest::newRow("trailing backslash")
            << QByteArray("k=a\\\nx=1\n") << QByteArray("k=a\nx=1\n");
        QTest::newRow("escaped backslash at the end")
            << QByteArray("k=a\\\\\nx=1\n") << QByteArray("k=a\\\\\nx=1\n");
        QTest::newRow("quote in a comment")
            << QByteArray("k=a ; say \"hi\nx=1\n") << QByteArray("k=a ; say \"hi\nx=1\n");
        QTest::newRow("semicolon inside closed quotes")
            << QByteArray("k=\"a;b\"\nx=1\n") << QByteArray("k=\"a;b\"\nx=1\n");
        QTest::newRow("semicolon inside quotes")
            << QByteArray("k=\"a;b\nx=1\n") << QByteArray("k=\"a;b\"\nx=1\n");
        QTest::newRow("comment line")
            << QByteArray("; \"open\nx=1\n") << QByteArray("; \"open\nx=1\n");
        QTest::newRow("two quotes close")
            << QByteArray("k=\"a\" \"b\nx=1\n") << QByteArray("k=\"a\" \"b\"\nx=1\n");
        QTest::newRow("carriage returns kept")
            << QByteArray("k=\"a\r\nx=1\r\n") << QByteArray("k=\"a\"\r\nx=1\r\n");
        QTest::newRow("last line without line end")
            << QByteArray("x=1\nk=\"a") << QByteArray("x=1\nk=\"a\"");
        QTest::newRow("open quote and trailing backslash")
            << QByteArray("k=\"ab\\\n") << QByteArray("k=\"ab\"\n");
        QTest::newRow("empty lines") << QByteArray("\n\n") << QByteArray("\n\n");
    }

    void lines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, repaired);
        QCOMPARE(withSelfContainedLines(content), repaired);
    }
};

QTEST_GUILESS_MAIN(IniLineRepairTest)
#include "tst_IniLineRepair.moc"
