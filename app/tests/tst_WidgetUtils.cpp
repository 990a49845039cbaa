#include "WidgetUtils.h"

#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <QtTest>

class WidgetUtilsTest : public QObject
{
    Q_OBJECT

private slots:
    void elideText_data()
    {
        QTest::addColumn<int>("extraWidth"); // limit relative to the text's own width
        QTest::addColumn<bool>("unchanged");
        QTest::newRow("wider limit") << 10 << true;
        QTest::newRow("limit one more than the text") << 1 << true;
        QTest::newRow("limit equal to the text: it still fits") << 0 << true;
        QTest::newRow("narrower limit") << -30 << false;
        QTest::newRow("far narrower limit") << -150 << false;
    }

    // Cut short, the text keeps as much of its beginning as fits with the ellipsis.
    void elideText()
    {
        QFETCH(int, extraWidth);
        QFETCH(bool, unchanged);
        const QFont font;
        const QFontMetrics metrics(font);
        const QString text = "一份很长的文件名 with latin text.pdf";
        const int width = metrics.horizontalAdvance(text) + extraWidth;
        const QString result = ::elideText(font, text, width);
        if (unchanged) {
            QCOMPARE(result, text);
            return;
        }
        const QChar ellipsis(0x2026);
        QVERIFY2(result.endsWith(ellipsis), qPrintable(result));
        const QString kept = result.chopped(1);
        QVERIFY2(!kept.isEmpty() && text.startsWith(kept), qPrintable(result));
        QVERIFY(metrics.horizontalAdvance(result) <= width);
        const QString oneMore = text.left(kept.size() + 1) + ellipsis;
        QVERIFY2(metrics.horizontalAdvance(oneMore) > width, qPrintable(oneMore));
    }

    void centerOnWidget_data()
    {
        QTest::addColumn<QSize>("reference");
        QTest::addColumn<QSize>("widget");
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("smaller widget") << QSize(400, 300) << QSize(101, 51) << QPoint(149, 124);
        QTest::newRow("larger widget") << QSize(100, 100) << QSize(301, 201) << QPoint(-100, -50);
    }

    void centerOnWidget()
    {
        QFETCH(QSize, reference);
        QFETCH(QSize, widget);
        QFETCH(QPoint, offset);
        QWidget ref;
        ref.setGeometry(QRect(QPoint(70, 40), reference));
        QWidget window;
        window.resize(widget);

        ::centerOnWidget(&window, &ref, true);
        QCOMPARE(window.pos(), offset);
        ::centerOnWidget(&window, &ref, false);
        QCOMPARE(window.pos(), ref.mapToGlobal(offset));
        ::centerOnWidget(nullptr, &ref, true);
        ::centerOnWidget(&window, nullptr, true);
        QCOMPARE(window.pos(), ref.mapToGlobal(offset));
    }

    void roundedPixmap()
    {
        QVERIFY(::roundedPixmap(QPixmap(), QSize(10, 10), 3).isNull());

        QPixmap red(7, 3);
        red.fill(Qt::red);
        const QImage image = ::roundedPixmap(red, QSize(40, 20), 8).toImage();
        QCOMPARE(image.size(), QSize(40, 20));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(39, 19)), 0);
        QCOMPARE(image.pixelColor(20, 10), QColor(Qt::red));
        QCOMPARE(image.pixelColor(20, 0), QColor(Qt::red));
    }

    void yaheiWidthGrowsWithPixelSize()
    {
        QVERIFY(yaheiTextWidth("文件转换", 12) > 0);
        QVERIFY(yaheiTextWidth("文件转换", 24) > yaheiTextWidth("文件转换", 12));
        QCOMPARE(yaheiTextWidth("", 12), 0);
    }
};

QTEST_MAIN(WidgetUtilsTest)
#include "tst_WidgetUtils.moc"
