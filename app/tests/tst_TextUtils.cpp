#include "TextUtils.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

class TextUtilsTest : public QObject
{
    Q_OBJECT

private slots:
    void formatFileSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << qint64(0) << "0B";
        QTest::newRow("negative") << qint64(-5) << "-5B";
        QTest::newRow("1023") << qint64(1023) << "1023B";
        QTest::newRow("1024") << qint64(1024) << "1.00KB";
        QTest::newRow("1536") << qint64(1536) << "1.50KB";
        QTest::newRow("just below a mega") << qint64(1048575) << "1024.00KB";
        QTest::newRow("1048576") << qint64(1048576) << "1.00MB";
        QTest::newRow("1073741824") << qint64(1073741824) << "1.00G";
        QTest::newRow("5 terabytes") << qint64(5) * 1024 * 1024 * 1024 * 1024 << "5120.00G";
    }

    void formatFileSize()
    {
        QFETCH(qint64, size);
        QFETCH(QString, expected);
        QCOMPARE(::formatFileSize(size), expected);
    }

    void uuidTextsAreBareAndDistinct()
    {
        QSet<QString> seen;
        for (int i = 0; i < 100; ++i) {
            const QString uuid = newUuidString();
            QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(uuid).hasMatch(), qPrintable(uuid));
            seen.insert(uuid);
        }
        QCOMPARE(seen.size(), 100);
    }

    void sequenceWrapsAfter999()
    {
        QCOMPARE(nextSequenceNumber(), 1);
        QCOMPARE(nextSequenceNumber(), 2);
        for (int i = 3; i <= 999; ++i)
            nextSequenceNumber();
        QCOMPARE(nextSequenceNumber(), 0);
        QCOMPARE(nextSequenceNumber(), 1);
    }

    void valueForMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("0") << 0 << 60;
        QTest::newRow("1") << 1 << 40;
        QTest::newRow("2") << 2 << 20;
        QTest::newRow("-1") << -1 << 40;
    }

    void valueForMode()
    {
        QFETCH(int, mode);
        QFETCH(int, expected);
        QCOMPARE(::valueForMode(mode), expected);
    }

    void timestampHasMilliseconds()
    {
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d{3}$")
                    .match(timestampText())
                    .hasMatch());
        QVERIFY(emptyString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TextUtilsTest)
#include "tst_TextUtils.moc"
