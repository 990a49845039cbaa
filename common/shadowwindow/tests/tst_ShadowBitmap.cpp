#include "ShadowBitmap.h"
#include "ShadowRegistry.h"

#include <QtTest>

#include <cmath>
#include <sys/resource.h>
#include <unistd.h>

namespace {

ShadowParameters dialogParameters()
{
    ShadowParameters p;
    p.size = 5;
    p.sharpness = 19;
    p.darkness = 100;
    p.xOffset = 1;
    p.yOffset = 1;
    p.color = 0x5F5D5C;
    return p;
}

ShadowParameters parameters(int size, int sharpness, int darkness, int x, int y, uint32_t color)
{
    ShadowParameters p;
    p.size = int8_t(size);
    p.sharpness = uint8_t(sharpness);
    p.darkness = uint8_t(darkness);
    p.xOffset = int8_t(x);
    p.yOffset = int8_t(y);
    p.color = color;
    return p;
}

// A rectangle whose four corners are cut round with the given radius.
bool insideRounded(int x, int y, int width, int height, int radius)
{
    const int cx = x < radius ? radius : (x >= width - radius ? width - radius - 1 : x);
    const int cy = y < radius ? radius : (y >= height - radius ? height - radius - 1 : y);
    const int dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

// Holds the process's address space to a little more than it uses now, so that a large
// allocation really fails; the old limit comes back at the end of the scope.
class TightAddressSpace
{
public:
    explicit TightAddressSpace(size_t headroom)
    {
        if (getrlimit(RLIMIT_AS, &saved_) != 0)
            return;
        rlimit tight = saved_;
        tight.rlim_cur = rlim_t(addressSpaceInUse() + headroom);
        if (saved_.rlim_cur != RLIM_INFINITY && saved_.rlim_cur < tight.rlim_cur)
            return;
        active_ = setrlimit(RLIMIT_AS, &tight) == 0;
    }
    ~TightAddressSpace()
    {
        if (active_)
            setrlimit(RLIMIT_AS, &saved_);
    }
    TightAddressSpace(const TightAddressSpace &) = delete;
    TightAddressSpace &operator=(const TightAddressSpace &) = delete;
    bool active() const { return active_; }

private:
    static size_t addressSpaceInUse()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return 0;
        const size_t pages = statm.readAll().split(' ').value(0).toULongLong();
        return pages * size_t(sysconf(_SC_PAGESIZE));
    }

    rlimit saved_{};
    bool active_ = false;
};

} // namespace

Q_DECLARE_METATYPE(ShadowParameters)

class TestShadowBitmap : public QObject
{
    Q_OBJECT

private slots:
    void dialogShadowGoldenRow();
    void shadowProperties_data();
    void shadowProperties();
    void sizeWithoutAreaRendersNothing_data();
    void sizeWithoutAreaRendersNothing();
    void failedAllocationRendersNothing();
    void roundedParentCastsRoundedShadow();
    void parentSpans();
    void pictureModeKeepsCornersAndClearsHole();
    void registryOperations();
};

void TestShadowBitmap::dialogShadowGoldenRow()
{
    ShadowBitmap bitmap;
    QVERIFY(bitmap.render(100, 60, ShadowBitmap::rectangleSpans(100, 60), dialogParameters()));
    QCOMPARE(bitmap.width(), 110);
    QCOMPARE(bitmap.height(), 70);

    QVector<int> row;
    for (int x = 0; x < bitmap.width(); ++x)
        row << bitmap.alphaAt(x, 35);
    QVector<int> expected{5, 9, 15, 19};
    expected += QVector<int>(100, 0);
    expected += QVector<int>{30, 25, 19, 15, 9, 5};
    QCOMPARE(row, expected);
    QCOMPARE(bitmap.pixel(0, 35), ShadowBitmap::premultiplied(0x5F5D5C, 5));
}

void TestShadowBitmap::shadowProperties_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cornerRadius");
    QTest::addColumn<ShadowParameters>("parameters");

    QTest::newRow("dialog") << 100 << 60 << 0 << dialogParameters();
    QTest::newRow("defaults") << 80 << 50 << 0 << ShadowParameters();
    QTest::newRow("wide reach") << 64 << 40 << 0 << parameters(12, 4, 255, -20, 20, 0x00FF8040);
    QTest::newRow("negative size") << 70 << 70 << 0 << parameters(-6, 8, 200, 20, 20, 0x123456);
    QTest::newRow("rounded parent") << 90 << 70 << 16 << parameters(5, 10, 180, 2, 4, 0xFFFFFF);
    QTest::newRow("offset beyond size") << 40 << 30 << 0 << parameters(2, 3, 120, 20, 20, 0x0000FF);
    QTest::newRow("thin parent") << 3 << 200 << 0 << parameters(6, 6, 90, 1, 1, 0x808080);
}

// Nothing is ever drawn over the parent, no pixel is darker than the darkness, and every
// pixel holds the colour premultiplied with its own alpha.
void TestShadowBitmap::shadowProperties()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, cornerRadius);
    QFETCH(ShadowParameters, parameters);

    auto inside = [&](int x, int y) {
        return cornerRadius == 0 || insideRounded(x, y, width, height, cornerRadius);
    };
    ShadowBitmap bitmap;
    QVERIFY(bitmap.render(width, height, ShadowBitmap::spansOf(width, height, inside), parameters));
    QCOMPARE(bitmap.width(), width + 2 * parameters.size);

    int painted = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const int alpha = bitmap.alphaAt(x, y);
            QVERIFY2(alpha <= parameters.darkness, qPrintable(QString("%1,%2").arg(x).arg(y)));
            QCOMPARE(bitmap.pixel(x, y), ShadowBitmap::premultiplied(parameters.color, alpha));
            const int px = x - parameters.size + parameters.xOffset;
            const int py = y - parameters.size + parameters.yOffset;
            if (px >= 0 && px < width && py >= 0 && py < height && inside(px, py))
                QVERIFY2(alpha == 0, qPrintable(QString("under parent at %1,%2").arg(x).arg(y)));
            painted += alpha > 0;
        }
    }
    QVERIFY(painted > 0);
}

void TestShadowBitmap::sizeWithoutAreaRendersNothing_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("size");
    QTest::newRow("no width") << 0 << 40 << 5;
    QTest::newRow("no height") << 40 << 0 << 0;
    QTest::newRow("shrunk to nothing") << 10 << 10 << -5;
    QTest::newRow("shrunk below nothing") << 8 << 30 << -6;
    QTest::newRow("beyond any screen") << 40000 << 10 << 0;
}

void TestShadowBitmap::sizeWithoutAreaRendersNothing()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, size);
    ShadowBitmap bitmap;
    QVERIFY(!bitmap.render(width, height, ShadowBitmap::rectangleSpans(width, height),
                           parameters(size, 5, 150, 5, 5, 0)));
    QVERIFY(bitmap.isNull());
    QCOMPARE(bitmap.width(), 0);
}

void TestShadowBitmap::failedAllocationRendersNothing()
{
    // 16000 x 16000 pixels take 1 GB; the process may grow by 64 MB only.
    const std::vector<RowSpan> spans = ShadowBitmap::rectangleSpans(16000, 16000);
    ShadowBitmap bitmap;
    QVERIFY(bitmap.render(60, 40, ShadowBitmap::rectangleSpans(60, 40), dialogParameters()));
    {
        TightAddressSpace limit(64u << 20);
        QVERIFY(limit.active());
        QVERIFY(!bitmap.render(16000, 16000, spans, dialogParameters()));
    }
    QVERIFY(bitmap.isNull());
    QCOMPARE(bitmap.width(), 0);
    QCOMPARE(bitmap.height(), 0);
    QVERIFY(bitmap.render(60, 40, ShadowBitmap::rectangleSpans(60, 40), dialogParameters()));
}

void TestShadowBitmap::roundedParentCastsRoundedShadow()
{
    const ShadowParameters p = parameters(5, 5, 200, 0, 0, 0);
    ShadowBitmap square, rounded;
    QVERIFY(square.render(60, 60, ShadowBitmap::rectangleSpans(60, 60), p));
    QVERIFY(rounded.render(
        60, 60,
        ShadowBitmap::spansOf(60, 60, [](int x, int y) { return insideRounded(x, y, 60, 60, 20); }),
        p));
    // Just outside the parent's corner the square casts a shadow and the rounded parent,
    // whose outline curves away there, casts none; along the straight edges they agree.
    QVERIFY(square.alphaAt(2, 2) > 0);
    QCOMPARE(rounded.alphaAt(2, 2), 0);
    QCOMPARE(rounded.alphaAt(2, 30), square.alphaAt(2, 30));
    QVERIFY(square.alphaAt(2, 30) > 0);
    QCOMPARE(rounded.alphaAt(30, 30), 0);
}

void TestShadowBitmap::parentSpans()
{
    const auto spans = ShadowBitmap::spansOf(6, 4, [](int x, int y) {
        switch (y) {
        case 0:
            return x >= 1 && x <= 3;
        case 1:
            return false;
        case 2:
            return x == 0 || x == 5; // a gap is spanned over
        default:
            return true;
        }
    });
    QCOMPARE(int(spans.size()), 4);
    QCOMPARE(std::make_pair(spans[0].left, spans[0].right), std::make_pair(1, 4));
    QCOMPARE(std::make_pair(spans[1].left, spans[1].right), std::make_pair(6, 0));
    QCOMPARE(std::make_pair(spans[2].left, spans[2].right), std::make_pair(0, 6));
    QCOMPARE(std::make_pair(spans[3].left, spans[3].right), std::make_pair(0, 6));
}

void TestShadowBitmap::pictureModeKeepsCornersAndClearsHole()
{
    // A 4 x 4 picture: corner pixels 1..4, edges 5, centre 9, all opaque.
    ShadowPicture picture;
    picture.width = picture.height = 4;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool edgeX = x == 0 || x == 3, edgeY = y == 0 || y == 3;
            const uint32_t value =
                edgeX && edgeY ? 1 + (x / 3) + 2 * (y / 3) : (edgeX || edgeY ? 5 : 9);
            picture.pixels.push_back(0xFF000000u | value);
        }
    }
    const int corners[4] = {1, 1, 1, 1};
    ShadowBitmap bitmap;
    QVERIFY(bitmap.renderPicture(20, 10, picture, corners, 5, 3, 15, 7));
    QCOMPARE(bitmap.pixel(0, 0), 0xFF000001u);
    QCOMPARE(bitmap.pixel(19, 0), 0xFF000002u);
    QCOMPARE(bitmap.pixel(0, 9), 0xFF000003u);
    QCOMPARE(bitmap.pixel(19, 9), 0xFF000004u);
    QCOMPARE(bitmap.pixel(10, 0), 0xFF000005u);
    QCOMPARE(bitmap.pixel(3, 5), 0xFF000009u);
    QCOMPARE(bitmap.pixel(5, 3), 0u);
    QCOMPARE(bitmap.pixel(14, 6), 0u);
    QCOMPARE(bitmap.pixel(15, 6), 0xFF000009u);

    QVERIFY(!bitmap.renderPicture(20, 10, ShadowPicture(), corners, 0, 0, 0, 0));
}

void TestShadowBitmap::registryOperations()
{
    ShadowRegistry<int, int> registry;
    int first = 1, second = 2, third = 3;
    QVERIFY(registry.isEmpty());
    for (int i = 0; i < 25; ++i)
        QVERIFY(registry.append(100 + i, &third));
    QVERIFY(registry.append(7, &first));
    QVERIFY(registry.append(7, &second));
    QCOMPARE(registry.count(), 27);
    QCOMPARE(registry.find(7), &first); // the first entry of a handle wins
    QCOMPARE(registry.indexOf(7), 25);
    QCOMPARE(registry.indexOf(99), -1);
    QCOMPARE(registry.find(99), nullptr);
    QCOMPARE(registry.at(27), nullptr);
    QCOMPARE(registry.at(-1), nullptr);
    QCOMPARE(registry.at(26)->shadow, &second);

    QVERIFY(!registry.removeAt(0, 0));
    QVERIFY(!registry.removeAt(-1, 1));
    QVERIFY(!registry.removeAt(26, 2));
    QVERIFY(!registry.removeEntry(7, &second)); // names another shadow: kept
    QVERIFY(registry.removeEntry(7, &first));
    QCOMPARE(registry.find(7), &second);
    QVERIFY(registry.removeAt(0, 25));
    QCOMPARE(registry.count(), 1);
    registry.clear();
    QVERIFY(registry.isEmpty());
}

QTEST_APPLESS_MAIN(TestShadowBitmap)
#include "tst_ShadowBitmap.moc"
